// The media player really plays: a WAV served on loopback, directly and through playlists.
#include "platform/ui/MediaPlayer.h"
#include "tests/platform_ui/MediaFiles.h"
#include "tests/support/LoopbackServer.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <gtest/gtest.h>
#include <mutex>

using namespace ui;
using testsupport::LoopbackServer;

namespace
{

using testmedia::makeWav;

// A red 4:3 picture for ten seconds; empty when it cannot be written.
QString writeVideo(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("red.y4m"));
    QFile f(path);
    const QByteArray data = testmedia::makeVideo();
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size() ? path : QString();
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

TEST_F(MediaPlayerTest, TheVideoWindowShowsOnlyWhileTheCurrentMediaHasVideo)
{
    // libVLC's window keeps its last picture: it must go whenever that picture is not the
    // current media's (audio after video, stop, a failed address, a new address).
    QTemporaryDir dir;
    const QString video = writeVideo(dir);
    ASSERT_FALSE(video.isEmpty());

    MediaPlayer player;
    player.setUiMode(QStringLiteral("mini"));
    auto *window = player.findChild<QWidget *>(QStringLiteral("video"));
    ASSERT_NE(window, nullptr);
    const auto shown = [&] { return window->isVisibleTo(&player); };
    EXPECT_FALSE(shown());
    const auto playVideo = [&] {
        player.setUrl(video);
        return QTest::qWaitFor(shown, 15000);
    };

    ASSERT_TRUE(playVideo());
    EXPECT_EQ(player.playState(), MediaPlayer::wmppsPlaying);
    player.setUrl(server.url(QStringLiteral("/tone.wav")));
    EXPECT_FALSE(shown());
    // Nothing the video reported late brings its window back while the tone plays.
    QElapsedTimer t;
    t.start();
    bool appeared = false;
    while (!(player.playState() == MediaPlayer::wmppsPlaying && player.currentPosition() >= 0.5) &&
           t.elapsed() < 15000) {
        QTest::qWait(20);
        appeared |= shown();
    }
    EXPECT_EQ(player.playState(), MediaPlayer::wmppsPlaying);
    EXPECT_FALSE(appeared);

    ASSERT_TRUE(playVideo());
    player.controls()->stop();
    EXPECT_FALSE(shown());
    QTest::qWait(300);
    EXPECT_FALSE(shown());

    ASSERT_TRUE(playVideo());
    QSignalSpy errors(&player, &MediaPlayer::MediaError);
    player.setUrl(QStringLiteral("http://127.0.0.1:%1/none.mp4").arg(testsupport::unusedLoopbackPort()));
    EXPECT_FALSE(shown());
    EXPECT_TRUE(errors.wait(15000));
    EXPECT_FALSE(shown());

    ASSERT_TRUE(playVideo());
    player.close();
    EXPECT_FALSE(shown());
}

TEST_F(MediaPlayerTest, TheVideoWindowHasThePicturesShapeWheneverItShows)
{
    // libVLC fills its whole window with the first picture; shaped like the picture, the
    // window cannot show it stretched. 64x48 is 4:3, the area is wider.
    QTemporaryDir dir;
    const QString video = writeVideo(dir);
    ASSERT_FALSE(video.isEmpty());

    MediaPlayer player;
    player.setUiMode(QStringLiteral("mini"));
    player.resize(400, 260);
    player.show();
    auto *window = player.findChild<QWidget *>(QStringLiteral("video"));
    ASSERT_NE(window, nullptr);
    // Where the window is each time it shows.
    QList<QRect> shownAt;
    struct ShowWatch : QObject {
        QList<QRect> *seen;
        bool eventFilter(QObject *o, QEvent *e) override
        {
            if (e->type() == QEvent::Show)
                seen->append(static_cast<QWidget *>(o)->geometry());
            return false;
        }
    } watch;
    watch.seen = &shownAt;
    window->installEventFilter(&watch);
    const auto hasPictureShape = [](const QRect &r) { return std::abs(r.width() * 3 - r.height() * 4) <= 4; };

    player.setUrl(video);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->isVisibleTo(&player); }, 15000));
    ASSERT_EQ(shownAt.size(), 1);
    EXPECT_TRUE(hasPictureShape(shownAt.first()))
        << shownAt.first().width() << "x" << shownAt.first().height();
    const int areaHeight = shownAt.first().height(); // the height limits a 4:3 picture here
    EXPECT_EQ(shownAt.first().top(), 0);
    EXPECT_NEAR(shownAt.first().center().x(), player.width() / 2, 1);

    // A taller player: the picture fills the width, centred in the height.
    player.resize(300, 400);
    EXPECT_TRUE(hasPictureShape(window->geometry()));
    EXPECT_EQ(window->width(), 300);
    EXPECT_GT(window->y(), 0);
    EXPECT_LT(window->geometry().bottom(), 400 - (260 - areaHeight));

    // Stop and a new start: the window shows again only in the picture's shape.
    player.controls()->stop();
    EXPECT_FALSE(window->isVisibleTo(&player));
    player.resize(400, 260);
    player.setUrl(video);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->isVisibleTo(&player); }, 15000));
    ASSERT_EQ(shownAt.size(), 2);
    EXPECT_EQ(shownAt.last(), shownAt.first());
}
