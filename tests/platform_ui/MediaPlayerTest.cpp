// The media player really plays: a WAV served on loopback, directly and through playlists.
#include "platform/ui/player/MediaPlayer.h"
#include "tests/platform_ui/MediaFiles.h"
#include "tests/support/LoopbackServer.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <functional>
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

QString testVideo(const char *name)
{
    return QStringLiteral(CD_SOURCE_DIR "/tests/platform_ui/media/") + QLatin1String(name);
}

// The player on screen with its small control bar.
void showWithBar(MediaPlayer &player, int width, int height)
{
    player.setUiMode(QStringLiteral("mini"));
    player.resize(width, height);
    player.show();
}

QSize videoArea(MediaPlayer &player)
{
    return player.findChild<QWidget *>(QStringLiteral("video"))->size();
}

QImage videoShot(MediaPlayer &player)
{
    return player.findChild<QWidget *>(QStringLiteral("video"))->grab().toImage();
}

// Where the video area shows a picture, as the player draws it: the bounds of what is not
// black, or with `coloured` of what is neither black nor grey (the player's words are white
// and grey). Empty when there is none.
QRect picturePlace(const QImage &shot, bool coloured = false)
{
    QRect lit;
    for (int y = 0; y < shot.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(shot.constScanLine(y));
        for (int x = 0; x < shot.width(); ++x) {
            const int most = std::max({qRed(line[x]), qGreen(line[x]), qBlue(line[x])});
            const int least = std::min({qRed(line[x]), qGreen(line[x]), qBlue(line[x])});
            if (coloured ? most - least > 60 : most > 40)
                lit |= QRect(x, y, 1, 1);
        }
    }
    return lit;
}

QRect picturePlace(MediaPlayer &player, bool coloured = false)
{
    return picturePlace(videoShot(player), coloured);
}

// A picture of that width-to-height ratio, as large as the area allows, centred.
bool hasShape(const QRect &place, double aspect, const QSize &area)
{
    if (place.isEmpty())
        return false;
    const bool shape = std::abs(double(place.width()) / place.height() - aspect) < aspect * 0.04;
    const bool fills =
        std::abs(place.width() - area.width()) <= 2 || std::abs(place.height() - area.height()) <= 2;
    const bool centred = std::abs(place.center().x() - area.width() / 2) <= 2 &&
                         std::abs(place.center().y() - area.height() / 2) <= 2;
    return shape && fills && centred;
}

// Calls look as often as the window's thread lets, until it answers true or 15 s have passed.
bool watch(const std::function<bool()> &look)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 15000) {
        if (look())
            return true;
        QTest::qWait(2);
    }
    return false;
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
        server.server().Get("/short.wav", [](const httplib::Request &, httplib::Response &res) {
            static const std::string shortWav = makeWav(1);
            res.set_content(shortWav.data(), shortWav.size(), "audio/wav");
        });
        // What a parked domain or a portal answers: a page with nothing to play in it.
        server.server().Get("/portal.html", [](const httplib::Request &, httplib::Response &res) {
            res.set_content("<html><head><title>Welcome</title></head><body><h1>Welcome to our portal</h1>"
                            "<p>This domain is parked. Come back soon.</p></body></html>",
                            "text/html");
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

    // The red 4:3 video, written once a test; empty when it cannot be written.
    QString redVideo()
    {
        if (m_red.isEmpty())
            m_red = writeVideo(m_scratch);
        return m_red;
    }

    LoopbackServer server;
    std::atomic<int> toneRequests{0};
    std::mutex agentsMutex;
    QStringList agents; // user agents of the requests for the tone

private:
    QTemporaryDir m_scratch;
    QString m_red;
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

TEST_F(MediaPlayerTest, TheVideoAreaShowsAPictureOnlyWhileTheCurrentMediaHasOne)
{
    // Whatever libVLC last rendered must go whenever it is not the current media's: audio
    // after video, stop, a failed address, close.
    const QString video = redVideo();
    ASSERT_FALSE(video.isEmpty());

    MediaPlayer player;
    showWithBar(player, 320, 260);
    // The red picture; the player's words and titles are white and grey.
    const auto lit = [&] {
        const QImage shot = videoShot(player);
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x) {
                const QColor c = shot.pixelColor(x, y);
                if (c.red() > 120 && c.red() > 2 * std::max(c.green(), c.blue()))
                    return true;
            }
        }
        return false;
    };
    EXPECT_FALSE(lit());
    const auto playVideo = [&] {
        player.setUrl(video);
        return QTest::qWaitFor(lit, 15000) && player.hasPicture();
    };

    ASSERT_TRUE(playVideo());
    player.setUrl(server.url(QStringLiteral("/tone.wav")));
    EXPECT_FALSE(lit());
    // Nothing the video rendered late brings a picture back while the tone plays.
    QElapsedTimer t;
    t.start();
    bool appeared = false;
    while (!(player.playState() == MediaPlayer::wmppsPlaying && player.currentPosition() >= 0.5) &&
           t.elapsed() < 15000) {
        QTest::qWait(20);
        appeared |= lit() || player.hasPicture();
    }
    EXPECT_EQ(player.playState(), MediaPlayer::wmppsPlaying);
    EXPECT_FALSE(appeared);

    ASSERT_TRUE(playVideo());
    player.controls()->pause();
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.playState() == MediaPlayer::wmppsPaused; }, 5000));
    QTest::qWait(300);
    EXPECT_TRUE(lit()) << "a paused picture stays";
    player.controls()->stop();
    EXPECT_FALSE(lit());
    QTest::qWait(300);
    EXPECT_FALSE(lit());

    ASSERT_TRUE(playVideo());
    QSignalSpy errors(&player, &MediaPlayer::MediaError);
    player.setUrl(QStringLiteral("http://127.0.0.1:%1/none.mp4").arg(testsupport::unusedLoopbackPort()));
    EXPECT_FALSE(lit());
    EXPECT_TRUE(errors.wait(15000));
    EXPECT_FALSE(player.hasPicture()) << "only the words that it failed";

    ASSERT_TRUE(playVideo());
    player.close();
    EXPECT_FALSE(lit());
    EXPECT_FALSE(player.hasPicture());
}

TEST_F(MediaPlayerTest, EveryPictureShowsInItsOwnShapeFromTheFirstOn)
{
    // Each after a video of another shape. The transport streams tell their picture size and
    // pixel shape only through the decoder; the MP4 is stored wide and turned upright.
    const QString red = redVideo(); // 64x48
    ASSERT_FALSE(red.isEmpty());
    struct Case {
        QString path;
        double aspect;
    };
    const QList<Case> cases = {
        {testVideo("rotated.mp4"), 9.0 / 16.0},   {testVideo("wide.ts"), 16.0 / 9.0},
        {testVideo("anamorphic.ts"), 16.0 / 9.0}, {red, 4.0 / 3.0},
        {testVideo("rotated.mp4"), 9.0 / 16.0},
    };

    MediaPlayer player;
    showWithBar(player, 400, 300);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        player.setUrl(c.path);
        // No state the window's thread passes through shows another shape.
        QRect place;
        int wrong = 0;
        QString seen;
        watch([&] {
            // Plain colours: a start slow enough to say that it opens shows no wrong picture.
            place = picturePlace(player, true);
            if (hasShape(place, c.aspect, videoArea(player)))
                return true;
            if (!place.isEmpty() && ++wrong == 1)
                seen = QStringLiteral("%1x%2").arg(place.width()).arg(place.height());
            return false;
        });
        EXPECT_TRUE(hasShape(place, c.aspect, videoArea(player)))
            << place.width() << "x" << place.height() << " in " << videoArea(player).width() << "x"
            << videoArea(player).height();
        EXPECT_EQ(wrong, 0) << "first wrong picture " << seen.toStdString();
    }

    // The picture follows the area, as large as fits.
    player.resize(300, 500);
    QTest::qWait(100);
    const QRect tall = picturePlace(player);
    EXPECT_TRUE(hasShape(tall, 9.0 / 16.0, videoArea(player))) << tall.width() << "x" << tall.height();
}

TEST_F(MediaPlayerTest, AChangeOfPictureSizeWithinAStreamKeepsEachPartInItsShapeWithoutAGap)
{
    // A channel going from a 16:9 programme (green) to a 4:3 one (red): the decoder opens a
    // new output. Neither black nor the old shape may show while the new pictures come.
    MediaPlayer player;
    showWithBar(player, 400, 300);
    const QSize area = videoArea(player);
    const auto part = [&](const QRect &place) {
        const QColor c = player.findChild<QWidget *>(QStringLiteral("video"))
                             ->grab()
                             .toImage()
                             .pixelColor(area.width() / 2, area.height() / 2);
        return place.isEmpty() ? 0 : c.green() > c.red() ? 1 : 2;
    };
    player.setUrl(testVideo("change.ts"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return part(picturePlace(player)) == 1; }, 15000));
    int black = 0;
    int wrong = 0;
    QRect place;
    watch([&] {
        place = picturePlace(player);
        const int seen = part(place);
        black += seen == 0 ? 1 : 0;
        wrong += seen && !hasShape(place, seen == 1 ? 16.0 / 9.0 : 4.0 / 3.0, area) ? 1 : 0;
        return seen == 2 && hasShape(place, 4.0 / 3.0, area);
    });
    EXPECT_TRUE(hasShape(place, 4.0 / 3.0, area)) << place.width() << "x" << place.height();
    EXPECT_EQ(black, 0) << "looks at a black area while the stream changed size";
    EXPECT_EQ(wrong, 0) << "looks at a picture in the other part's shape";
}

namespace
{

// How the stripes clip shows: the mean step between neighbouring columns over its stripes,
// and where its red band starts, as a share of the picture's height from its top.
struct StripesLook {
    QRect place;
    double contrast = 0.0;
    double bandTop = 0.0;
    bool greyAbove = false;
};

StripesLook lookAtStripes(MediaPlayer &player)
{
    const QImage shot = videoShot(player);
    StripesLook look;
    look.place = picturePlace(shot);
    const QRect &p = look.place;
    if (p.height() < 8 || p.width() < 8)
        return look;
    double steps = 0.0;
    int count = 0;
    for (int y = p.top() + p.height() / 4; y < p.top() + p.height() / 2; ++y) {
        for (int x = p.left(); x < p.right(); ++x) {
            steps += std::abs(qGray(shot.pixel(x + 1, y)) - qGray(shot.pixel(x, y)));
            ++count;
        }
    }
    look.contrast = steps / count;
    const auto red = [](QRgb c) { return qRed(c) > 150 && qGreen(c) < 90 && qBlue(c) < 90; };
    int y = p.top();
    while (y <= p.bottom() && !red(shot.pixel(p.center().x(), y)))
        ++y;
    look.bandTop = double(y - p.top()) / p.height();
    const QRgb above = shot.pixel(p.center().x(), p.top() + p.height() / 3);
    look.greyAbove = std::abs(qRed(above) - qBlue(above)) < 40 && std::abs(qRed(above) - qGreen(above)) < 40;
    return look;
}

} // namespace

TEST_F(MediaPlayerTest, APictureLargerThanTheAreaAndAnAreaThatGrowsDuringThePlayAreBothDrawnSharp)
{
    // 640x360 stripes two pixels wide: drawn smaller, whole and in place; once the area has
    // room for every pixel, every stripe shows. The MP4 tells its size before the first
    // picture, the transport stream only after it.
    for (const char *clip : {"stripes.mp4", "stripes.ts"}) {
        SCOPED_TRACE(clip);
        MediaPlayer player;
        player.setUiMode(QStringLiteral("none"));
        player.resize(240, 200);
        player.show();
        player.setUrl(testVideo(clip));
        StripesLook look;
        watch([&] {
            look = lookAtStripes(player);
            return hasShape(look.place, 16.0 / 9.0, videoArea(player));
        });
        EXPECT_TRUE(hasShape(look.place, 16.0 / 9.0, videoArea(player)))
            << look.place.width() << "x" << look.place.height();
        EXPECT_NEAR(look.bandTop, 0.75, 0.03);
        EXPECT_TRUE(look.greyAbove) << "the colour planes are read where they are";

        player.resize(640, 400);
        watch([&] {
            look = lookAtStripes(player);
            return look.place.size() == QSize(640, 360) && look.contrast > 60;
        });
        EXPECT_EQ(look.place.size(), QSize(640, 360));
        EXPECT_GT(look.contrast, 60) << "stripes drawn from a picture the size of the smaller area";
        EXPECT_NEAR(look.bandTop, 0.75, 0.02);
    }
}

TEST_F(MediaPlayerTest, APausedPictureStaysWithoutBeingConvertedOrDrawnAgain)
{
    MediaPlayer player;
    showWithBar(player, 400, 300);
    auto *frames = player.findChild<VideoFrames *>();
    ASSERT_NE(frames, nullptr);
    QWidget *video = player.findChild<QWidget *>(QStringLiteral("video"));
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            paints += event->type() == QEvent::Paint ? 1 : 0;
            return false;
        }
    } counter;
    video->installEventFilter(&counter);

    player.setUrl(testVideo("stripes.mp4"));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return player.hasPicture() && player.currentPosition() > 0.3; }, 15000));
    player.controls()->pause();
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.playState() == MediaPlayer::wmppsPaused; }, 5000));
    QTest::qWait(300); // pictures decoded before the pause took hold
    const QImage before = videoShot(player);
    QSignalSpy arrived(frames, &VideoFrames::pictureArrived);
    const int delivered = frames->delivered();
    counter.paints = 0;
    QTest::qWait(1000);
    EXPECT_GT(frames->delivered(), delivered) << "libVLC hands the paused picture over again";
    EXPECT_EQ(arrived.count(), 0);
    EXPECT_EQ(counter.paints, 0);
    EXPECT_TRUE(player.hasPicture());
    EXPECT_EQ(videoShot(player), before);

    player.controls()->play();
    EXPECT_TRUE(arrived.wait(5000)) << "moving pictures come again";
}

TEST_F(MediaPlayerTest, AChangeOfPixelShapeAloneWithinAStreamReshapesThePicture)
{
    // Same stored size, so the output stays open: green 16:9, then red 4:3.
    MediaPlayer player;
    showWithBar(player, 400, 300);
    const QSize area = videoArea(player);
    player.setUrl(testVideo("sar-change.ts"));
    const auto colourIs = [&](bool red) {
        const QColor c = videoShot(player).pixelColor(area.width() / 2, area.height() / 2);
        return red ? c.red() > 150 && c.green() < 120 : c.green() > 150 && c.red() < 120;
    };
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return colourIs(false) && hasShape(picturePlace(player), 16.0 / 9.0, area); }, 15000));
    QRect place;
    watch([&] {
        place = picturePlace(player);
        return colourIs(true) && hasShape(place, 4.0 / 3.0, area);
    });
    EXPECT_TRUE(hasShape(place, 4.0 / 3.0, area)) << place.width() << "x" << place.height();
}

TEST_F(MediaPlayerTest, AnAddressWithNothingToPlayIsSaidInTheAreaUntilSomethingElseTakesIt)
{
    const QString video = redVideo();
    ASSERT_FALSE(video.isEmpty());
    MediaPlayer player;
    showWithBar(player, 400, 300);
    QSignalSpy errors(&player, &MediaPlayer::MediaError);
    const auto failsVisibly = [&](const QString &address) {
        errors.clear();
        player.setUrl(address);
        const bool said = QTest::qWaitFor([&] { return !player.failure().isEmpty(); }, 15000);
        return said && !picturePlace(player).isEmpty() && !player.hasPicture() && errors.count() == 1 &&
               player.failure().contains(QStringLiteral("cannot be played"));
    };
    const QString portal = server.url(QStringLiteral("/portal.html"));
    const QString refused =
        QStringLiteral("http://127.0.0.1:%1/live.ts").arg(testsupport::unusedLoopbackPort());

    // A page that plays as nothing, then a port that refuses: each said, and each goes the
    // moment something else plays, the player stops or another pane takes its place.
    EXPECT_TRUE(failsVisibly(portal));
    player.setUrl(video);
    EXPECT_TRUE(player.failure().isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return player.hasPicture(); }, 15000));
    EXPECT_TRUE(failsVisibly(refused));
    player.controls()->stop();
    EXPECT_TRUE(player.failure().isEmpty());
    EXPECT_TRUE(picturePlace(player).isEmpty());
    EXPECT_TRUE(failsVisibly(portal));
    player.hide();
    player.show();
    EXPECT_TRUE(player.failure().isEmpty());

    // What plays to its end, or a playlist whose entry follows, is no failure.
    for (const QString &fine :
         {server.url(QStringLiteral("/short.wav")), server.url(QStringLiteral("/list.pls"))}) {
        SCOPED_TRACE(fine.toStdString());
        errors.clear();
        QSignalSpy states(&player, &MediaPlayer::PlayStateChange);
        player.setUrl(fine);
        const auto reached = [&](int state) {
            return std::any_of(states.cbegin(), states.cend(),
                               [&](const QList<QVariant> &s) { return s.at(0) == state; });
        };
        EXPECT_TRUE(QTest::qWaitFor([&] { return reached(MediaPlayer::wmppsPlaying); }, 15000));
        if (fine.endsWith(QLatin1String(".wav"))) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return reached(MediaPlayer::wmppsMediaEnded); }, 15000));
        }
        QTest::qWait(600);
        EXPECT_TRUE(player.failure().isEmpty());
        EXPECT_EQ(errors.count(), 0);
    }
}
