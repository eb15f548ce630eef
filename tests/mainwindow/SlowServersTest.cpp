// The main window against servers that stall, trickle, cut a reply short or never end it:
// the window keeps running its messages, the probe decides within its bound, the last click
// plays, a cut guide replaces nothing, and the program's end stops what is under way.
#include "tests/mainwindow/MainWindowFixture.h"

#include "mainwindow/EndProgram.h"
#include "mainwindow/modStreamProbe.h"
#include "platform/core/Inet.h"
#include "platform/ui/DoEvents.h"
#include "platform/ui/Menu.h"
#include "platform/ui/player/PlayerWords.h"
#include "services/modDownload.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/NestedAction.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/TimerGap.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <cstdio>

using namespace mwtest;
using testsupport::ScriptedServer;
using testsupport::TimerGap;

namespace
{

void reportGap(const char *what, const TimerGap &gap)
{
    std::printf("[timer gap] %s: %lld ms over %d ticks\n", what, static_cast<long long>(gap.longest()),
                gap.ticks());
}

class SlowServersTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        // Short waits, so that a stalled server fails a case in about a second.
        platform::inetSetDefaultTimeouts(1000, 1000);
        putSetting("TVLang", "All");
    }
    void TearDown() override
    {
        if (form)
            form->WindowsMediaPlayer1->close();
        ui::setProgramEnding(false);
        channelProbeBounds() = StreamProbeBounds();
        platform::inetSetDefaultTimeouts(platform::InetDefaultConnectTimeoutMs,
                                         platform::InetDefaultReceiveTimeoutMs);
        MainWindowTest::TearDown();
    }

    Form1 *loadWith(const QStringList &urls)
    {
        QStringList lines;
        for (const QString &url : urls)
            lines.append(channelLine(url, "TV", "English", url));
        writeData(lines);
        form = loadForm1();
        return form;
    }
    void select(const QString &name)
    {
        for (int i = 1; i <= form->ListView1->ListItems()->Count(); ++i) {
            ui::ListItem *item = form->ListView1->ListItems()->Item(i);
            if (item->Text() == name)
                item->setSelected(true);
        }
    }
    void click(const QString &name)
    {
        select(name);
        emit form->ListView1->Click();
    }

    Form1 *form = nullptr;
};

} // namespace

TEST_F(SlowServersTest, ProbeDecidesWithinItsBoundWhateverTheServerDoes)
{
    struct Case {
        const char *what;
        ScriptedServer::Script script;
    };
    const Case cases[] = {
        {"header lines trickled every 0.4 s", ScriptedServer::trickledHeaders(400)},
        {"body trickled a byte every 0.25 s", ScriptedServer::trickledBody(250)},
        {"body trickled at 4 bytes a second", ScriptedServer::trickledBody(1000, "abcd")},
        {"silent after the request", ScriptedServer::silent()},
    };
    // The program's own waits, far longer than the probe's bound.
    platform::inetSetDefaultTimeouts(30000, 30000);
    constexpr int bound = 1200;
    for (const Case &c : cases) {
        ScriptedServer server(c.script);
        TimerGap gap;
        QElapsedTimer clock;
        clock.start();
        const StreamProbe probe = ProbeStreamUrl(server.url(), StreamProbeMaxBytes, bound);
        const qint64 took = clock.elapsed();
        reportGap(c.what, gap);
        EXPECT_GE(took, bound - 50) << c.what;
        EXPECT_LT(took, bound + 2000) << c.what;
        EXPECT_TRUE(probe.cutShort) << c.what;
        EXPECT_LT(gap.longest(), TimerGap::FrozenMs) << c.what;
    }
}

TEST_F(SlowServersTest, StreamPlaysSoonAfterItsFirstBytesAndSlowErrorPagesStillCount)
{
    platform::inetSetDefaultTimeouts(30000, 30000);
    // 16 KB a second in small pieces, as a 128 kbit/s radio sends without a first burst.
    ScriptedServer radio(ScriptedServer::trickledBody(10, std::string(160, 'U')));
    const auto inTwo = [](const std::string &first, int pauseMs, const std::string &rest) {
        return [=](testsupport::ScriptedConnection &c) {
            const std::string head = ScriptedServer::headers((long long)(first.size() + rest.size()));
            if (c.readRequest() && c.send(head + first) && c.pause(pauseMs))
                c.send(rest);
        };
    };
    // Longer than a block with a brief pause; short with a long one; error words that go on.
    ScriptedServer paused(inTwo("<html><head>" + std::string(500, ' '), 100, "404 Not Found</html>"));
    ScriptedServer shortPaused(inTwo("<html><body>", 800, "Not Found</body></html>"));
    ScriptedServer errorsGoingOn(ScriptedServer::trickledBody(10, std::string(100, ' ') + "Error"));
    loadWith({radio.url(), paused.url(), shortPaused.url(), errorsGoingOn.url()});
    form->addFavorite({"Radio", radio.url(QStringLiteral("/favourite")), "Radio", "English"});

    QElapsedTimer clock;
    clock.start();
    click(radio.url());
    EXPECT_LT(clock.elapsed(), 2000); // 64 KiB at this rate took 4 s
    EXPECT_EQ(form->WindowsMediaPlayer1->url(), radio.url());
    form->ListView2->ListItems()->Item(1)->setSelected(true);
    clock.restart();
    emit form->ListView2->Click();
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_EQ(form->WindowsMediaPlayer1->url(), radio.url(QStringLiteral("/favourite")));

    const std::pair<const char *, QString> errorPages[] = {
        {"long page, brief pause", paused.url()},
        {"short page, long pause", shortPaused.url()},
        {"error words going on", errorsGoingOn.url()},
    };
    for (const auto &[what, url] : errorPages) {
        click(url);
        EXPECT_TRUE(form->imgOffline->Visible()) << what;
        EXPECT_EQ(form->WindowsMediaPlayer1->url(), radio.url(QStringLiteral("/favourite"))) << what;
    }
}

TEST_F(SlowServersTest, LargeErrorPageCutByTheBoundIsStillOffline)
{
    // A 100 KB "404 Not Found" page fills the 64 KiB bound before it ends.
    std::string page = "<html><body><h1>404 Not Found</h1>";
    page += std::string(100 * 1024, ' ') + "</body></html>";
    ScriptedServer server(ScriptedServer::whole(page));
    const StreamProbe probe = ProbeStreamUrl(server.url());
    EXPECT_TRUE(probe.cutShort);
    EXPECT_EQ(probe.reply.size(), StreamProbeMaxBytes);

    loadWith({server.url()});
    click(server.url());
    EXPECT_TRUE(form->imgOffline->Visible());
    EXPECT_TRUE(form->WindowsMediaPlayer1->url().isEmpty());
}

TEST_F(SlowServersTest, ErrorPageThatArrivedWhileTheUserWasBusyShowsTheOfflinePicture)
{
    // The server says 404 after 0.3 s; from 50 ms on the user spends 2 s of the probe's 1 s
    // bound on something else.
    struct Action {
        const char *what;
        std::function<void()> run;
    };
    const Action actions[] = {
        {"a message box read for 2 s", [] { MsgBox(QStringLiteral("Reading this takes a while")); }},
        {"a long action letting messages run", [] { testsupport::busyLettingMessagesRun(2000); }},
    };
    ScriptedServer server(
        ScriptedServer::delayed(300, "<html><body><h1>404 Not Found</h1></body></html>", "404 Not Found"));
    const QString url = server.url(QStringLiteral("/gone"));
    loadWith({url});
    channelProbeBounds().maxMs = 1000;
    for (const Action &action : actions) {
        testsupport::HeldMessageBoxes held(2000);
        QTimer::singleShot(50, form, action.run);
        click(url);
        EXPECT_TRUE(form->imgOffline->Visible()) << action.what;
        EXPECT_TRUE(form->WindowsMediaPlayer1->url().isEmpty()) << action.what;
        form->imgOffline->setVisible(false);
    }
}

TEST_F(SlowServersTest, NewerClickWinsOverASlowerProbe)
{
    ScriptedServer slow(ScriptedServer::delayed(8000, "#EXTM3U\n"));
    ScriptedServer fast(ScriptedServer::whole("#EXTM3U\n"));
    const QString slowUrl = slow.url(QStringLiteral("/slow"));
    const QString fastUrl = fast.url(QStringLiteral("/fast"));
    loadWith({slowUrl, fastUrl});

    QTimer::singleShot(200, form, [this, fastUrl] { click(fastUrl); });
    TimerGap gap;
    QElapsedTimer clock;
    clock.start();
    click(slowUrl);
    reportGap("channel click on a server that answers after 8 s", gap);

    EXPECT_EQ(form->WindowsMediaPlayer1->url(), fastUrl);
    EXPECT_FALSE(form->imgOffline->Visible());
    // The first probe gave up at the second click instead of waiting for its answer.
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_LT(gap.longest(), TimerGap::FrozenMs);
    EXPECT_EQ(form->ListView1->SelectedItem()->Text(), fastUrl);
}

TEST_F(SlowServersTest, ThePlayerSaysItConnectsWhileTheProbeWaitsAndStopThereCancelsThePlay)
{
    // Servers that take their time, but not past the receive time-out.
    platform::inetSetDefaultTimeouts(5000, 5000);
    ScriptedServer slow(ScriptedServer::delayed(1500, "#EXTM3U\n"));
    ScriptedServer slowError(ScriptedServer::delayed(1500, "<h1>404 Not Found</h1>", "404 Not Found"));
    const QString tv = slow.url(QStringLiteral("/tv"));
    const QString gone = slowError.url(QStringLiteral("/gone"));
    loadWith({tv, gone});
    form->Show();
    ui::MediaPlayer *player = form->WindowsMediaPlayer1;
    QString said;
    bool shown = false;
    // Inside the probe, where the window's messages run: what the area says, then Stop.
    const auto stopDuringTheProbe = [&] {
        QTimer::singleShot(700, form, [&] {
            said = player->activity();
            shown = player->findChild<ui::PlayerWords *>()->busyShown();
            player->controls()->stop();
        });
    };

    stopDuringTheProbe();
    click(tv);
    EXPECT_EQ(said, QStringLiteral("Connecting to 127.0.0.1\u2026"));
    EXPECT_TRUE(shown);
    EXPECT_TRUE(player->url().isEmpty()) << "the probe's answer sets nothing";
    EXPECT_TRUE(player->activity().isEmpty());
    QTest::qWait(500);
    EXPECT_EQ(slow.connections(), 1) << "the player never asked";

    // Nor does an answer that would have shown the offline card.
    stopDuringTheProbe();
    click(gone);
    EXPECT_FALSE(form->imgOffline->Visible());
    EXPECT_TRUE(player->activity().isEmpty());

    // Without Stop the same clicks play, or show the card, which takes the words away.
    click(gone);
    EXPECT_TRUE(form->imgOffline->Visible());
    EXPECT_TRUE(player->activity().isEmpty());
    click(tv);
    EXPECT_EQ(player->url(), tv);
}

TEST_F(SlowServersTest, ClickedRowIsShownSelectedWhileItsProbeWaits)
{
    ScriptedServer silent(ScriptedServer::silent());
    loadWith({silent.url(QStringLiteral("/a")), silent.url(QStringLiteral("/b"))});
    form->Show();
    bool selectedDuringProbe = false;
    QTimer::singleShot(300, form, [&] {
        ui::ListItem *item = form->ListView1->SelectedItem();
        selectedDuringProbe = item && item->Text() == silent.url(QStringLiteral("/b"));
    });
    TimerGap gap;
    click(silent.url(QStringLiteral("/b")));
    reportGap("channel click on a silent server", gap);
    EXPECT_TRUE(selectedDuringProbe);
    EXPECT_LT(gap.longest(), TimerGap::FrozenMs);
    // Silence ends in the receive time-out: an empty probe plays, as a dead host does.
    EXPECT_EQ(form->WindowsMediaPlayer1->url(), silent.url(QStringLiteral("/b")));
}

TEST_F(SlowServersTest, CutGuideReplacesNothingAndReportsTheError)
{
    loadWith({});
    writeData({channelLine("Old One", "TV", "English"), channelLine("Old Two", "TV", "German")});
    const QString dataPath = env->dataHome() + QStringLiteral("/TVDAT/Data.txt");
    const QByteArray original = testsupport::TempEnvironment::readFile(dataPath);
    std::string guide;
    for (int i = 1; i <= 200; ++i)
        guide += std::to_string(i) + "|Channel " + std::to_string(i) + "|TV|http://127.0.0.1:9/" +
                 std::to_string(i) + "|English<BR>";
    const size_t cutAt = guide.size() * 6 / 10; // about 120 records in

    struct Case {
        const char *what;
        ScriptedServer::Script script;
    };
    const Case cases[] = {
        {"cut with Content-Length", ScriptedServer::cutWithLength(guide, cutAt)},
        {"chunked cut before its last chunk", ScriptedServer::cutChunked(guide, cutAt)},
        {"stalled after a part", ScriptedServer::stallAfter(guide.substr(0, cutAt), (long long)guide.size())},
    };
    for (const Case &c : cases) {
        ScriptedServer server(c.script);
        env->setEnv("CHANNELDECK_SERVER", server.url(QString()).toUtf8());
        boxes->clear();
        form->txtStatus->setText(QString());
        TimerGap gap;
        EXPECT_FALSE(form->updateChannelsOnline()) << c.what;
        reportGap(c.what, gap);
        EXPECT_EQ(testsupport::TempEnvironment::readFile(dataPath), original) << c.what;
        EXPECT_EQ(form->txtStatus->Text(), QStringLiteral("Error connecting to update site.")) << c.what;
        EXPECT_EQ(boxes->count(), 0) << c.what;
        EXPECT_LT(gap.longest(), TimerGap::FrozenMs) << c.what;
    }

    // The same guide whole does replace the list.
    ScriptedServer server(ScriptedServer::whole(guide));
    env->setEnv("CHANNELDECK_SERVER", server.url(QString()).toUtf8());
    EXPECT_TRUE(form->updateChannelsOnline());
    ASSERT_EQ(boxes->count(), 1);
    EXPECT_EQ(boxes->boxes().first().prompt, QStringLiteral("Downloaded 200 channel updates"));
}

TEST_F(SlowServersTest, ExitDuringADownloadEndsAtOnce)
{
    // The program's end as the real one starts it, without leaving the test.
    setEndProgramHandler([this] {
        ++endCalls;
        ui::setProgramEnding(true);
    });
    ScriptedServer silent(ScriptedServer::silent());
    env->setEnv("CHANNELDECK_SERVER", silent.url(QString()).toUtf8());
    platform::inetSetDefaultTimeouts(30000, 30000);
    loadWith({});
    boxes->clear();
    QPointer<Form1> main(form);
    QTimer::singleShot(150, form, [main] {
        qobject_cast<ui::Menu *>(main->control(QStringLiteral("mnuFileItem"), 2))->trigger(); // File > Exit
    });
    QElapsedTimer clock;
    clock.start();
    form->updateChannelsOnline();
    EXPECT_LT(clock.elapsed(), 5000); // the server would hold it 30 s
    EXPECT_EQ(endCalls, 1);
    EXPECT_EQ(boxes->count(), 0);
    form = nullptr;

    // A download asked for while the program ends does not start.
    clock.restart();
    ScriptedServer whole(ScriptedServer::whole("ok"));
    EXPECT_TRUE(DownloadUrlToString(whole.url()).isEmpty());
    EXPECT_EQ(whole.connections(), 0);
}

TEST_F(SlowServersTest, YouTubePagesFromAStalledSiteKeepTheWindowRunning)
{
    ScriptedServer stalled(ScriptedServer::stallAfter("<html><body>", 100000));
    env->setEnv("CHANNELDECK_VIDEO_SITE", stalled.url(QString()).toUtf8());
    platform::inetSetDefaultTimeouts(500, 500);
    loadWith({});
    TimerGap gap;
    emit form->cmdSearch->Click();
    reportGap("five video-site pages from a stalled site", gap);
    EXPECT_LT(gap.longest(), TimerGap::FrozenMs);
    EXPECT_EQ(stalled.connections(), 5);
}
