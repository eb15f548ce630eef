// What a viewer does with the player: full screen and back, the position bar, the keys, mute
// and the wheel, on a 60-s video file.
#include "platform/ui/player/FullScreen.h"
#include "platform/ui/player/MediaPlayer.h"
#include "platform/ui/player/PlayerBar.h"
#include "tests/platform_ui/MediaFiles.h"

#include <QApplication>
#include <QFile>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>

using namespace ui;

namespace
{

bool within(int ms, const std::function<bool()> &look)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        if (look())
            return true;
        QTest::qWait(10);
    }
    return look();
}

// The keys that reach a widget.
struct KeysSeen : QObject {
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress)
            keys.append(static_cast<QKeyEvent *>(event)->key());
        return false;
    }
    QList<int> keys;
};

class MediaPlayerViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString path = m_dir.filePath(QStringLiteral("sixty.y4m"));
        QFile f(path);
        const QByteArray data = testmedia::makeVideo(60);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(data) == data.size());
        f.close();
        player.setUiMode(QStringLiteral("mini"));
        player.resize(640, 400);
        player.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&player));
        player.setUrl(path);
        ASSERT_TRUE(within(15000, [this] { return player.seekable() && player.hasPicture(); }));
        video = player.findChild<QWidget *>(QStringLiteral("video"));
        bar = player.findChild<PlayerBar *>();
        ASSERT_TRUE(video && bar);
    }

    double seconds() const { return player.currentPosition(); }
    void key(int k) { QTest::keyClick(video, Qt::Key(k)); }

    QTemporaryDir m_dir;
    MediaPlayer player;
    QWidget *video = nullptr;
    PlayerBar *bar = nullptr;
};

} // namespace

TEST(PlayerBarText, TheTimeShowsMinutesAndHoursOnlyPastAnHour)
{
    EXPECT_EQ(PlayerBar::timeText(12'400, 60'000), QStringLiteral("0:12 / 1:00"));
    EXPECT_EQ(PlayerBar::timeText(3'723'000, 7'200'000), QStringLiteral("1:02:03 / 2:00:00"));
    EXPECT_EQ(PlayerBar::timeText(5'000, 3'600'000), QStringLiteral("0:00:05 / 1:00:00"));
    EXPECT_EQ(PlayerBar::timeText(-40, 61'999), QStringLiteral("0:00 / 1:01"));
}

TEST_F(MediaPlayerViewTest, FullScreenTakesThePictureAndLeavingGivesItBackWithoutReopening)
{
    QSignalSpy states(&player, &MediaPlayer::PlayStateChange);
    const QRect windowed = video->geometry();
    QTest::mouseDClick(video, Qt::LeftButton);
    ASSERT_TRUE(player.fullScreen());
    EXPECT_TRUE(video->window()->isFullScreen());
    EXPECT_NE(video->window(), player.window());
    EXPECT_EQ(video->size(), video->window()->size());
    EXPECT_EQ(bar->window(), video->window());
    // Still the same play, into the same pictures.
    const double before = seconds();
    EXPECT_TRUE(within(3000, [&] { return seconds() > before + 0.5 && player.hasPicture(); }));

    key(Qt::Key_Escape);
    ASSERT_FALSE(player.fullScreen());
    EXPECT_EQ(video->parentWidget(), &player);
    EXPECT_EQ(video->geometry(), windowed);
    EXPECT_TRUE(video->isVisible());
    // The picture is there at once: no black frame while the play goes on.
    EXPECT_TRUE(player.hasPicture());
    EXPECT_GE(seconds(), before);
    for (const QList<QVariant> &s : states)
        EXPECT_NE(s.at(0).toInt(), MediaPlayer::wmppsTransitioning) << "the address was opened again";

    // The bar's button, and a double-click, go both ways too.
    bar->findChild<QToolButton *>(QStringLiteral("fullScreen"))->click();
    EXPECT_TRUE(player.fullScreen());
    QTest::mouseDClick(video, Qt::LeftButton);
    EXPECT_FALSE(player.fullScreen());
}

TEST_F(MediaPlayerViewTest, AClickOnThePositionJumpsThereAndTheTimeFollows)
{
    auto *position = bar->findChild<QSlider *>(QStringLiteral("position"));
    ASSERT_TRUE(within(3000, [&] { return position->isVisible() && position->isEnabled(); }));
    // Three quarters along the groove: 45 s of 60.
    QTest::mouseClick(position, Qt::LeftButton, {},
                      QPoint(position->width() * 3 / 4, position->height() / 2));
    EXPECT_TRUE(within(2000, [&] { return std::abs(seconds() - 45.0) < 3.0; })) << seconds();
    auto *time = bar->findChild<QWidget *>(QStringLiteral("time"));
    EXPECT_TRUE(within(1000, [&] {
        return time->property("text").toString().startsWith(QStringLiteral("0:4"));
    })) << time->property("text").toString().toStdString();
    EXPECT_TRUE(time->property("text").toString().endsWith(QStringLiteral(" / 1:00")));
}

TEST_F(MediaPlayerViewTest, ThePictureTakesTheKeysAfterAClickThatDoesNothingElse)
{
    QSignalSpy chosen(&player, &MediaPlayer::VolumeChosen);
    player.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&player));
    QTest::mouseClick(video, Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), video);
    EXPECT_EQ(player.playState(), MediaPlayer::wmppsPlaying);
    EXPECT_FALSE(player.fullScreen());

    key(Qt::Key_Space);
    EXPECT_TRUE(within(3000, [&] { return player.playState() == MediaPlayer::wmppsPaused; }));
    key(Qt::Key_Space);
    EXPECT_TRUE(within(3000, [&] { return player.playState() == MediaPlayer::wmppsPlaying; }));

    const double start = seconds();
    key(Qt::Key_Right);
    EXPECT_TRUE(within(2000, [&] { return std::abs(seconds() - (start + 10.0)) < 2.0; })) << seconds();
    key(Qt::Key_Left);
    EXPECT_TRUE(within(2000, [&] { return std::abs(seconds() - start) < 2.0; })) << seconds();

    key(Qt::Key_M);
    EXPECT_TRUE(player.muted());
    EXPECT_EQ(bar->findChild<QToolButton *>(QStringLiteral("mute"))->property("muted").toBool(), true);
    key(Qt::Key_M);
    EXPECT_FALSE(player.muted());
    EXPECT_EQ(chosen.count(), 2);

    // A notch of the wheel over the picture, up then two down.
    const QPoint middle = video->rect().center();
    for (int delta : {120, -240}) {
        QWheelEvent wheel(middle, video->mapToGlobal(middle), {}, QPoint(0, delta), Qt::NoButton, {},
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(video, &wheel);
    }
    EXPECT_EQ(player.volume(), 45);
    EXPECT_EQ(bar->findChild<QSlider *>(QStringLiteral("volume"))->value(), 45);
    EXPECT_EQ(chosen.count(), 4);

    key(Qt::Key_F11);
    EXPECT_TRUE(player.fullScreen());
    key(Qt::Key_F11);
    EXPECT_FALSE(player.fullScreen());
    // Escape has no meaning for the windowed player: it goes on to the window.
    KeysSeen window;
    player.installEventFilter(&window);
    QTest::keyClick(video, Qt::Key_Escape);
    EXPECT_EQ(window.keys, QList<int>{Qt::Key_Escape});
}

TEST_F(MediaPlayerViewTest, TheFullScreenBarAndPointerHideWhenThePointerRestsButNotOverTheBar)
{
    player.setFullScreen(true);
    auto *window = player.findChild<FullScreen *>();
    ASSERT_TRUE(window && window->active());
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->geometry().bottom(), window->height() - 1);
    EXPECT_EQ(bar->width(), window->width());
    QCursor::setPos(window->mapToGlobal(QPoint(window->width() / 2, window->height() / 3)));
    EXPECT_TRUE(within(FullScreen::kIdleMs + 1500, [&] { return !bar->isVisible(); }));
    EXPECT_EQ(window->cursor().shape(), Qt::BlankCursor);

    // A move brings both back.
    const QPoint moved(window->width() / 2 + 20, window->height() / 3);
    QTest::mouseMove(video, moved);
    QMouseEvent move(QEvent::MouseMove, moved, video->mapToGlobal(moved), Qt::NoButton, {}, {});
    QApplication::sendEvent(video, &move);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_NE(window->cursor().shape(), Qt::BlankCursor);

    // Resting over the bar keeps it.
    QCursor::setPos(bar->mapToGlobal(bar->rect().center()));
    QTest::qWait(FullScreen::kIdleMs + 800);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_NE(window->cursor().shape(), Qt::BlankCursor);
}
