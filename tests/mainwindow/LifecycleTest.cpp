// The splash window's hand-over, the main window's start-up essentials, the status line
// and closing.
#include "tests/mainwindow/MainWindowFixture.h"

#include "localisation/modLanguages.h"
#include "mainwindow/EndProgram.h"
#include "mainwindow/frmSplash.h"
#include "platform/core/InstanceLock.h"
#include "platform/core/ProgramFolder.h"
#include "platform/core/Registry.h"
#include "platform/core/RuntimeError.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DoEvents.h"
#include "platform/ui/Forms.h"
#include "services/modGlobals.h"
#include "services/modMachineSettings.h"
#include "services/modMarque.h"
#include "services/modSkin.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTest>

#include <gmock/gmock.h>

#include <cstdlib>

using namespace mwtest;
namespace reg = platform::Registry;

namespace
{

class LifecycleTest : public MainWindowTest
{
protected:
    frmSplash *loadSplash(const QString &chkSplash = QString())
    {
        if (!chkSplash.isNull())
            SaveMachineSetting("DeckTest", "Settings", "chkSplash", chkSplash);
        return qobject_cast<frmSplash *>(ui::Forms::load("frmSplash"));
    }
    static void tick(frmSplash *splash, int times)
    {
        for (int i = 0; i < times; ++i)
            emit splash->Timer2->Timer();
    }
};

} // namespace

TEST_F(LifecycleTest, SplashHandsOverOnTheSeventyFifthTick)
{
    writeData({channelLine("News", "TV", "English")});
    strProgramName.clear();
    frmSplash *splash = loadSplash();
    ASSERT_NE(splash, nullptr);
    EXPECT_TRUE(splash->isVisible());
    EXPECT_TRUE(splash->Timer2->Enabled());
    EXPECT_EQ(splash->Timer2->Interval(), 2);
    // On a busy machine the real 2 ms timer may already have fired inside the events the
    // load let run: from here only the test's ticks count, and those count too.
    splash->Timer2->setInterval(3600 * 1000);
    const int ticksSoFar = splash->intCount / 2;
    ASSERT_LT(ticksSoFar, 74);
    EXPECT_EQ(strProgramName, "DeckTest"); // the brand settings are loaded
    EXPECT_EQ(objSkinHelper, nullptr);     // no skin call with skinning off

    tick(splash, 74 - ticksSoFar);
    EXPECT_EQ(ui::Forms::find("Form1"), nullptr);

    bool mainShownFirst = false;
    QObject::connect(splash, &ui::Form::hidden, splash, [&] {
        ui::Form *main = ui::Forms::find("Form1");
        mainShownFirst = main && main->isVisible();
    });
    tick(splash, 1);
    ui::Form *main = ui::Forms::find("Form1");
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(mainShownFirst);
    EXPECT_FALSE(splash->isVisible());
    EXPECT_FALSE(splash->Timer2->Enabled());
    EXPECT_EQ(ui::Forms::find("frmSplash"), splash); // hidden, still loaded
}

TEST_F(LifecycleTest, ChkSplashOneKeepsTheSplashInvisibleOtherValuesDoNot)
{
    writeData({});
    frmSplash *splash = loadSplash("1");
    EXPECT_FALSE(splash->isVisible());
    tick(splash, 75);
    EXPECT_NE(ui::Forms::find("Form1"), nullptr);
    EXPECT_FALSE(splash->isVisible());
    ui::Forms::unloadAll();

    for (const char *value : {" 1", "01", "one"}) {
        splash = loadSplash(QLatin1String(value));
        EXPECT_TRUE(splash->isVisible()) << value;
        ui::Forms::unloadAll();
    }
}

TEST_F(LifecycleTest, UnreadableChkSplashStillStartsTheProgram)
{
    // A number where text belongs makes the machine-wide read fail; the program starts anyway.
    reg::Key key = 0;
    ASSERT_EQ(reg::createKey(reg::LocalMachine, QStringLiteral("SOFTWARE\\Test Co\\DeckTest\\Settings"),
                             reg::AllAccess, &key),
              reg::Success);
    ASSERT_EQ(reg::setValue(key, QStringLiteral("chkSplash"), reg::DWord, QByteArray("\1\0\0\0", 4)),
              reg::Success);
    reg::closeKey(key);
    EXPECT_THROW(GetMachineSetting("DeckTest", "Settings", "chkSplash", "0"), platform::RuntimeError);

    writeData({});
    frmSplash *splash = loadSplash();
    ASSERT_NE(splash, nullptr);
    EXPECT_TRUE(splash->isVisible());
    tick(splash, 75);
    EXPECT_NE(ui::Forms::find("Form1"), nullptr);
}

TEST_F(LifecycleTest, StartUpSetsTheDataFolderPlaceholderPageLanguageAndCaptions)
{
    writeData({channelLine("News", "TV", "English")});
    Form1 *f = loadForm1();
    EXPECT_EQ(strDataFolder, env->dataHome() + "/TVDAT");
    EXPECT_EQ(
        testsupport::TempEnvironment::readFile(env->userFolder() + "/youtube.html"),
        "<html><body bgcolor=black><center><font color=white><h1>Please select a video from the list to the "
        "left</h1><br></font></center></body></html>\r\n");
    ASSERT_NE(objLanguages, nullptr);
    EXPECT_EQ(objLanguages->getMessages("msg_status1"), "Total Channels: ");
    EXPECT_EQ(f->strYouTubeLocale, "en_us");
    EXPECT_EQ(f->Caption(), "DeckTest by Test Co");
    EXPECT_EQ(f->cmdWebsite->Caption(), "Visit www.example.org");
    EXPECT_TRUE(f->Label5->Caption().contains("Data.htm will be saved in your ChannelDeck folder (" +
                                              env->userFolder() + ")."));
    EXPECT_FALSE(f->wbyoutube->Visible());
    EXPECT_FALSE(f->Frame5->Visible());
    EXPECT_EQ(f->strCategory, "TV");
    EXPECT_EQ(f->ListView1->ListItems()->Count(), 1);
}

TEST_F(LifecycleTest, StatusTextGoesToTheFirstPanelAtOnce)
{
    writeData({});
    Form1 *f = loadForm1();
    f->txtStatus->setText("Downloaded 512 bytes.");
    EXPECT_EQ(f->StatusBar1->panelText(1), "Downloaded 512 bytes.");
    f->txtStatus->setText(QString());
    EXPECT_EQ(f->StatusBar1->panelText(1), QString());
}

TEST_F(LifecycleTest, ClosingStopsThePlayerUnloadsTheOthersAndEndsTheProgram)
{
    // A stand-in help launcher that looks at the player when the main window unloads it.
    struct HelpLauncher : ui::Form {
        HelpLauncher() : ui::Form("Form8") {}
        void Form_Unload(int &) override { *seen = main->WindowsMediaPlayer1->url(); }
        Form1 *main = nullptr;
        QString *seen = nullptr;
    };
    QString playerUrlAtUnload = "<not unloaded>";
    ui::Forms::registerClass("Form8", [] { return new HelpLauncher; });

    writeData({});
    frmSplash *splash = loadSplash();
    tick(splash, 75);
    auto *f = qobject_cast<Form1 *>(ui::Forms::find("Form1"));
    ASSERT_NE(f, nullptr);
    auto *help = static_cast<HelpLauncher *>(ui::Forms::load("Form8"));
    help->main = f;
    help->seen = &playerUrlAtUnload;
    f->WindowsMediaPlayer1->setUrl(platform::programFolder() + "/missing.mp3");
    ASSERT_FALSE(f->WindowsMediaPlayer1->url().isEmpty());

    f->close();                              // the window's close box
    EXPECT_EQ(playerUrlAtUnload, QString()); // stopped and closed before the others went
    EXPECT_EQ(endCalls, 1);
    EXPECT_EQ(ui::Forms::find("Form8"), nullptr);
    EXPECT_EQ(ui::Forms::find("frmSplash"), nullptr);
    EXPECT_EQ(ui::Forms::find("Form1"), nullptr);
}

TEST(EndProgramDeathTest, AHandlerThatDoesNotUnwindIsNamedOnOneLineAndTheExitIsAFailure)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    testsupport::TempEnvironment env;
    // A runtime folder of its own, so no other test's lock is in the way.
    const QString runtime = env.programFolder() + QStringLiteral("/runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    env.setEnv("XDG_RUNTIME_DIR", runtime.toUtf8());
    const QString lock = platform::instanceLockPath();
    const auto oneLineNaming = [](const std::string &what) {
        return ::testing::Truly([what](const std::string &errors) {
            const QStringList lines = QString::fromStdString(errors).split('\n', Qt::SkipEmptyParts);
            const QStringList net = lines.filter(QStringLiteral("did not end within 2 s"));
            return net.size() == 1 && lines.last() == net.first() && errors.back() == '\n' &&
                   net.first().contains(QString::fromStdString(what));
        });
    };
    EXPECT_EXIT(
        {
            if (platform::anotherInstanceRunning() || !QFile::exists(lock))
                std::_Exit(3);
            KeepRunningUntilEndProgram();
            ui::Form window(QStringLiteral("frmStuck"));
            auto *go =
                window.addControl<ui::CommandButton>(QStringLiteral("cmdGo"), nullptr, 0, 0, 1200, 450);
            QObject::connect(go, &ui::CommandButton::Click, go, [] {
                EndProgram();
                // A wait that never looks at the program's end.
                for (;;)
                    DoEvents();
            });
            window.show();
            QTest::mouseClick(go, Qt::LeftButton);
            std::_Exit(4);
        },
        ::testing::ExitedWithCode(EndNotUnwoundExitCode),
        oneLineNaming("still under way: DoEvents in the handler of MouseButtonRelease on frmStuck.cmdGo"));
    EXPECT_FALSE(QFile::exists(lock)) << "the lock is given back when the end begins";
}
