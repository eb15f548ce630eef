// A live stream that drops is joined again without a click, at growing waits for five minutes;
// Stop, another address or another pane ends the tries at once; what ends by itself is not
// joined again.
#include "platform/ui/player/Rejoin.h"
#include "platform/ui/player/MediaPlayer.h"
#include "platform/ui/player/PlayerWords.h"
#include "tests/platform_ui/MediaFiles.h"
#include "tests/platform_ui/RadioStation.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/ScriptedServer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace ui;
using testsupport::ScriptedServer;

namespace
{

QString mediaFile(const char *name)
{
    return QStringLiteral(CD_SOURCE_DIR "/tests/platform_ui/media/") + QLatin1String(name);
}

// Waits that keep a test short; the give-up far off unless a test wants it.
RejoinSchedule quickSchedule(int giveUpMs = 60000)
{
    RejoinSchedule schedule;
    schedule.firstWaitMs = 50;
    schedule.longestWaitMs = 200;
    schedule.giveUpMs = giveUpMs;
    schedule.tryMs = 5000;
    return schedule;
}

class RejoinTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(radio.ready());
        player.rejoin()->setSchedule(quickSchedule());
        player.resize(320, 240);
        player.show();
    }
    void TearDown() override { player.close(); }

    // The radio plays, then the station hangs up and refuses: the player is joining it again.
    bool dropTheRadio()
    {
        player.setUrl(radio.url());
        if (!QTest::qWaitFor(
                [&] {
                    return player.playState() == MediaPlayer::wmppsPlaying && player.activity().isEmpty();
                },
                15000))
            return false;
        radio.refusing = true;
        radio.cut = true;
        return QTest::qWaitFor([&] { return player.rejoining(); }, 15000);
    }

    // Requests the station gets over `ms` from now.
    int requestsOver(int ms)
    {
        const int before = radio.requests;
        QTest::qWait(ms);
        return radio.requests - before;
    }

    testmedia::RadioStation radio;
    MediaPlayer player;
};

} // namespace

TEST(RejoinSchedule, FirstTryWithinASecondThenWaitsGrowToFiveSecondsForFiveMinutes)
{
    const RejoinSchedule schedule;
    EXPECT_LT(schedule.waitBefore(1), 1000);
    int previous = 0, total = 0, tries = 0;
    for (int n = 1; total + schedule.waitBefore(n) < schedule.giveUpMs; ++n) {
        const int wait = schedule.waitBefore(n);
        EXPECT_GE(wait, previous) << n;
        EXPECT_LE(wait, 5000) << n;
        previous = wait;
        total += wait;
        ++tries;
    }
    EXPECT_EQ(previous, 5000) << "the waits reach five seconds";
    EXPECT_EQ(schedule.giveUpMs, 5 * 60 * 1000);
    EXPECT_GT(tries, 55) << "a try every five seconds at most";
    EXPECT_EQ(schedule.waitBefore(1000), 5000) << "no overflow after a long outage";
}

TEST(RejoinTimer, TriesFollowTheScheduleAndStopWhenEndedOrOutOfTime)
{
    Rejoin rejoin;
    RejoinSchedule schedule;
    schedule.firstWaitMs = 30;
    schedule.longestWaitMs = 120;
    schedule.giveUpMs = 1500;
    schedule.tryMs = 400;
    rejoin.setSchedule(schedule);
    QList<qint64> at;
    QElapsedTimer clock;
    // Every try fails at once.
    QObject::connect(&rejoin, &Rejoin::attempt, [&](int number) {
        at.append(clock.elapsed());
        EXPECT_EQ(number, at.size());
        QTimer::singleShot(0, &rejoin, &Rejoin::tryFailed);
    });
    QSignalSpy gaveUp(&rejoin, &Rejoin::gaveUp);
    clock.start();
    rejoin.begin();
    ASSERT_TRUE(gaveUp.wait(5000));
    const qint64 end = clock.elapsed();
    EXPECT_GE(end, 1500);
    EXPECT_FALSE(rejoin.active());
    ASSERT_GE(at.size(), 5);
    EXPECT_LT(at[0], 300);
    EXPECT_GE(at[1] - at[0], 30) << "a try's own wait: 1 s, shortened to the longest";
    for (int i = 2; i < at.size(); ++i)
        EXPECT_GE(at[i] - at[i - 1], 115) << i;
    const int made = int(at.size());
    QTest::qWait(400);
    EXPECT_EQ(at.size(), made) << "no try after giving up";

    // A try that neither joins nor fails counts as failed after its time.
    at.clear();
    QObject::disconnect(&rejoin, &Rejoin::attempt, nullptr, nullptr);
    QObject::connect(&rejoin, &Rejoin::attempt, [&](int) { at.append(clock.elapsed()); });
    clock.restart();
    rejoin.begin();
    QTest::qWait(700);
    ASSERT_EQ(at.size(), 2);
    EXPECT_GE(at[1] - at[0], 400);

    // Ended, nothing more comes.
    rejoin.end();
    QTest::qWait(700);
    EXPECT_EQ(at.size(), 2);
    EXPECT_EQ(gaveUp.size(), 1);
}

TEST_F(RejoinTest, ARadioThatDropsIsJoinedAgainWithoutAClickWhenTheStationIsBack)
{
    ASSERT_TRUE(dropTheRadio());
    EXPECT_EQ(player.playState(), MediaPlayer::wmppsReconnecting);
    EXPECT_TRUE(player.activity().startsWith(QStringLiteral("Reconnecting\u2026 (try ")))
        << player.activity().toStdString();
    EXPECT_EQ(player.url(), radio.url());
    // The radio's name stays, dimmed under the words.
    EXPECT_FALSE(player.findChild<PlayerWords *>()->sound().isEmpty());
    EXPECT_GE(requestsOver(1000), 2) << "tries go on while the station refuses";
    EXPECT_TRUE(player.activity().contains(QRegularExpression(QStringLiteral("\\(try [2-9]"))));

    radio.refusing = false;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !player.rejoining(); }, 15000));
    EXPECT_TRUE(player.activity().isEmpty());
    EXPECT_EQ(player.playState(), MediaPlayer::wmppsPlaying);
    EXPECT_TRUE(player.failure().isEmpty());
    EXPECT_LE(requestsOver(1000), 0) << "joined: no more tries";
}

TEST_F(RejoinTest, StopAnotherAddressOrAnotherPaneEndsTheTriesAtOnce)
{
    ASSERT_TRUE(dropTheRadio());
    player.controls()->stop();
    EXPECT_FALSE(player.rejoining());
    EXPECT_TRUE(player.activity().isEmpty());
    EXPECT_EQ(player.playState(), MediaPlayer::wmppsStopped);
    EXPECT_EQ(requestsOver(800), 0);

    radio.refusing = false;
    ASSERT_TRUE(dropTheRadio());
    player.setUrl(mediaFile("wide.ts"));
    EXPECT_FALSE(player.rejoining());
    EXPECT_EQ(requestsOver(800), 0);
    EXPECT_TRUE(player.hasPicture()) << "the other address plays";

    radio.refusing = false;
    ASSERT_TRUE(dropTheRadio());
    player.announce(QStringLiteral("http://127.0.0.1:9/other"), QStringLiteral("Other"));
    EXPECT_FALSE(player.rejoining()) << "another channel clicked, still being looked up";
    EXPECT_EQ(requestsOver(800), 0);

    radio.refusing = false;
    ASSERT_TRUE(dropTheRadio());
    player.hide();
    EXPECT_FALSE(player.rejoining()) << "the video site's pane takes the area";
    EXPECT_EQ(requestsOver(800), 0);
    player.show();

    radio.refusing = false;
    ASSERT_TRUE(dropTheRadio());
    player.close();
    EXPECT_FALSE(player.rejoining());
    EXPECT_EQ(requestsOver(800), 0);
}

TEST_F(RejoinTest, AfterTheTimeIsUpTheAreaSaysTheConnectionWasLost)
{
    player.rejoin()->setSchedule(quickSchedule(1500));
    ASSERT_TRUE(dropTheRadio());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !player.failure().isEmpty(); }, 5000));
    EXPECT_TRUE(player.failure().startsWith(QStringLiteral("The connection to this channel was lost.\n")));
    EXPECT_TRUE(player.failure().endsWith(radio.url()));
    EXPECT_FALSE(player.rejoining());
    EXPECT_TRUE(player.activity().isEmpty());
    EXPECT_TRUE(player.findChild<PlayerWords *>()->sound().isEmpty());
    EXPECT_EQ(requestsOver(800), 0);
}

TEST_F(RejoinTest, TheLastPictureStaysDimmedWhileALiveVideoIsJoinedAgain)
{
    // A live transport stream without a length: the server sends three seconds and hangs up,
    // then refuses.
    QFile file(mediaFile("wide.ts"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::string ts = file.readAll().toStdString();
    std::atomic<bool> refusing{false};
    ScriptedServer live([&](testsupport::ScriptedConnection &c) {
        if (!c.readRequest())
            return;
        if (refusing) {
            c.send("HTTP/1.0 503 Service Unavailable\r\nContent-Length: 0\r\n\r\n");
            return;
        }
        refusing = true;
        c.send("HTTP/1.0 200 OK\r\nContent-Type: video/mp2t\r\n\r\n" + ts);
    });
    player.setUrl(live.url(QStringLiteral("/live.ts")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.hasPicture(); }, 15000));
    const QImage before = player.findChild<QWidget *>(QStringLiteral("video"))->grab().toImage();
    const QColor shown = before.pixelColor(before.width() / 2, before.height() / 4);
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.rejoining(); }, 15000));
    QTest::qWait(PlayerWords::kShowDelayMs + 100);
    EXPECT_TRUE(player.hasPicture());
    const QImage during = player.findChild<QWidget *>(QStringLiteral("video"))->grab().toImage();
    const QColor dimmed = during.pixelColor(during.width() / 2, during.height() / 4);
    EXPECT_GT(dimmed.value(), 10) << "still there";
    EXPECT_LT(dimmed.value(), shown.value() * 3 / 4) << "but dimmed";
    EXPECT_GT(live.connections(), 1);

    // No picture stays once the user stops.
    player.controls()->stop();
    EXPECT_FALSE(player.hasPicture());
}

TEST_F(RejoinTest, AnEntryOfAPlaylistThatDropsIsFollowedByTheNextEntry)
{
    QFile file(mediaFile("wide.ts"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    ScriptedServer next(ScriptedServer::whole(file.readAll().toStdString()));
    ScriptedServer playlist(
        ScriptedServer::whole(QStringLiteral("#EXTM3U\n#EXTINF:-1,Radio\n%1\n#EXTINF:-1,Next\n%2\n")
                                  .arg(radio.url(), next.url(QStringLiteral("/next.ts")))
                                  .toStdString()));
    player.setUrl(playlist.url(QStringLiteral("/list.m3u")));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return player.playState() == MediaPlayer::wmppsPlaying && player.activity().isEmpty(); },
        15000));
    const int requests = radio.requests;
    radio.refusing = true;
    radio.cut = true;
    bool rejoined = false;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            rejoined |= player.rejoining();
            return player.hasPicture();
        },
        15000));
    EXPECT_FALSE(rejoined);
    QTest::qWait(1000);
    // libVLC's own access asks once more as the reply ends; the player does not.
    EXPECT_LE(radio.requests, requests + 1);
    EXPECT_EQ(next.connections(), 1);
}

TEST_F(RejoinTest, NoTriesForAFileOrAnOnDemandStreamThatEndsOrAnAddressThatNeverPlayed)
{
    QTemporaryDir dir;
    const QString wav = dir.filePath(QStringLiteral("short.wav"));
    {
        QFile f(wav);
        const std::string data = testmedia::makeWav(1);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data.data(), qint64(data.size()));
    }
    const std::string wavData = testmedia::makeWav(2);
    ScriptedServer onDemand(ScriptedServer::whole(wavData));
    const int refused = testsupport::unusedLoopbackPort();
    for (const QString &address : {wav, onDemand.url(QStringLiteral("/short.wav")),
                                   QStringLiteral("http://127.0.0.1:%1/live.ts").arg(refused)}) {
        player.setUrl(address);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                const int state = player.playState();
                return state == MediaPlayer::wmppsMediaEnded || state == MediaPlayer::wmppsStopped ||
                       !player.failure().isEmpty();
            },
            15000))
            << address.toStdString();
        QTest::qWait(600);
        EXPECT_FALSE(player.rejoining()) << address.toStdString();
        EXPECT_TRUE(player.activity().isEmpty()) << address.toStdString();
    }
    EXPECT_EQ(onDemand.connections(), 1);
    EXPECT_TRUE(player.failure().startsWith(QStringLiteral("This stream or file cannot be played.")))
        << "an address that never played keeps its words";
}
