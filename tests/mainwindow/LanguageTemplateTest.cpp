// The shipped language file stays in step with the windows: every key that the template
// writer produces for the main window and the language chooser is in its English group.
#include "tests/mainwindow/MainWindowFixture.h"

#include "localisation/frmLanguage.h"
#include "localisation/modLanguages.h"
#include "localisation/registerLocalisation.h"
#include "platform/ui/Forms.h"

#include <QRegularExpression>
#include <QSet>

using namespace mwtest;

namespace
{

// Item keys of the TRANSLATION_ITEMS of the named group, in file order.
QStringList groupKeys(const QString &fileText, const QString &language)
{
    static const QRegularExpression itemKey(QStringLiteral("^\\s*<([^/>][^>]*)>"));
    qsizetype pos = 0;
    QString group;
    while (nextLanguageGroup(fileText, pos, group)) {
        if (groupTagText(group, QStringLiteral("<LANGUAGE_NAME>"), QStringLiteral("</LANGUAGE_NAME>")) !=
            language)
            continue;
        QStringList keys;
        const QString items = groupTagText(group, QStringLiteral("<TRANSLATION_ITEMS>"),
                                           QStringLiteral("</TRANSLATION_ITEMS>"));
        for (const QString &line : items.split(QStringLiteral("\r\n"))) {
            const QRegularExpressionMatch match = itemKey.match(line);
            if (match.hasMatch())
                keys.append(match.captured(1));
        }
        return keys;
    }
    return {};
}

QStringList withPrefix(const QStringList &keys, const QString &prefix)
{
    QStringList found;
    for (const QString &key : keys) {
        if (key.startsWith(prefix) && !found.contains(key))
            found.append(key);
    }
    return found;
}

class LanguageTemplateTest : public MainWindowTest
{
};

} // namespace

TEST_F(LanguageTemplateTest, ShippedEnglishGroupHoldsEveryKeyOfTheMainWindowAndTheChooser)
{
    registerLocalisationWindows();
    writeData({channelLine("News", "TV", "English")});
    ASSERT_NE(loadForm1(), nullptr);
    ASSERT_NE(ui::Forms::load(QStringLiteral("frmLanguage")), nullptr);
    ASSERT_NE(objLanguages, nullptr);

    objLanguages->makeLocalizationFile();
    const QString written = readLanguageFile(env->userFolder() + QStringLiteral("/Localization.txt"));
    const QStringList templateKeys = groupKeys(written, QStringLiteral("English"));
    const QStringList form1Keys = withPrefix(templateKeys, QStringLiteral("FORM1_"));
    const QStringList chooserKeys = withPrefix(templateKeys, QStringLiteral("FRMLANGUAGE_"));
    // The walk reached both windows: their captions, buttons, menus and column headers.
    for (const char *key : {"FORM1_CAPTION", "FORM1_CMDTV", "FORM1_FRAME1", "FORM1_LISTVIEW1_COL5",
                            "FORM1_MNUFILEITEM2", "FORM1_MNUCAT0", "FORM1_CHKLOAD", "FRMLANGUAGE_CAPTION"})
        EXPECT_TRUE(templateKeys.contains(QLatin1String(key))) << key;
    EXPECT_GT(chooserKeys.size(), 1);

    const QString shipped =
        readLanguageFile(QStringLiteral(CD_SOURCE_DIR "/resources/program/Localization.txt"));
    const QStringList shippedKeys = groupKeys(shipped, QStringLiteral("English"));
    ASSERT_FALSE(shippedKeys.isEmpty());
    const QSet<QString> shippedSet(shippedKeys.cbegin(), shippedKeys.cend());
    for (const QString &key : form1Keys + chooserKeys)
        EXPECT_TRUE(shippedSet.contains(key))
            << "missing from the shipped English group: " << key.toStdString();
}
