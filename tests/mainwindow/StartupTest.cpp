// The main window's start-up: first and later runs, a second copy, reseller variant, editor
// mode, captions, the first-run help and the restored file browser.
#include "tests/mainwindow/MenuWindowsFixture.h"

#include "localisation/modLanguages.h"
#include "mainwindow/SecondInstance.h"
#include "platform/core/Registry.h"
#include "platform/core/VersionInfo.h"
#include "services/modGenDec.h"
#include "services/modMarque.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

using namespace mwtest;

namespace
{

class StartupTest : public MenuWindowsTest
{
protected:
    void TearDown() override
    {
        watcher.reset();
        setSecondInstanceEndHandler({});
        MenuWindowsTest::TearDown();
    }

    static void removeSetting(const QString &key)
    {
        namespace reg = platform::Registry;
        reg::Key key_ = 0;
        const QString path =
            QStringLiteral("Software\\") + platform::versionInfo().productName + QStringLiteral("\\Settings");
        ASSERT_EQ(reg::openKey(reg::CurrentUser, path, reg::AllAccess, &key_), reg::Success);
        reg::deleteValue(key_, key);
        reg::closeKey(key_);
        ASSERT_EQ(setting(key), QStringLiteral("<none>"));
    }

    void useCompany(const QString &company)
    {
        platform::setVersionInfo(
            {QStringLiteral("DeckTest"), company, QStringLiteral("www.example.org"), 2, 5});
        LoadBrandSettings();
    }

    // Closes the language chooser as soon as it is up, noting what the start-up had done by
    // then. The chooser is modal, so this runs inside its event loop.
    void closeChooserWhenShown()
    {
        watcher = std::make_unique<QTimer>();
        QObject::connect(watcher.get(), &QTimer::timeout, [this] {
            ui::Form *chooser = ui::Forms::find(QStringLiteral("frmLanguage"));
            if (!chooser || !chooser->isVisible())
                return;
            ++chooserShown;
            chooserModal = chooser->windowModality() == Qt::ApplicationModal;
            languageAtChooser = setting(QStringLiteral("Language"));
            auto *main = qobject_cast<Form1 *>(ui::Forms::find(QStringLiteral("Form1")));
            listAtChooser = main ? main->ListView1->ListItems()->Count() : -1;
            ui::Forms::unload(chooser);
        });
        watcher->start(5);
    }

    std::unique_ptr<QTimer> watcher;
    int chooserShown = 0;
    bool chooserModal = false;
    QString languageAtChooser;
    int listAtChooser = -1;
};

} // namespace

TEST_F(StartupTest, FirstRunSavesEnglishThenShowsTheChooserModallyAndIsOverAfterwards)
{
    removeSetting(QStringLiteral("Language"));
    writeData({channelLine("News", "TV", "English")});
    closeChooserWhenShown();
    Form1 *f = loadForm1();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(chooserShown, 1);
    EXPECT_TRUE(chooserModal);
    EXPECT_EQ(languageAtChooser, QStringLiteral("English"));
    EXPECT_EQ(listAtChooser, 0); // the lists are filled after the chooser
    // Closed without a pick: English stays and the next start is no first run.
    EXPECT_EQ(setting(QStringLiteral("Language")), QStringLiteral("English"));
    EXPECT_EQ(itemTexts(f->ListView1), QStringList{"News"});

    ui::Forms::unloadAll();
    ASSERT_NE(loadForm1(), nullptr);
    EXPECT_EQ(chooserShown, 1);
}

TEST_F(StartupTest, SettingsThatCannotBeStoredAreToldOnceAndTheFirstRunComesAgain)
{
    removeSetting(QStringLiteral("Language"));
    writeData({channelLine("News", "TV", "English")});
    // Read-only by its bits, which count for root too.
    const QString registry = env->registryDir();
    ASSERT_TRUE(QFile::setPermissions(registry, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    closeChooserWhenShown();
    boxes->clear();

    ASSERT_NE(loadForm1(), nullptr);
    EXPECT_EQ(chooserShown, 1);
    ASSERT_EQ(boxes->count(), 1);
    EXPECT_TRUE(boxes->boxes().first().prompt.startsWith(
        QStringLiteral("Your settings could not be saved to ") + registry))
        << boxes->boxes().first().prompt.toStdString();

    // Nothing was stored, so the next start is a first run again; the user has been told.
    ui::Forms::unloadAll();
    ASSERT_NE(loadForm1(), nullptr);
    EXPECT_EQ(chooserShown, 2);
    EXPECT_EQ(boxes->count(), 1);
    QFile::setPermissions(registry, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST_F(StartupTest, LaterRunWithALanguageTheFileLacksShowsNoChooser)
{
    putSetting(QStringLiteral("Language"), QStringLiteral("Klingon"));
    QFile::copy(QStringLiteral(CD_SOURCE_DIR "/resources/program/Localization.txt"),
                env->programFolder() + QStringLiteral("/Localization.txt"));
    closeChooserWhenShown();
    Form1 *f = loadForm1();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(chooserShown, 0);
    EXPECT_EQ(ui::Forms::find(QStringLiteral("frmLanguage")), nullptr);
    EXPECT_EQ(f->cmdRadio->Caption(), QStringLiteral("Radio/Music"));
    EXPECT_EQ(setting(QStringLiteral("Language")), QStringLiteral("Klingon"));
}

TEST_F(StartupTest, SecondCopyEndsSilentlyAfterTheChooserWithoutUnloadingAnything)
{
    removeSetting(QStringLiteral("Language"));
    putSetting(QStringLiteral("showHelp"), QStringLiteral("1"));
    writeHelpFile();
    writeData({channelLine("News", "TV", "English")});
    int ends = 0;
    setInstanceCheck([] { return true; });
    setSecondInstanceEndHandler([&ends] { ++ends; });
    closeChooserWhenShown();

    Form1 *f = loadForm1();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(chooserShown, 1); // steps up to the chooser ran
    EXPECT_TRUE(QFile::exists(env->userFolder() + QStringLiteral("/youtube.html")));
    EXPECT_EQ(endCalls, 0);       // no unload handler
    EXPECT_EQ(boxes->count(), 0); // no message
    EXPECT_NE(f->Caption(), QStringLiteral("DeckTest by Test Co"));
    EXPECT_TRUE(opened.isEmpty()); // no help
    EXPECT_EQ(setting(QStringLiteral("showHelp")), QStringLiteral("1"));
    EXPECT_EQ(f->ListView1->ListItems()->Count(), 0);
    EXPECT_FALSE(f->isVisible());
}

TEST_F(StartupTest, CaptionAndWebsiteButtonWinOverTheTranslation)
{
    QFile::copy(QStringLiteral(CD_SOURCE_DIR "/resources/program/Localization.txt"),
                env->programFolder() + QStringLiteral("/Localization.txt"));
    putSetting(QStringLiteral("Language"), QStringLiteral("Deutsch"));
    Form1 *f = loadForm1();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->cmdFavorites->Caption(), QStringLiteral("Favoriten")); // translated
    EXPECT_EQ(f->Caption(), QStringLiteral("DeckTest by Test Co"));
    EXPECT_EQ(f->cmdWebsite->Caption(), QStringLiteral("Visit www.example.org"));
    EXPECT_EQ(strLanguage, QStringLiteral("Deutsch"));
}

TEST_F(StartupTest, ResellerVariantShowsItsButtonsAndMenuItemsOnlyForTheExactName)
{
    useCompany(QStringLiteral("Tandrel Software"));
    Form1 *f = loadForm1();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(shownItems(f, "mnuCat"),
              (QStringList{"TV/Video", "Radio/Music", "Favorites", "My Files", "Live Sports", "Extras",
                           "Adult", QStringLiteral("YouTube™")}));
    EXPECT_FALSE(f->cmdSports->isHidden());
    EXPECT_FALSE(f->cmdExtras->isHidden());
    EXPECT_FALSE(f->cmdXXX->isHidden());
    EXPECT_EQ(f->cmdWebsite->Left(), f->cmdXXX->Left() + f->cmdXXX->Width() + 60);
    EXPECT_EQ(f->Caption(), QStringLiteral("DeckTest by Tandrel Software"));

    for (const QString &near : {QStringLiteral("tandrel software"), QStringLiteral("Tandrel Software ")}) {
        ui::Forms::unloadAll();
        useCompany(near);
        f = loadForm1();
        EXPECT_EQ(shownItems(f, "mnuCat"), (QStringList{"TV/Video", "Radio/Music", "Favorites", "My Files",
                                                        QStringLiteral("YouTube™")}))
            << near.toStdString();
        EXPECT_TRUE(f->cmdSports->isHidden());
        EXPECT_TRUE(f->cmdXXX->isHidden());
        EXPECT_EQ(f->cmdWebsite->Left(), 7560);
    }
}

TEST_F(StartupTest, EditorModeFollowsAdminTxt)
{
    Form1 *f = loadForm1();
    EXPECT_FALSE(f->blnAdmin);
    EXPECT_TRUE(f->Frame2->isHidden());
    EXPECT_EQ(f->ListView1->ColumnHeaders()->Count(), 5);
    EXPECT_EQ(f->chkLoad->Value(), ui::vbUnchecked);

    ui::Forms::unloadAll();
    env->writeFile(env->programFolder() + QStringLiteral("/admin.txt"), QByteArray());
    f = loadForm1();
    EXPECT_TRUE(f->blnAdmin);
    EXPECT_FALSE(f->Frame2->isHidden());
    ASSERT_EQ(f->ListView1->ColumnHeaders()->Count(), 6);
    EXPECT_EQ(f->ListView1->ColumnHeaders()->Item(6)->Text(), QStringLiteral("URL"));
    EXPECT_EQ(f->chkLoad->Value(), ui::vbChecked);

    // The marker counts in the user folder too, where a user of an installed copy can put it.
    ui::Forms::unloadAll();
    ASSERT_TRUE(QFile::remove(env->programFolder() + QStringLiteral("/admin.txt")));
    env->writeFile(env->userFolder() + QStringLiteral("/Admin.TXT"), QByteArray());
    f = loadForm1();
    EXPECT_TRUE(f->blnAdmin);
    EXPECT_FALSE(f->Frame2->isHidden());
}

TEST_F(StartupTest, HelpOpensOnTheFirstRunOnly)
{
    writeHelpFile();
    for (const QString &value :
         {QStringLiteral("0"), QStringLiteral("yes"), QStringLiteral(" 1"), QString()}) {
        putSetting(QStringLiteral("showHelp"), value);
        ASSERT_NE(loadForm1(), nullptr);
        ui::Forms::unloadAll();
        EXPECT_TRUE(opened.isEmpty()) << value.toStdString();
    }

    // A first run without a viewer leaves the help due, and start-up says nothing about it.
    removeSetting(QStringLiteral("showHelp"));
    openSucceeds = false;
    boxes->clear();
    ASSERT_NE(loadForm1(), nullptr);
    ui::Forms::unloadAll();
    EXPECT_EQ(opened, QStringList{helpFile()});
    EXPECT_EQ(setting(QStringLiteral("showHelp")), QStringLiteral("<none>"));
    EXPECT_EQ(machineSetting(QStringLiteral("showHelp")), QStringLiteral("<none>"));
    for (const auto &box : boxes->boxes())
        EXPECT_FALSE(box.prompt.contains(QStringLiteral("CHM"))) << box.prompt.toStdString();

    opened.clear();
    openSucceeds = true;
    ASSERT_NE(loadForm1(), nullptr);
    EXPECT_EQ(opened, QStringList{helpFile()});
    EXPECT_EQ(ui::Forms::find(QStringLiteral("Form8")), nullptr);
    EXPECT_EQ(setting(QStringLiteral("showHelp")), QStringLiteral("0"));
    EXPECT_EQ(machineSetting(QStringLiteral("showHelp")), QStringLiteral("0"));

    ui::Forms::unloadAll();
    ASSERT_NE(loadForm1(), nullptr);
    EXPECT_EQ(opened.size(), 1);
}

TEST_F(StartupTest, PlaceholderPageIsWrittenAnewAndTheTvListIsUp)
{
    const QString page =
        env->writeFile(env->userFolder() + QStringLiteral("/youtube.html"), "old video page");
    // One an earlier version left beside the program is neither read nor written.
    const QString old = env->writeFile(env->programFolder() + QStringLiteral("/youtube.html"), "left over");
    writeData(
        {channelLine("News", "TV", "English", QStringLiteral("http://127.0.0.1:9/a"), QStringLiteral("2")),
         channelLine("Sport", "TV", "English", QStringLiteral("http://127.0.0.1:9/b"), QStringLiteral("9"))});
    Form1 *f = loadForm1();
    EXPECT_EQ(
        testsupport::TempEnvironment::readFile(page),
        QByteArray("<html><body bgcolor=black><center><font color=white><h1>Please select a video from the "
                   "list to the left</h1><br></font></center></body></html>\r\n"));
    EXPECT_EQ(testsupport::TempEnvironment::readFile(old), "left over");
    EXPECT_EQ(f->strYouTubeLocale, QStringLiteral("en_us"));
    EXPECT_EQ(f->strCategory, QStringLiteral("TV"));
    EXPECT_EQ(itemTexts(f->ListView1).size(), 2);
}

TEST_F(StartupTest, StartAndCloseWriteNothingBesideTheProgram)
{
    removeSetting(QStringLiteral("Language"));
    putSetting(QStringLiteral("showHelp"), QStringLiteral("1"));
    writeHelpFile();
    QFile::copy(QStringLiteral(CD_SOURCE_DIR "/resources/program/Localization.txt"),
                env->programFolder() + QStringLiteral("/Localization.txt"));
    writeData({channelLine("News", "TV", "English")});
    const auto snapshot = [this] {
        QStringList entries;
        const QFileInfoList infos =
            QDir(env->programFolder()).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        for (const QFileInfo &info : infos)
            entries << info.fileName() + QLatin1Char(' ') + QString::number(info.size()) + QLatin1Char(' ') +
                           QString::number(info.lastModified().toMSecsSinceEpoch());
        return entries;
    };
    const QStringList before = snapshot();
    closeChooserWhenShown(); // a first run: the chooser and the help too

    Form1 *f = loadForm1();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(chooserShown, 1);
    EXPECT_EQ(opened, QStringList{helpFile()});
    f->showYouTubeVideo(QStringLiteral("A video"), QStringLiteral("abcdefghijk"));
    ui::Forms::unloadAll();
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(QFile::exists(env->userFolder() + QStringLiteral("/youtube.html")));
}

TEST_F(StartupTest, FavouritesKeptBesideTheProgramAreTakenOverAtStart)
{
    const QByteArray favourites = EncryptString("Old favourite|http://127.0.0.1:9/old|TV|English") + "\r\n";
    const QString old = env->writeFile(env->programFolder() + QStringLiteral("/Favorites.txt"), favourites);
    const QString export_ =
        env->writeFile(env->programFolder() + QStringLiteral("/Data.htm"), "<data>\r\n</data>\r\n");
    Form1 *f = loadForm1();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(itemTexts(f->ListView2), QStringList{"Old favourite"});
    EXPECT_EQ(testsupport::TempEnvironment::readFile(env->userFolder() + QStringLiteral("/Favorites.txt")),
              favourites);
    EXPECT_EQ(testsupport::TempEnvironment::readFile(env->userFolder() + QStringLiteral("/Data.htm")),
              "<data>\r\n</data>\r\n");
    EXPECT_FALSE(QFile::exists(old));
    EXPECT_FALSE(QFile::exists(export_));

    // The next start lists it once, from the user folder.
    ui::Forms::unloadAll();
    f = loadForm1();
    EXPECT_EQ(itemTexts(f->ListView2), QStringList{"Old favourite"});
}

TEST_F(StartupTest, FileBrowserReopensTheFolderLastUsed)
{
    const QString folder = env->root() + QStringLiteral("/media");
    env->writeFile(folder + QStringLiteral("/song.MP3"), "ID3");
    putSetting(QStringLiteral("Dir"), folder);
    Form1 *f = loadForm1();
    EXPECT_EQ(f->Dir1->Path(), folder);
    EXPECT_EQ(f->File1->Path(), folder);
}
