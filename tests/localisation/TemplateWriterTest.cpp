// The language template: its exact lines, its encoding, and reading it back.
#include "tests/localisation/LocalisationFixture.h"
#include "tests/localisation/TestWindows.h"

#include "platform/ui/Forms.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/MsgBoxRecorder.h"

#include <QDir>
#include <QFileInfo>

using loctest::item;
using loctest::SampleWindow;

namespace
{

class TemplateWriterTest : public loctest::LocalisationTest
{
protected:
    void SetUp() override
    {
        LocalisationTest::SetUp();
        ui::Forms::registerClass(QStringLiteral("frmSample"), [] { return new SampleWindow; });
        ui::Forms::registerClass(QStringLiteral("frmText"), [] { return new loctest::TextOnlyWindow; });
        LoadDefaultMessages();
    }

    static SampleWindow *sample()
    {
        return static_cast<SampleWindow *>(ui::Forms::load(QStringLiteral("frmSample")));
    }

    QStringList writtenLines() const
    {
        QString text = QString::fromUtf8(readLanguageFile());
        EXPECT_TRUE(text.endsWith(QStringLiteral("\r\n")));
        text.chop(2);
        return text.split(QStringLiteral("\r\n"));
    }
};

// Every text of the sample window that a translation can change.
QStringList texts(SampleWindow *w)
{
    QStringList all{w->Caption(),
                    w->lblTitle->Caption(),
                    w->cmdGo->Caption(),
                    w->SkinLabel1->Caption(),
                    w->Frame1->Caption(),
                    w->chkOption->Caption(),
                    w->optKind0->Caption(),
                    w->optKind1->Caption(),
                    w->tabPages->TabCaption(1),
                    w->tabPages->TabCaption(2),
                    w->mnuFile->Caption(),
                    w->mnuFileItem0->Caption(),
                    w->mnuFileItem3->Caption()};
    for (int i = 1; i <= w->lvItems->ColumnHeaders()->Count(); ++i)
        all << w->lvItems->ColumnHeaders()->Item(i)->Text();
    return all;
}

} // namespace

TEST_F(TemplateWriterTest, ExactLinesWindowByWindowThenTheMessages)
{
    sample()->SkinLabel1->setCaption(QString());
    ui::Forms::load(QStringLiteral("frmText"));
    languages->makeLocalizationFile();

    const QString caption = item("FRMSAMPLE_CAPTION", "Sample Window");
    const QStringList expected{
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"),
        QStringLiteral("<XML_DIZ_INFO>"),
        QStringLiteral("\t<LOCALIZATION_FILE_INFO>"),
        QStringLiteral("\t\t<LOCALIZATION_FILE_VERSION>1.0</LOCALIZATION_FILE_VERSION>"),
        QStringLiteral("\t</LOCALIZATION_FILE_INFO>"),
        QStringLiteral("<LANGUAGE_GROUP xml:lang=\"en\">"),
        QStringLiteral("\t<LANGUAGE_NAME>English</LANGUAGE_NAME>"),
        QStringLiteral(
            "\t<DESCRIPTION>This file contains various translations of program buttons, messages "
            "and menus in XML format.  The original document was created using translation software, "
            "and may sound strange when read by people.  We invite you to make modifications to "
            "existing languages and translate new languages.  Please send them to us so that we can "
            "update this file and make your translation available to all users.  Our current email "
            "address is located on our homepage which can be visited through the software or our "
            "program folder on your Start Menu.  Before making changes to a localization file please "
            "use the program to download the most recent localization file using the 'Check for "
            "Language Updates' button in the Languages window.</DESCRIPTION>"),
        QStringLiteral("\t<TRANSLATION_ITEMS>"),
        item("FRMSAMPLE_LBLTITLE", "Title"),
        caption,
        item("FRMSAMPLE_CMDGO", "Go"),
        caption,
        item("FRMSAMPLE_SKINLABEL1", ""),
        caption,
        item("FRMSAMPLE_FRAME1", "Channels"),
        caption,
        item("FRMSAMPLE_CHKOPTION", "Remember me"),
        caption,
        item("FRMSAMPLE_OPTKIND0", "TV"),
        caption,
        item("FRMSAMPLE_OPTKIND1", "Radio"),
        caption,
        caption, // optLoose: no index, no key
        caption, // txtName
        caption, // cmbPick
        item("FRMSAMPLE_TABPAGES_TABS1", "General"),
        item("FRMSAMPLE_TABPAGES_TABS2", "Advanced"),
        caption,
        item("FRMSAMPLE_LVITEMS_COL1", "Channel"),
        item("FRMSAMPLE_LVITEMS_COL2", "Category"),
        item("FRMSAMPLE_LVITEMS_COL3", "Type"),
        item("FRMSAMPLE_LVITEMS_COL4", "Rating"),
        item("FRMSAMPLE_LVITEMS_COL5", "Favorites"),
        caption,
        item("FRMSAMPLE_MNUFILE0", "File"),
        caption,
        item("FRMSAMPLE_MNUFILEITEM0", "Open"),
        caption,
        item("FRMSAMPLE_MNUFILEITEM3", "Exit"),
        caption,
        item("FRMTEXT_CAPTION", "Text Only"),
        item("MSG_CHANNELLIST", "The most recent channel list has been downloaded and applied."),
        item("MSG_DELETED", "Deleted "),
        item("MSG_NOTFOUND", "TV Channel file was not found.  No channels could be loaded.  "
                             "Please reinstall or repair this program."),
        item("MSG_STATUS1", "Total Channels: "),
        item("MSG_STATUS2", " | Showing: "),
        item("MSG_STATUS3", " | Laguages/Categories: "),
        item("MSG_STATUS4", " | Don't forget to rate your favorite channels with the Channel Actions button"),
        QStringLiteral("\t</TRANSLATION_ITEMS>"),
        QStringLiteral("</LANGUAGE_GROUP>"),
        QStringLiteral("</XML_DIZ_INFO>"),
    };
    const QStringList written = writtenLines();
    ASSERT_EQ(written.size(), expected.size()) << written.join(QLatin1Char('\n')).toStdString();
    for (qsizetype i = 0; i < expected.size(); ++i)
        EXPECT_EQ(written.at(i), expected.at(i)) << "line " << i + 1;
}

TEST_F(TemplateWriterTest, Utf8WithoutByteOrderMarkAndCrLfLineEnds)
{
    sample()->cmdGo->setCaption(QStringLiteral("Größe ™ 日本語"));
    languages->makeLocalizationFile();
    const QByteArray bytes = readLanguageFile();
    EXPECT_TRUE(bytes.startsWith("<?xml"));
    EXPECT_TRUE(bytes.contains("\t\t<FRMSAMPLE_CMDGO>Gr\xC3\xB6\xC3\x9F"
                               "e \xE2\x84\xA2 \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E</FRMSAMPLE_CMDGO>\r\n"));
    EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n"));
    EXPECT_TRUE(bytes.endsWith("</XML_DIZ_INFO>\r\n"));
}

TEST_F(TemplateWriterTest, ReplacesTheWholeFileAndItsOtherLanguages)
{
    writeLanguageFile({{QStringLiteral("Deutsch"), {item("FRMSAMPLE_CMDGO", "Los"), item("X", "y")}}});
    sample();
    languages->makeLocalizationFile();
    const QByteArray bytes = readLanguageFile();
    EXPECT_FALSE(bytes.contains("Deutsch"));
    EXPECT_EQ(bytes.count("<LANGUAGE_GROUP"), 1);
    // The template is the user's file; the shipped one is never written.
    EXPECT_TRUE(testsupport::TempEnvironment::readFile(languageFilePath()).contains("Deutsch"));
}

TEST_F(TemplateWriterTest, RoundTripLeavesEveryTextUnchanged)
{
    SampleWindow *source = sample();
    source->cmdGo->setCaption(QStringLiteral("Größe ™"));
    source->Frame1->setCaption(QStringLiteral("日本語のチャンネル"));
    source->mnuFileItem3->setCaption(QStringLiteral("Fish &amp; Chips"));
    source->setCaption(QStringLiteral("Über [sic]"));
    source->lblTitle->setCaption("Saved in " + env->userFolder() + ".");
    languages->makeLocalizationFile();
    const QStringList before = texts(source);
    // Another user reading the template sees their own folder there, not this one.
    EXPECT_TRUE(readLanguageFile().contains(item("FRMSAMPLE_LBLTITLE", "Saved in [UserFolder].").toUtf8()));

    // The same window read back, and a new window of the same class, end with the same texts.
    languages->ChangeLanguage(source, QStringLiteral("English"));
    EXPECT_EQ(texts(source), before);
    SampleWindow fresh;
    languages->ChangeLanguage(&fresh, QStringLiteral("English"));
    EXPECT_EQ(texts(&fresh), before);
    EXPECT_EQ(strLanguage, QStringLiteral("English"));
}

TEST_F(TemplateWriterTest, TextStartingWithALowerCaseLetterComesBackCapitalised)
{
    SampleWindow *source = sample();
    source->lblTitle->setCaption(QStringLiteral("lower case"));
    languages->makeLocalizationFile();
    languages->ChangeLanguage(source, QStringLiteral("English"));
    EXPECT_EQ(source->lblTitle->Caption(), QStringLiteral("Lower case"));
}

TEST_F(TemplateWriterTest, TranslatedWindowsAreWrittenAsTheEnglishGroup)
{
    writeLanguageFile({{QStringLiteral("Deutsch"),
                        {item("FRMSAMPLE_CMDGO", "Los"), item("MSG_STATUS1", "Sender insgesamt: ")}}});
    SampleWindow *source = sample();
    languages->ChangeLanguage(source, QStringLiteral("Deutsch"));
    languages->makeLocalizationFile();
    const QString text = QString::fromUtf8(readLanguageFile());
    EXPECT_TRUE(text.contains(
        QStringLiteral("<LANGUAGE_GROUP xml:lang=\"en\">\r\n\t<LANGUAGE_NAME>English</LANGUAGE_NAME>")));
    EXPECT_TRUE(text.contains(item("FRMSAMPLE_CMDGO", "Los") + QStringLiteral("\r\n")));
    EXPECT_TRUE(text.contains(item("MSG_STATUS1", "Sender insgesamt: ") + QStringLiteral("\r\n")));
}

TEST_F(TemplateWriterTest, RefusedWriteIsToldAndKeepsTheOldFile)
{
    sample();
    testsupport::MsgBoxRecorder boxes;
    QDir().mkpath(userLanguageFilePath());
    languages->makeLocalizationFile();
    EXPECT_TRUE(QFileInfo(userLanguageFilePath()).isDir());
    EXPECT_EQ(QDir(env->userFolder()).entryList(QDir::Files).size(), 0);
    EXPECT_EQ(QDir(env->programFolder()).entryList(QDir::Files).size(), 0);
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_TRUE(boxes.boxes().first().prompt.startsWith("The language template could not be saved to " +
                                                        userLanguageFilePath()));

    // A disk that takes no more: the user's old file stays whole.
    ASSERT_TRUE(QDir(userLanguageFilePath()).removeRecursively());
    env->writeFile(userLanguageFilePath(), "old\r\n");
    boxes.clear();
    {
        testsupport::FileSizeLimit limit(5);
        ASSERT_TRUE(limit.ok());
        languages->makeLocalizationFile();
    }
    EXPECT_EQ(readLanguageFile(), "old\r\n");
    EXPECT_EQ(boxes.count(), 1);
}
