// Shared set-up of the localisation tests: a temporary program folder, a fresh language
// object in objLanguages, known brand values, and a writer for Localization.txt.
#pragma once

#include "localisation/modLanguages.h"
#include "tests/support/TempEnvironment.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

namespace loctest
{

struct Group {
    QString name;
    QStringList items; // whole item lines, e.g. "\t\t<FORM1_CMDTV>Fernsehen</FORM1_CMDTV>"
};

// "\t\t<KEY>text</KEY>", as the template writer puts it.
QString item(const QString &key, const QString &text);

// A whole language file in the writer's layout (CR LF line ends).
QByteArray languageFile(const QList<Group> &groups);

class LocalisationTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes Localization.txt into the program folder, as the program ships it.
    void writeLanguageFile(const QByteArray &content) const;
    void writeLanguageFile(const QList<Group> &groups) const { writeLanguageFile(languageFile(groups)); }
    // The shipped file, and the user's own that downloads and the template writer make.
    QString languageFilePath() const;
    QString userLanguageFilePath() const;
    // The file the program reads now: the user's own when there is one, else the shipped one.
    QByteArray readLanguageFile() const;

    std::unique_ptr<testsupport::TempEnvironment> env;
    std::unique_ptr<clsLanguages> languages;
};

} // namespace loctest
