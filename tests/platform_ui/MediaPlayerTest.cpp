// The media player really plays: a WAV served on loopback, directly and through playlists.
#include "platform/ui/MediaPlayer.h"
#include "tests/support/LoopbackServer.h"

#include <QFile>
#include <QPaintEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <atomic>
#include <cmath>
#include <gtest/gtest.h>
#include <mutex>

using namespace ui;
using testsupport::LoopbackServer;

namespace
{

// A mono 16-bit PCM tone.
std::string makeWav(int seconds, int rate = 8000)
{
    const int samples = seconds * rate;
    std::string data(44 + samples * 2, '\0');
    auto put32 = [&](int at, quint32 v) { qToLittleEndian<quint32>(v, data.data() + at); };
    auto put16 = [&](int at, quint16 v) { qToLittleEndian<quint16>(v, data.data() + at); };
    memcpy(data.data(), "RIFF", 4);
    put32(4, quint32(36 + samples * 2));
    memcpy(data.data() + 8, "WAVEfmt ", 8);
    put32(16, 16);
    put16(20, 1); // PCM
    put16(22, 1); // mono
    put32(24, quint32(rate));
    put32(28, quint32(rate * 2));
    put16(32, 2);
    put16(34, 16);
    memcpy(data.data() + 36, "data", 4);
    put32(40, quint32(samples * 2));
    for (int i = 0; i < samples; ++i)
        put16(44 + i * 2, quint16(qint16(8000 * std::sin(2 * M_PI * 440.0 * i / rate))));
    return data;
}

class MediaPlayerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        static const std::string wav = makeWav(20);
        server.server().Get("/tone.wav", [this](const httplib::Request &req, httplib::Response &res) {
            ++toneRequests;
            const std::lock_guard<std::mutex> lock(agentsMutex);
            agents.append(QString::fromStdString(req.get_header_value("User-Agent")));
            res.set_content(wav.data(), wav.size(), "audio/wav");
        });
        server.server().Get("/list.asx", [this](const httplib::Request &, httplib::Response &res) {
            res.set_content(body("<asx version=\"3.0\">\r\n<entry><ref href=\"%1\"/></entry>\r\n</asx>\r\n"),
                            "video/x-ms-asf");
        });
        server.server().Get("/ref.asx", [this](const httplib::Request &, httplib::Response &res) {
            res.set_content(body("[Reference]\r\nRef1=%1\r\n"), "video/x-ms-asf");
        });
        server.server().Get("/list.pls", [this](const httplib::Request &, httplib::Response &res) {
            res.set_content(
                body("[playlist]\nNumberOfEntries=1\nFile1=%1\nTitle1=Tone\nLength1=-1\nVersion=2\n"),
                "audio/x-scpls");
        });
        server.start();
    }

    std::string body(const char *pattern) const
    {
        return QString::fromLatin1(pattern).arg(server.url(QStringLiteral("/tone.wav"))).toStdString();
    }

    // Waits until the player plays and its clock has moved on.
    bool playsFor(MediaPlayer &player, double seconds, int timeoutMs = 15000)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < timeoutMs) {
            QTest::qWait(50);
            if (player.playState() == MediaPlayer::wmppsPlaying && player.currentPosition() >= seconds)
                return true;
        }
        return false;
    }

    LoopbackServer server;
    std::atomic<int> toneRequests{0};
    std::mutex agentsMutex;
    QStringList agents; // user agents of the requests for the tone
};

} // namespace

TEST_F(MediaPlayerTest, SettingTheUrlPlaysAStreamAndTimeAdvances)
{
    MediaPlayer player;
    player.setUiMode(QStringLiteral("mini"));
    QSignalSpy states(&player, &MediaPlayer::PlayStateChange);
    player.setProperty("URL", server.url(QStringLiteral("/tone.wav")));
    EXPECT_EQ(player.url(), server.url(QStringLiteral("/tone.wav")));
    ASSERT_TRUE(playsFor(player, 0.5)) << "state " << player.playState();
    const double first = player.currentPosition();
    QTest::qWait(400);
    EXPECT_GT(player.currentPosition(), first);
    bool sawPlaying = false;
    for (const QList<QVariant> &s : states)
        sawPlaying |= s.at(0).toInt() == MediaPlayer::wmppsPlaying;
    EXPECT_TRUE(sawPlaying);

    player.controls()->stop();
    EXPECT_EQ(player.playState(), MediaPlayer::wmppsStopped);
    QTest::qWait(300);
    EXPECT_NE(player.playState(), MediaPlayer::wmppsPlaying);
    EXPECT_EQ(player.url(), server.url(QStringLiteral("/tone.wav"))); // stop keeps the address

    player.close();
    EXPECT_EQ(player.url(), QString());
    EXPECT_EQ(player.playState(), MediaPlayer::wmppsUndefined);
}

TEST_F(MediaPlayerTest, AnAsxPlaylistPlaysItsEntry)
{
    MediaPlayer player;
    player.setUrl(server.url(QStringLiteral("/list.asx")));
    ASSERT_TRUE(playsFor(player, 0.3));
    EXPECT_EQ(player.currentMrl(), server.url(QStringLiteral("/tone.wav")));
    EXPECT_GE(toneRequests.load(), 1);
}

TEST_F(MediaPlayerTest, APlsPlaylistPlaysItsEntry)
{
    MediaPlayer player;
    player.setUrl(server.url(QStringLiteral("/list.pls")));
    ASSERT_TRUE(playsFor(player, 0.3));
    EXPECT_EQ(player.currentMrl(), server.url(QStringLiteral("/tone.wav")));
}

TEST_F(MediaPlayerTest, AReferenceFileFallsBackFromMmsToHttp)
{
    MediaPlayer player;
    player.setUrl(server.url(QStringLiteral("/ref.asx")));
    ASSERT_TRUE(playsFor(player, 0.3));
    EXPECT_EQ(player.currentMrl(), server.url(QStringLiteral("/tone.wav")));
    const std::lock_guard<std::mutex> lock(agentsMutex);
    // First the MMS request that a plain web server cannot answer, then plain HTTP.
    ASSERT_GE(agents.size(), 2);
    EXPECT_TRUE(agents.first().startsWith(QStringLiteral("NSPlayer")));
    EXPECT_FALSE(agents.last().startsWith(QStringLiteral("NSPlayer")));
}

TEST_F(MediaPlayerTest, ALocalPathPlaysAndANewAddressReplacesTheOld)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("My Tone.wav"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const std::string wav = makeWav(20);
    f.write(wav.data(), qint64(wav.size()));
    f.close();

    MediaPlayer player;
    player.setUrl(server.url(QStringLiteral("/tone.wav")));
    ASSERT_TRUE(playsFor(player, 0.2));
    // A path joined with a backslash, as the file browser joins it, still names the file.
    player.setUrl(dir.path() + QStringLiteral("\\My Tone.wav"));
    ASSERT_TRUE(playsFor(player, 0.3));
    EXPECT_TRUE(player.currentMrl().startsWith(QStringLiteral("file://")));
    EXPECT_TRUE(player.currentMrl().endsWith(QStringLiteral("My%20Tone.wav")));
}

TEST_F(MediaPlayerTest, AnAddressThatCannotBePlayedReportsAnError)
{
    MediaPlayer player;
    QSignalSpy errors(&player, &MediaPlayer::MediaError);
    player.setUrl(QStringLiteral("http://127.0.0.1:%1/none.wav").arg(testsupport::unusedLoopbackPort()));
    EXPECT_TRUE(errors.wait(15000));
    EXPECT_NE(player.playState(), MediaPlayer::wmppsPlaying);
}

TEST_F(MediaPlayerTest, AnUncoveredPartOfAnIdlePlayerRepaintsTheWholeVideoArea)
{
    // Whatever libVLC left in the window when its output closed must go as a whole, or
    // the part a closing box uncovers shows as a hole in the last frame.
    MediaPlayer player;
    player.resize(320, 240);
    player.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&player));
    auto *video = player.findChild<QWidget *>(QStringLiteral("video"));
    ASSERT_NE(video, nullptr);

    struct PaintLog : QObject {
        QList<QRect> rects;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                rects.append(static_cast<QPaintEvent *>(event)->rect());
            return false;
        }
    } log;
    video->installEventFilter(&log);
    video->repaint(QRect(40, 30, 100, 60));
    QTest::qWait(50);
    ASSERT_FALSE(log.rects.isEmpty());
    EXPECT_EQ(log.rects.first(), QRect(40, 30, 100, 60));
    EXPECT_TRUE(log.rects.contains(video->rect()));
}
