// The player in the main window: its volume and mute kept across runs, and F11.
#include "tests/mainwindow/MainWindowFixture.h"

#include <QApplication>
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

using namespace mwtest;

namespace
{

class PlayerSettingsTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        writeData({channelLine("Alpha TV", "TV", "English")});
    }
    template <typename T> static T *part(Form1 *form, const char *name)
    {
        return form->WindowsMediaPlayer1->findChild<T *>(QLatin1String(name));
    }
};

} // namespace

TEST_F(PlayerSettingsTest, AFirstRunHasTheUsualVolumeWithSoundAndSavesNothingUntilTheUserChooses)
{
    Form1 *form = loadForm1();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->WindowsMediaPlayer1->volume(), 50);
    EXPECT_FALSE(form->WindowsMediaPlayer1->muted());
    EXPECT_EQ(setting("Volume"), QStringLiteral("<none>"));
    EXPECT_EQ(setting("Mute"), QStringLiteral("<none>"));
}

TEST_F(PlayerSettingsTest, TheVolumeIsSavedWhenTheSliderIsLetGoAndMuteWhenToggled)
{
    Form1 *form = loadForm1();
    ASSERT_NE(form, nullptr);
    form->show();
    auto *volume = part<QSlider>(form, "volume");
    ASSERT_NE(volume, nullptr);
    // Pressed near its left end: the handle jumps there and is held, then let go.
    const QPoint low(volume->width() / 5, volume->height() / 2);
    QTest::mousePress(volume, Qt::LeftButton, {}, low);
    const int chosen = form->WindowsMediaPlayer1->volume();
    EXPECT_LT(chosen, 40);
    EXPECT_EQ(setting("Volume"), QStringLiteral("<none>")) << "saved before the slider was let go";
    QTest::mouseRelease(volume, Qt::LeftButton, {}, low);
    EXPECT_EQ(setting("Volume"), QString::number(chosen));
    EXPECT_EQ(setting("Mute"), QStringLiteral("0"));

    part<QToolButton>(form, "mute")->click();
    EXPECT_TRUE(form->WindowsMediaPlayer1->muted());
    EXPECT_EQ(setting("Mute"), QStringLiteral("1"));
    EXPECT_EQ(setting("Volume"), QString::number(chosen));

    // The wheel over the slider moves it without a hold.
    const QPoint middle = volume->rect().center();
    QWheelEvent wheel(middle, volume->mapToGlobal(middle), {}, QPoint(0, 120), Qt::NoButton, {},
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(volume, &wheel);
    QTest::qWait(20);
    EXPECT_GT(form->WindowsMediaPlayer1->volume(), chosen);
    EXPECT_EQ(setting("Volume"), QString::number(form->WindowsMediaPlayer1->volume()));
}

TEST_F(PlayerSettingsTest, TheNextRunStartsWithTheSavedVolumeAndMute)
{
    putSetting("Volume", "30");
    putSetting("Mute", "1");
    Form1 *form = loadForm1();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->WindowsMediaPlayer1->volume(), 30);
    EXPECT_TRUE(form->WindowsMediaPlayer1->muted());
    EXPECT_EQ(part<QSlider>(form, "volume")->value(), 30);
    EXPECT_TRUE(part<QToolButton>(form, "mute")->property("muted").toBool());
}

TEST_F(PlayerSettingsTest, F11FromTheChannelListTakesThePlayerToFullScreenWhileItShows)
{
    Form1 *form = loadForm1();
    ASSERT_NE(form, nullptr);
    form->show();
    form->ListView1->setFocus();
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : form->ListView1,
                    Qt::Key_Space);
    EXPECT_FALSE(form->WindowsMediaPlayer1->fullScreen());
    QTest::keyClick(form->ListView1, Qt::Key_F11);
    EXPECT_TRUE(form->WindowsMediaPlayer1->fullScreen());
    QTest::keyClick(form->WindowsMediaPlayer1->findChild<QWidget *>(QStringLiteral("video")), Qt::Key_F11);
    EXPECT_FALSE(form->WindowsMediaPlayer1->fullScreen());

    // With the video site's pane in the player's place, F11 leaves the player alone.
    form->WindowsMediaPlayer1->hide();
    QTest::keyClick(form->ListView1, Qt::Key_F11);
    EXPECT_FALSE(form->WindowsMediaPlayer1->fullScreen());
}
