// The language-file writer and the set-up shared by the localisation tests.
#include "tests/localisation/LocalisationFixture.h"

#include "platform/core/VersionInfo.h"
#include "platform/ui/Forms.h"
#include "services/modMarque.h"

#include <QFileInfo>

namespace loctest
{

QString item(const QString &key, const QString &text)
{
    return QStringLiteral("\t\t<%1>%2</%1>").arg(key, text);
}

QByteArray languageFile(const QList<Group> &groups)
{
    QStringList lines{QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"),
                      QStringLiteral("<XML_DIZ_INFO>")};
    for (const Group &g : groups) {
        lines << QStringLiteral("<LANGUAGE_GROUP xml:lang=\"xx\">")
              << QStringLiteral("\t<LANGUAGE_NAME>%1</LANGUAGE_NAME>").arg(g.name)
              << QStringLiteral("\t<DESCRIPTION>test</DESCRIPTION>")
              << QStringLiteral("\t<TRANSLATION_ITEMS>");
        lines << g.items;
        lines << QStringLiteral("\t</TRANSLATION_ITEMS>") << QStringLiteral("</LANGUAGE_GROUP>");
    }
    lines << QStringLiteral("</XML_DIZ_INFO>");
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

void LocalisationTest::SetUp()
{
    env = std::make_unique<testsupport::TempEnvironment>();
    platform::setVersionInfo({QStringLiteral("TestProduct"), QStringLiteral("TestCompany"),
                              QStringLiteral("www.example.test"), 1, 0});
    LoadBrandSettings();
    languages = std::make_unique<clsLanguages>();
    objLanguages = languages.get();
    strLanguage.clear();
}

void LocalisationTest::TearDown()
{
    ui::Forms::unloadAll();
    objLanguages = nullptr;
    strLanguage.clear();
    languages.reset();
    platform::resetVersionInfo();
    LoadBrandSettings();
    env.reset();
}

void LocalisationTest::writeLanguageFile(const QByteArray &content) const
{
    env->writeFile(languageFilePath(), content);
}

QString LocalisationTest::languageFilePath() const
{
    return env->programFolder() + QStringLiteral("/Localization.txt");
}

QString LocalisationTest::userLanguageFilePath() const
{
    return env->userFolder() + QStringLiteral("/Localization.txt");
}

QByteArray LocalisationTest::readLanguageFile() const
{
    const QString own = userLanguageFilePath();
    return testsupport::TempEnvironment::readFile(QFileInfo(own).isFile() ? own : languageFilePath());
}

} // namespace loctest
