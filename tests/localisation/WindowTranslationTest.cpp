// Translating a window: which controls receive which keys, the English fallback, and
// texts that stay when there is no translation.
#include "tests/localisation/LocalisationFixture.h"
#include "tests/localisation/TestWindows.h"

using loctest::Group;
using loctest::item;
using loctest::SampleWindow;

namespace
{

Group englishGroup()
{
    return {QStringLiteral("English"),
            {item("FRMSAMPLE_LBLTITLE", "Title (en)"), item("FRMSAMPLE_CMDGO", "Start"),
             item("FRMSAMPLE_CAPTION", "Sample Window (en)"), item("MSG_STATUS1", "Channels in all: ")}};
}

Group germanGroup()
{
    return {QStringLiteral("Deutsch"),
            {item("FRMSAMPLE_LBLTITLE", "Titel"),
             item("FRMSAMPLE_CMDGO", "Los"),
             item("FRMSAMPLE_SKINLABEL1", "Fensterbeschriftung"),
             item("FRMSAMPLE_FRAME1", "Sender"),
             item("FRMSAMPLE_CHKOPTION", "Angemeldet bleiben"),
             item("FRMSAMPLE_OPTKIND0", "Fernsehen"),
             item("FRMSAMPLE_OPTKIND1", "Hörfunk"),
             item("FRMSAMPLE_OPTLOOSE", "Lose"),
             item("FRMSAMPLE_OPTLOOSE0", "Lose"),
             item("FRMSAMPLE_TXTNAME", "Vorname"),
             item("FRMSAMPLE_CMBPICK", "Eins"),
             item("FRMSAMPLE_TABPAGES_TABS1", "Allgemein"),
             item("FRMSAMPLE_TABPAGES_TABS2", "Erweitert"),
             item("FRMSAMPLE_LVITEMS_COL1", "Sender"),
             item("FRMSAMPLE_LVITEMS_COL2", "Kategorie"),
             item("FRMSAMPLE_LVITEMS_COL3", "Typ"),
             item("FRMSAMPLE_LVITEMS_COL4", "Bewertung"),
             item("FRMSAMPLE_MNUFILE0", "Datei"),
             item("FRMSAMPLE_MNUFILEITEM0", "Öffnen"),
             item("FRMSAMPLE_MNUFILEITEM3", "Beenden"),
             item("FRMSAMPLE_CAPTION", "Beispielfenster"),
             item("MSG_STATUS1", "Sender insgesamt: "),
             item("MSG_DUP", "doppelt")}};
}

class WindowTranslationTest : public loctest::LocalisationTest
{
protected:
    void SetUp() override
    {
        LocalisationTest::SetUp();
        window = new SampleWindow;
        LoadDefaultMessages();
    }
    void TearDown() override
    {
        delete window;
        LocalisationTest::TearDown();
    }

    QString message(const char *id) const { return languages->getMessages(QString::fromLatin1(id)); }

    SampleWindow *window = nullptr;
};

} // namespace

TEST_F(WindowTranslationTest, EveryTranslatableKindReceivesItsKey)
{
    writeLanguageFile({englishGroup(), germanGroup()});
    languages->ChangeLanguage(window, QStringLiteral("Deutsch"));

    EXPECT_EQ(strLanguage, QStringLiteral("Deutsch"));
    EXPECT_EQ(window->lblTitle->Caption(), QStringLiteral("Titel"));
    EXPECT_EQ(window->cmdGo->Caption(), QStringLiteral("Los"));
    EXPECT_EQ(window->SkinLabel1->Caption(), QStringLiteral("Fensterbeschriftung"));
    EXPECT_EQ(window->Frame1->Caption(), QStringLiteral("Sender"));
    EXPECT_EQ(window->chkOption->Caption(), QStringLiteral("Angemeldet bleiben"));
    EXPECT_EQ(window->optKind0->Caption(), QStringLiteral("Fernsehen"));
    EXPECT_EQ(window->optKind1->Caption(), QStringLiteral("Hörfunk"));
    EXPECT_EQ(window->tabPages->TabCaption(1), QStringLiteral("Allgemein"));
    EXPECT_EQ(window->tabPages->TabCaption(2), QStringLiteral("Erweitert"));
    ui::ColumnHeaderCollection *headers = window->lvItems->ColumnHeaders();
    EXPECT_EQ(headers->Item(1)->Text(), QStringLiteral("Sender"));
    EXPECT_EQ(headers->Item(4)->Text(), QStringLiteral("Bewertung"));
    EXPECT_EQ(headers->Item(5)->Text(), QStringLiteral("Favorites")); // no COL5 item
    EXPECT_EQ(window->mnuFile->Caption(), QStringLiteral("Datei"));
    EXPECT_EQ(window->mnuFileItem0->Caption(), QStringLiteral("Öffnen"));
    EXPECT_EQ(window->mnuFileItem3->Caption(), QStringLiteral("Beenden"));
    EXPECT_EQ(window->Caption(), QStringLiteral("Beispielfenster"));
    EXPECT_EQ(message("MSG_STATUS1"), QStringLiteral("Sender insgesamt: "));
    // Text boxes, combo boxes and option buttons outside a group have items but stay.
    EXPECT_EQ(window->txtName->Text(), QStringLiteral("Name"));
    EXPECT_EQ(window->cmbPick->Text(), QStringLiteral("One"));
    EXPECT_EQ(window->optLoose->Caption(), QStringLiteral("Loose"));
}

TEST_F(WindowTranslationTest, FirstCallWithAnUnknownLanguageAppliesEnglish)
{
    writeLanguageFile({englishGroup(), germanGroup()});
    languages->ChangeLanguage(window, QStringLiteral("Klingon"));
    EXPECT_EQ(strLanguage, QStringLiteral("English"));
    EXPECT_EQ(window->cmdGo->Caption(), QStringLiteral("Start"));
    EXPECT_EQ(window->Caption(), QStringLiteral("Sample Window (en)"));
    EXPECT_EQ(window->Frame1->Caption(), QStringLiteral("Channels")); // no English item
}

TEST_F(WindowTranslationTest, LaterCallWithAnUnknownLanguageReappliesThePreviousOne)
{
    writeLanguageFile({englishGroup(), germanGroup()});
    languages->ChangeLanguage(window, QStringLiteral("Deutsch"));
    window->cmdGo->setCaption(QStringLiteral("changed meanwhile"));
    languages->ChangeLanguage(window, QStringLiteral("Klingon"));
    EXPECT_EQ(strLanguage, QStringLiteral("Klingon"));
    EXPECT_EQ(window->cmdGo->Caption(), QStringLiteral("Los"));
}

TEST_F(WindowTranslationTest, SwitchingToALanguageWithoutAKeyKeepsTheEarlierText)
{
    writeLanguageFile({englishGroup(),
                       germanGroup(),
                       {QStringLiteral("Français"), {item("FRMSAMPLE_LBLTITLE", "titre"), item("X", "y")}}});
    languages->ChangeLanguage(window, QStringLiteral("Deutsch"));
    languages->ChangeLanguage(window, QStringLiteral("Français"));
    EXPECT_EQ(window->lblTitle->Caption(), QStringLiteral("Titre"));
    EXPECT_EQ(window->cmdGo->Caption(), QStringLiteral("Los"));
    EXPECT_EQ(message("MSG_STATUS1"), QStringLiteral("Sender insgesamt: "));
}

TEST_F(WindowTranslationTest, SingleLineGroupCountsAsNotLoaded)
{
    QByteArray file = loctest::languageFile({englishGroup()});
    file += "<LANGUAGE_GROUP>\r\n\t<LANGUAGE_NAME>Deutsch</LANGUAGE_NAME>\r\n"
            "<TRANSLATION_ITEMS>\t\t<FRMSAMPLE_CMDGO>Los</FRMSAMPLE_CMDGO></TRANSLATION_ITEMS>\r\n</"
            "LANGUAGE_GROUP>\r\n";
    writeLanguageFile(file);
    languages->ChangeLanguage(window, QStringLiteral("Deutsch"));
    EXPECT_EQ(strLanguage, QStringLiteral("English"));
    EXPECT_EQ(window->cmdGo->Caption(), QStringLiteral("Start"));
}

TEST_F(WindowTranslationTest, EmptyItemsSectionTranslatesNothingAndDoesNotFallBack)
{
    QByteArray file = loctest::languageFile({englishGroup()});
    file += "<LANGUAGE_GROUP>\r\n\t<LANGUAGE_NAME>Leer</LANGUAGE_NAME>\r\n"
            "\t<TRANSLATION_ITEMS></TRANSLATION_ITEMS>\r\n</LANGUAGE_GROUP>\r\n";
    writeLanguageFile(file);
    languages->ChangeLanguage(window, QStringLiteral("Leer"));
    EXPECT_EQ(strLanguage, QStringLiteral("Leer"));
    EXPECT_EQ(window->cmdGo->Caption(), QStringLiteral("Go"));
    EXPECT_EQ(window->Caption(), QStringLiteral("Sample Window"));
    EXPECT_EQ(message("MSG_STATUS1"), QStringLiteral("Total Channels: "));
}

TEST_F(WindowTranslationTest, EmptyTranslationLeavesTheText)
{
    Group german = germanGroup();
    german.items.prepend(item("FRMSAMPLE_CMDGO", ""));
    german.items.prepend(item("FRMSAMPLE_CAPTION", ""));
    writeLanguageFile({englishGroup(), german});
    languages->ChangeLanguage(window, QStringLiteral("Deutsch"));
    EXPECT_EQ(window->cmdGo->Caption(), QStringLiteral("Go"));
    EXPECT_EQ(window->Caption(), QStringLiteral("Sample Window"));
    EXPECT_EQ(window->lblTitle->Caption(), QStringLiteral("Titel"));
}

TEST_F(WindowTranslationTest, TopLevelMenuAndGroupItemZeroShareTheSuffixZero)
{
    // mnuFileItem has no item with index 1; a key with suffix 1 must not reach index 3.
    writeLanguageFile({englishGroup(),
                       {QStringLiteral("Deutsch"),
                        {item("FRMSAMPLE_MNUFILE", "ohne Index"), item("FRMSAMPLE_MNUFILEITEM", "x"),
                         item("FRMSAMPLE_MNUFILEITEM1", "eins")}}});
    languages->ChangeLanguage(window, QStringLiteral("Deutsch"));
    EXPECT_EQ(window->mnuFile->Caption(), QStringLiteral("File"));
    EXPECT_EQ(window->mnuFileItem0->Caption(), QStringLiteral("Open"));
    EXPECT_EQ(window->mnuFileItem3->Caption(), QStringLiteral("Exit"));
}

TEST_F(WindowTranslationTest, MessagesRegisteredTwiceBothReceiveTheTranslation)
{
    languages->setMessage(QStringLiteral("MSG_DUP"), QStringLiteral("dup one"));
    languages->setMessage(QStringLiteral("MSG_DUP"), QStringLiteral("dup two"));
    writeLanguageFile({englishGroup(), germanGroup()});
    languages->ChangeLanguage(window, QStringLiteral("Deutsch"));
    EXPECT_EQ(message("MSG_DUP"), QStringLiteral("Doppelt"));
    // The second entry is visible in the template, which lists every entry.
    languages->makeLocalizationFile();
    EXPECT_EQ(readLanguageFile().count("\t\t<MSG_DUP>Doppelt</MSG_DUP>\r\n"), 2);
}

TEST_F(WindowTranslationTest, PlaceholdersAreFilledInCaptions)
{
    writeLanguageFile({englishGroup(),
                       {QStringLiteral("Deutsch"),
                        {item("FRMSAMPLE_CMDGO", "besuchen Sie [WEBSITE]"),
                         item("FRMSAMPLE_LBLTITLE", "Gespeichert in [userfolder]."),
                         item("FRMSAMPLE_CAPTION", "[programname] von [CompanyName]")}}});
    languages->ChangeLanguage(window, QStringLiteral("Deutsch"));
    EXPECT_EQ(window->cmdGo->Caption(), QStringLiteral("Besuchen Sie www.example.test"));
    EXPECT_EQ(window->lblTitle->Caption(), "Gespeichert in " + env->userFolder() + ".");
    EXPECT_EQ(window->Caption(), QStringLiteral("TestProduct von TestCompany"));
}

TEST_F(WindowTranslationTest, MalformedFileOnTheFirstCallKeepsTheDesignTexts)
{
    writeLanguageFile(
        loctest::languageFile({englishGroup(), germanGroup()}).replace("</LANGUAGE_GROUP>", ""));
    languages->ChangeLanguage(window, QStringLiteral("Deutsch"));
    EXPECT_EQ(strLanguage, QStringLiteral("English"));
    EXPECT_EQ(window->cmdGo->Caption(), QStringLiteral("Go"));
    EXPECT_EQ(window->Caption(), QStringLiteral("Sample Window"));
    EXPECT_EQ(message("MSG_STATUS1"), QStringLiteral("Total Channels: "));
}

TEST_F(WindowTranslationTest, MalformedFileLaterKeepsTheCurrentLanguage)
{
    writeLanguageFile({englishGroup(), germanGroup()});
    languages->ChangeLanguage(window, QStringLiteral("Deutsch"));
    writeLanguageFile(loctest::languageFile({englishGroup(), germanGroup()}).replace("<LANGUAGE_NAME>", ""));
    languages->ChangeLanguage(window, QStringLiteral("English"));
    EXPECT_EQ(window->cmdGo->Caption(), QStringLiteral("Los"));
    EXPECT_EQ(window->Caption(), QStringLiteral("Beispielfenster"));
}

TEST_F(WindowTranslationTest, BrokenItemLineLeavesOnlyItsControlUntranslated)
{
    Group german = germanGroup();
    german.items.prepend(QStringLiteral("\t\t<FRMSAMPLE_CMDGO>Los"));
    writeLanguageFile({englishGroup(), german});
    languages->ChangeLanguage(window, QStringLiteral("Deutsch"));
    EXPECT_EQ(window->cmdGo->Caption(), QStringLiteral("Go"));
    EXPECT_EQ(window->lblTitle->Caption(), QStringLiteral("Titel"));
    EXPECT_EQ(window->SkinLabel1->Caption(), QStringLiteral("Fensterbeschriftung"));
}

TEST_F(WindowTranslationTest, MdiVariantTranslatesTheSameWay)
{
    writeLanguageFile({englishGroup(), germanGroup()});
    languages->ChangeLanguageMDI(window, QStringLiteral("Deutsch"));
    EXPECT_EQ(window->cmdGo->Caption(), QStringLiteral("Los"));
    EXPECT_EQ(window->mnuFileItem3->Caption(), QStringLiteral("Beenden"));
    EXPECT_EQ(window->lvItems->ColumnHeaders()->Item(2)->Text(), QStringLiteral("Kategorie"));
    EXPECT_EQ(window->txtName->Text(), QStringLiteral("Name"));
    EXPECT_EQ(window->Caption(), QStringLiteral("Beispielfenster"));
}

TEST_F(WindowTranslationTest, MdiTypeTestTrimsBlanksOnly)
{
    auto *blank =
        window->addControl<loctest::BlankTypeLabel>(QStringLiteral("lblBlank"), nullptr, 0, 0, 900, 255);
    blank->setCaption(QStringLiteral("Blank"));
    auto *tab =
        window->addControl<loctest::TabTypeLabel>(QStringLiteral("lblTab"), nullptr, 0, 300, 900, 255);
    tab->setCaption(QStringLiteral("Tab"));
    Group german = germanGroup();
    german.items << item("FRMSAMPLE_LBLBLANK", "Leerzeichen") << item("FRMSAMPLE_LBLTAB", "Tabulator");
    writeLanguageFile({englishGroup(), german});

    languages->ChangeLanguage(window, QStringLiteral("Deutsch"));
    EXPECT_EQ(blank->Caption(), QStringLiteral("Blank")); // type names compared exactly
    EXPECT_EQ(tab->Caption(), QStringLiteral("Tab"));

    languages->ChangeLanguageMDI(window, QStringLiteral("Deutsch"));
    EXPECT_EQ(blank->Caption(), QStringLiteral("Leerzeichen"));
    EXPECT_EQ(tab->Caption(), QStringLiteral("Tab"));
}
