// The menu commands, the two view switches of the menus and the website and developer buttons.
#include "tests/mainwindow/MenuWindowsFixture.h"

#include "localisation/modLanguages.h"
#include "platform/core/VersionInfo.h"
#include "services/modMarque.h"

using namespace mwtest;

namespace
{

class MenusTest : public MenuWindowsTest
{
protected:
    Form1 *loadWithChannels()
    {
        writeData({channelLine("News", "TV", "English"), channelLine("Jazz", "Radio", "English")});
        return loadForm1();
    }

    // Which of the panels and players are shown, in a fixed order.
    static QList<bool> shown(Form1 *f)
    {
        return {!f->Frame1->isHidden(), !f->Frame3->isHidden(),    !f->Frame4->isHidden(),
                !f->Frame5->isHidden(), !f->wbyoutube->isHidden(), !f->WindowsMediaPlayer1->isHidden()};
    }

    // Picks the item twice: the window comes up without a mode, and only once.
    static void expectSingleModelessWindow(Form1 *f, const char *array, int index, const QString &window)
    {
        pickMenu(f, array, index);
        ui::Form *first = ui::Forms::find(window);
        ASSERT_NE(first, nullptr) << window.toStdString();
        EXPECT_TRUE(first->isVisible());
        EXPECT_EQ(first->windowModality(), Qt::NonModal);
        pickMenu(f, array, index);
        int instances = 0;
        for (ui::Form *form : ui::Forms::loaded())
            instances += form->Name() == window;
        EXPECT_EQ(instances, 1);
        EXPECT_EQ(ui::Forms::find(window), first);
    }
};

// A submission window that only counts how often it is loaded.
struct StandInSubmit : ui::Form {
    StandInSubmit() : ui::Form(QStringLiteral("frmSubmit")) {}
    void Form_Load() override { ++loads; }
    static inline int loads = 0;
};

} // namespace

TEST_F(MenusTest, ExitUnloadsTheMainWindowThroughItsCloseHandlers)
{
    Form1 *f = loadWithChannels();
    ASSERT_NE(f, nullptr);
    pickMenu(f, "mnuFileItem", 2);
    EXPECT_EQ(ui::Forms::find(QStringLiteral("Form1")), nullptr);
    EXPECT_EQ(endCalls, 1);
}

TEST_F(MenusTest, CategoryItemsDoWhatTheirButtonsDo)
{
    Form1 *f = loadWithChannels();
    pickMenu(f, "mnuCatItem", 1);
    EXPECT_EQ(f->strCategory, QStringLiteral("Radio"));
    EXPECT_EQ(itemTexts(f->ListView1), QStringList{"Jazz"});
    pickMenu(f, "mnuCatItem", 3);
    EXPECT_EQ(shown(f), (QList<bool>{false, true, false, false, false, true}));
    pickMenu(f, "mnuCatItem", 4);
    EXPECT_EQ(shown(f), (QList<bool>{false, false, true, false, false, true}));
    pickMenu(f, "mnuCatItem", 0);
    EXPECT_EQ(f->strCategory, QStringLiteral("TV"));
    EXPECT_EQ(itemTexts(f->ListView1), QStringList{"News"});
    EXPECT_FALSE(f->Frame1->isHidden());
}

TEST_F(MenusTest, ViewSwitchesKeepThePlayerPlayingAndTheListsAsTheyAre)
{
    Form1 *f = loadWithChannels();
    const QString media = env->writeFile(env->programFolder() + QStringLiteral("/clip.mp3"), "ID3");
    f->WindowsMediaPlayer1->setUrl(media);
    const QStringList channels = itemTexts(f->ListView1);
    const QString category = f->strCategory, filter = f->strTypeFilter;

    f->cmdFavorites->click();
    EXPECT_EQ(shown(f), (QList<bool>{false, true, false, false, false, true}));
    EXPECT_EQ(f->WindowsMediaPlayer1->url(), media);

    // From the YouTube view: the browser pane gives way to the media player.
    f->Frame5->setVisible(true);
    f->wbyoutube->setVisible(true);
    f->WindowsMediaPlayer1->setVisible(false);
    pickMenu(f, "mnuCatItem", 4);
    EXPECT_EQ(shown(f), (QList<bool>{false, false, true, false, false, true}));
    EXPECT_EQ(f->WindowsMediaPlayer1->url(), media);

    EXPECT_EQ(itemTexts(f->ListView1), channels);
    EXPECT_EQ(f->strCategory, category);
    EXPECT_EQ(f->strTypeFilter, filter);
    EXPECT_FALSE(QFile::exists(env->userFolder() + QStringLiteral("/Favorites.txt")));
}

TEST_F(MenusTest, ChangeLanguageBringsUpTheOneChooserWithoutAMode)
{
    expectSingleModelessWindow(loadWithChannels(), "mnuLanguageItem", 0, QStringLiteral("frmLanguage"));
}

TEST_F(MenusTest, HiddenAddChannelsItemStillLoadsAndShowsTheSubmissionWindow)
{
    StandInSubmit::loads = 0;
    ui::Forms::registerClass(QStringLiteral("frmSubmit"), [] { return new StandInSubmit; });
    Form1 *f = loadWithChannels();
    EXPECT_EQ(shownItems(f, "mnuUpdate"), QStringList{"Update Channels Online"});
    expectSingleModelessWindow(f, "mnuUpdateItem", 1, QStringLiteral("frmSubmit"));
    EXPECT_EQ(StandInSubmit::loads, 1);
}

TEST_F(MenusTest, ViewHelpOpensTheHelpFileAndLeavesNoLauncherBehind)
{
    Form1 *f = loadWithChannels();
    pickMenu(f, "mnuHelpItem", 0);
    EXPECT_TRUE(opened.isEmpty()); // no help file: nothing shown, nothing written
    EXPECT_EQ(machineSetting(QStringLiteral("showHelp")), QStringLiteral("<none>"));
    EXPECT_EQ(ui::Forms::find(QStringLiteral("Form8")), nullptr);

    EXPECT_EQ(boxes->count(), 0);

    // No viewer: the user hears why nothing opens, and the help is not marked as seen.
    writeHelpFile();
    openSucceeds = false;
    pickMenu(f, "mnuHelpItem", 0);
    EXPECT_EQ(opened, QStringList{helpFile()});
    ASSERT_EQ(boxes->count(), 1);
    EXPECT_TRUE(boxes->boxes().first().prompt.contains(QStringLiteral("no CHM viewer is installed")));
    EXPECT_EQ(machineSetting(QStringLiteral("showHelp")), QStringLiteral("<none>"));
    EXPECT_EQ(ui::Forms::find(QStringLiteral("Form8")), nullptr);

    openSucceeds = true;
    opened.clear();
    pickMenu(f, "mnuHelpItem", 0);
    EXPECT_EQ(opened, QStringList{helpFile()});
    EXPECT_EQ(boxes->count(), 1);
    EXPECT_EQ(machineSetting(QStringLiteral("showHelp")), QStringLiteral("0"));
    EXPECT_EQ(ui::Forms::find(QStringLiteral("Form8")), nullptr);
}

TEST_F(MenusTest, AboutItemShowsTheAboutBoxWithoutAMode)
{
    expectSingleModelessWindow(loadWithChannels(), "mnuAboutItem", 0, QStringLiteral("frmAbout"));
}

TEST_F(MenusTest, WebsiteButtonOpensTheWebsiteThroughTheHiddenLauncher)
{
    Form1 *f = loadWithChannels();
    EXPECT_EQ(f->cmdWebsite->Caption(), QStringLiteral("Visit www.example.org"));
    f->cmdWebsite->click();
    EXPECT_EQ(opened, QStringList{"http://www.example.org"});
    EXPECT_TRUE(PageRequest.isEmpty());
    ui::Form *launcher = ui::Forms::find(QStringLiteral("frmWebsite"));
    ASSERT_NE(launcher, nullptr);
    EXPECT_FALSE(launcher->isVisible());

    // Without a website, and over a request left from the sports button, it still asks.
    ui::Forms::unload(launcher);
    platform::setVersionInfo({QStringLiteral("DeckTest"), QStringLiteral("Test Co"), QString(), 2, 5});
    PageRequest = QStringLiteral("Sports");
    f->cmdWebsite->click();
    EXPECT_EQ(opened, (QStringList{"http://www.example.org", "http://"}));
    EXPECT_TRUE(PageRequest.isEmpty());
}

TEST_F(MenusTest, DeveloperButtonWritesTheLanguageTemplateOfTheLoadedWindows)
{
    Form1 *f = loadWithChannels();
    const QString file = env->userFolder() + QStringLiteral("/Localization.txt");
    ASSERT_FALSE(QFile::exists(file));
    f->Command3->click();
    const QString written = QString::fromUtf8(testsupport::TempEnvironment::readFile(file));
    EXPECT_TRUE(written.contains(QStringLiteral("<FORM1_CMDTV>TV/Video</FORM1_CMDTV>")));
    EXPECT_TRUE(written.contains(QStringLiteral("<FORM1_MNUFILEITEM2>Exit</FORM1_MNUFILEITEM2>")));
}
