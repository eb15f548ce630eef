// Under a real X display the player paints video into its native window and the browser
// paints its page. The suite runs offscreen, so the display cases run in a child process
// of this executable on the xcb platform.
#include "platform/ui/MediaPlayer.h"
#include "platform/ui/WebBrowser.h"

#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace ui;

namespace
{

bool onX()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

// Ten seconds of a plain red picture as raw YUV 4:2:0 frames.
QByteArray redVideo(int width = 64, int height = 48, int frames = 250)
{
    QByteArray data =
        QStringLiteral("YUV4MPEG2 W%1 H%2 F25:1 Ip A1:1 C420jpeg\n").arg(width).arg(height).toLatin1();
    const QByteArray frame = "FRAME\n" + QByteArray(width * height, char(76)) +
                             QByteArray(width * height / 4, char(85)) +
                             QByteArray(width * height / 4, char(255));
    for (int i = 0; i < frames; ++i)
        data += frame;
    return data;
}

QColor centrePixel(QWidget *w)
{
    const QImage shot = w->screen()->grabWindow(w->winId()).toImage();
    return shot.isNull() ? QColor() : QColor(shot.pixel(shot.width() / 2, shot.height() / 2));
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
    ASSERT_TRUE(child.waitForFinished(110000));
    const QString output = QString::fromLocal8Bit(child.readAll());
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 2 tests"))) << output.toStdString();
}

TEST(OnDisplay, ThePlayerPaintsVideoIntoItsWindow)
{
    if (!onX())
        GTEST_SKIP() << "needs the xcb platform";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("red.y4m"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(redVideo());
    f.close();

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
