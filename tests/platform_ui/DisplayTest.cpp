// Under a real X display the player paints its pictures and the browser paints its page. The suite runs
// offscreen, so the display cases run in a child process of this executable on the xcb platform.
#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"
#include "platform/ui/WebBrowser.h"
#include "platform/ui/player/MediaPlayer.h"
#include "tests/platform_ui/MediaFiles.h"

#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

using namespace ui;

namespace
{

bool onX()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

QColor centrePixel(QWidget *w)
{
    const QImage shot = w->screen()->grabWindow(w->winId()).toImage();
    return shot.isNull() ? QColor() : QColor(shot.pixel(shot.width() / 2, shot.height() / 2));
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &data)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
        return QString();
    return path;
}

bool isRed(const QColor &c)
{
    return c.red() > 150 && c.green() < 100 && c.blue() < 100;
}

// What the screen shows over the player's whole video area (bars included), whatever window is
// on top.
class VideoArea
{
public:
    explicit VideoArea(MediaPlayer &player) : m_player(player) {}

    QRect rect() const
    {
        const QWidget *video = m_player.findChild<QWidget *>(QStringLiteral("video"));
        return QRect(m_player.mapToGlobal(video->geometry().topLeft()), video->size());
    }
    QImage grab() const
    {
        const QRect r = rect();
        return m_player.screen()->grabWindow(0, r.x(), r.y(), r.width(), r.height()).toImage();
    }
    // Points of the area, every 8 pixels, that are not black (with `red`, that are red).
    int litPoints(bool red = false) const
    {
        const QImage shot = grab();
        int lit = 0;
        for (int y = 0; y < shot.height(); y += 8) {
            for (int x = 0; x < shot.width(); x += 8)
                lit += (red ? isRed(shot.pixelColor(x, y)) : qGray(shot.pixel(x, y)) > 24) ? 1 : 0;
        }
        return shot.isNull() ? -1 : lit;
    }
    bool showsRed(int timeoutMs = 10000) const
    {
        return QTest::qWaitFor(
            [this] { return isRed(grab().pixelColor(rect().width() / 2, rect().height() / 2)); }, timeoutMs);
    }

private:
    MediaPlayer &m_player;
};

// A plain window over part of the player, as an About box or a menu lies over it.
void coverAndUncover(const QRect &area, const std::function<void(const QRect &)> &whileCovered = {})
{
    QWidget cover(nullptr, Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint | Qt::Tool);
    cover.setPalette(QPalette(Qt::white));
    cover.setAutoFillBackground(true);
    const QRect place(area.center() - QPoint(area.width() / 4, area.height() / 4), area.size() / 2);
    cover.setGeometry(place);
    cover.show();
    if (!QTest::qWaitForWindowExposed(&cover))
        ADD_FAILURE() << "the cover did not show";
    QTest::qWait(300);
    if (whileCovered)
        whileCovered(place);
    cover.close();
    QTest::qWait(500);
}

} // namespace

TEST(DisplayTest, VideoAndPagesPaintOnAnXDisplay)
{
    if (onX())
        GTEST_SKIP() << "this is the child process";
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "no X display (run under xvfb-run)";
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.remove(QStringLiteral("CHANNELDECK_HEADLESS_MEDIA"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=OnDisplay*")});
    ASSERT_TRUE(child.waitForFinished(240000));
    const QString output = QString::fromLocal8Bit(child.readAll());
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 5 tests"))) << output.toStdString();
}

TEST(OnDisplay, ThePlayerPaintsVideoIntoItsWindow)
{
    if (!onX())
        GTEST_SKIP() << "needs the xcb platform";
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("red.y4m"), testmedia::makeVideo());
    ASSERT_FALSE(path.isEmpty());

    MediaPlayer player;
    player.setUiMode(QStringLiteral("mini"));
    player.resize(320, 260);
    player.show();
    QTest::qWait(200);
    const QColor before = centrePixel(&player);
    player.setUrl(path);
    QColor seen;
    for (int i = 0; i < 100; ++i) {
        QTest::qWait(100);
        if (player.playState() != MediaPlayer::wmppsPlaying)
            continue;
        seen = centrePixel(&player);
        if (seen.red() > 150 && seen.green() < 100 && seen.blue() < 100)
            break;
    }
    EXPECT_EQ(player.playState(), MediaPlayer::wmppsPlaying);
    EXPECT_GT(seen.red(), 150) << "before " << before.name().toStdString() << ", seen "
                               << seen.name().toStdString();
    EXPECT_LT(seen.green(), 100);
    EXPECT_LT(before.red(), 50); // black before the video started
    player.controls()->stop();
}

TEST(OnDisplay, TheVideoAreaIsBlackWheneverNoPictureOfTheCurrentMediaShows)
{
    if (!onX())
        GTEST_SKIP() << "needs the xcb platform";
    QTemporaryDir dir;
    const QString video = writeFile(dir, QStringLiteral("red.y4m"), testmedia::makeVideo(20));
    const std::string wav = testmedia::makeWav(20);
    const QString audio =
        writeFile(dir, QStringLiteral("tone.wav"), QByteArray(wav.data(), qsizetype(wav.size())));
    ASSERT_FALSE(video.isEmpty());
    ASSERT_FALSE(audio.isEmpty());

    MediaPlayer player;
    player.setUiMode(QStringLiteral("mini"));
    player.resize(320, 260);
    player.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&player));
    QTest::qWait(200);
    const VideoArea area(player);
    EXPECT_EQ(area.litPoints(), 0) << "before anything played";

    // Sound after a picture: the picture goes.
    player.setUrl(video);
    ASSERT_TRUE(area.showsRed());
    player.setUrl(audio);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return player.playState() == MediaPlayer::wmppsPlaying && player.currentPosition() >= 0.5; },
        15000));
    // Only the sound's titles show.
    EXPECT_EQ(area.litPoints(true), 0) << "while a sound plays after a picture";

    player.setUrl(video);
    ASSERT_TRUE(area.showsRed());
    player.controls()->stop();
    QTest::qWait(500);
    EXPECT_EQ(area.litPoints(), 0) << "after Stop";

    player.setUrl(video);
    ASSERT_TRUE(area.showsRed());
    QSignalSpy errors(&player, &MediaPlayer::MediaError);
    player.setUrl(dir.filePath(QStringLiteral("missing.mp4")));
    EXPECT_TRUE(errors.wait(15000));
    QTest::qWait(300);
    const QImage failed = area.grab();
    EXPECT_FALSE(isRed(failed.pixelColor(failed.width() / 2, failed.height() / 2)))
        << "after an address that failed";
    EXPECT_GT(area.litPoints(), 0) << "the words that it failed";
    player.controls()->stop();
    QTest::qWait(300);
    EXPECT_EQ(area.litPoints(), 0) << "the words go with Stop";

    // A window over the idle player leaves no mark when it goes.
    coverAndUncover(area.rect(), [&](const QRect &place) {
        const QImage shot = area.grab();
        const QPoint inside = place.center() - area.rect().topLeft();
        EXPECT_EQ(shot.pixelColor(inside), QColor(Qt::white)) << "the cover was not over the player";
    });
    EXPECT_EQ(area.litPoints(), 0) << "after a window covered part of the idle player";
}

TEST(OnDisplay, APictureOverTheVideoLeavesNoMarkOnceHidden)
{
    // As the main window holds its offline picture: an image placed after the player on the
    // same window.
    if (!onX())
        GTEST_SKIP() << "needs the xcb platform";
    QTemporaryDir dir;
    const QString video = writeFile(dir, QStringLiteral("red.y4m"), testmedia::makeVideo(20));
    QImage green(160, 100, QImage::Format_RGB32);
    green.fill(Qt::green);
    const QString picture = dir.filePath(QStringLiteral("green.png"));
    ASSERT_FALSE(video.isEmpty());
    ASSERT_TRUE(green.save(picture));

    Form form(QStringLiteral("Form1"));
    auto *player = form.addControl<MediaPlayer>(QStringLiteral("player"), nullptr, 0, 0, 4800, 3900);
    player->setUiMode(QStringLiteral("mini"));
    auto *image = form.addControl<Image>(QStringLiteral("image"), nullptr, 1200, 900, 2400, 1500);
    image->setPicture(picture);
    image->setStretch(true);
    image->setVisible(false);
    form.resize(360, 300);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const VideoArea area(*player);
    const auto showsGreen = [&] {
        const QColor c = area.grab().pixelColor(area.rect().width() / 2, area.rect().height() / 2);
        return c.green() > 150 && c.red() < 100 && c.blue() < 100;
    };
    const auto showAndHide = [&] {
        image->setVisible(true);
        EXPECT_TRUE(QTest::qWaitFor(showsGreen, 5000)) << "the picture did not show";
        image->setVisible(false);
        QTest::qWait(300);
    };

    // Over the idle player.
    showAndHide();
    EXPECT_EQ(area.litPoints(), 0) << "the idle player after the picture went";

    // Over a video that goes on, then stops.
    player->setUrl(video);
    ASSERT_TRUE(area.showsRed());
    showAndHide();
    EXPECT_TRUE(area.showsRed(2000)) << "the video after the picture went";
    player->controls()->stop();
    QTest::qWait(500);
    EXPECT_EQ(area.litPoints(), 0) << "after Stop";
    coverAndUncover(area.rect());
    EXPECT_EQ(area.litPoints(), 0) << "after a window covered the stopped player";
}

TEST(OnDisplay, APausedPictureStaysOnScreenWholeAfterAWindowCoveredPart)
{
    if (!onX())
        GTEST_SKIP() << "needs the xcb platform";
    QTemporaryDir dir;
    const QString video = writeFile(dir, QStringLiteral("red.y4m"), testmedia::makeVideo(20));
    ASSERT_FALSE(video.isEmpty());

    MediaPlayer player;
    player.setUiMode(QStringLiteral("mini"));
    player.resize(320, 260);
    player.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&player));
    const VideoArea area(player);
    player.setUrl(video);
    ASSERT_TRUE(area.showsRed());
    player.controls()->pause();
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.playState() == MediaPlayer::wmppsPaused; }, 5000));

    coverAndUncover(area.rect());
    // The picture fills the middle of the area (the sides may be bars): all of it red again.
    const QImage shot = area.grab();
    int notRed = 0;
    for (int y = shot.height() / 4; y < shot.height() * 3 / 4; y += 6) {
        for (int x = shot.width() / 3; x < shot.width() * 2 / 3; x += 6)
            notRed += isRed(shot.pixelColor(x, y)) ? 0 : 1;
    }
    EXPECT_EQ(notRed, 0);
    player.controls()->stop();
}

TEST(OnDisplay, TheBrowserPaintsALocalPage)
{
    if (!onX())
        GTEST_SKIP() << "needs the xcb platform";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.html"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<html><body style=\"margin:0;background:#00c000\"></body></html>");
    f.close();

    WebBrowser browser;
    browser.resize(300, 200);
    browser.show();
    QSignalSpy done(&browser, &WebBrowser::DocumentComplete);
    browser.Navigate2(path);
    ASSERT_TRUE(done.wait(30000));
    // The first frame arrives some time after the load has finished.
    QColor seen;
    for (int i = 0; i < 100; ++i) {
        QTest::qWait(100);
        seen = browser.grab().toImage().pixelColor(150, 100);
        if (seen.green() > 150 && seen.red() < 60)
            break;
    }
    EXPECT_GT(seen.green(), 150) << seen.name().toStdString();
    EXPECT_LT(seen.red(), 60);
}
