// What the player says over its area: while a play starts (and not for a quick one), and for
// sound alone a radio's name and titles or a song's cover and tags.
#include "platform/ui/player/PlayerWords.h"
#include "platform/ui/player/MediaPlayer.h"
#include "platform/ui/player/MediaTags.h"
#include "tests/platform_ui/MediaFiles.h"
#include "tests/platform_ui/RadioStation.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace ui;

namespace
{

QString mediaFile(const char *name)
{
    return QStringLiteral(CD_SOURCE_DIR "/tests/platform_ui/media/") + QLatin1String(name);
}

PlayerWords *wordsOf(MediaPlayer &player)
{
    return player.findChild<PlayerWords *>();
}

QImage areaShot(MediaPlayer &player)
{
    return player.findChild<QWidget *>(QStringLiteral("video"))->grab().toImage();
}

// Pixels of the shot near `colour`, and their bounds.
QRect placeOf(const QImage &shot, QColor colour)
{
    QRect place;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) < 40 && std::abs(c.green() - colour.green()) < 40 &&
                std::abs(c.blue() - colour.blue()) < 40)
                place |= QRect(x, y, 1, 1);
        }
    }
    return place;
}

bool anythingLit(const QImage &shot)
{
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            if (qGray(shot.pixel(x, y)) > 100)
                return true;
        }
    }
    return false;
}

class PlayerWordsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(radio.ready());
        // libVLC keeps the covers it takes out of files in the user's cache.
        m_oldCache = qgetenv("XDG_CACHE_HOME");
        qputenv("XDG_CACHE_HOME", m_cache.path().toUtf8());
        player.setUiMode(QStringLiteral("mini"));
        player.resize(320, 260);
        player.show();
    }
    void TearDown() override
    {
        player.close();
        qputenv("XDG_CACHE_HOME", m_oldCache);
    }

    // Watches until the play starts, noting whether the words of what it does ever showed.
    bool startsWithoutWords(bool &wordsShown)
    {
        wordsShown = false;
        return QTest::qWaitFor(
            [&] {
                wordsShown |= wordsOf(player)->busyShown();
                return player.activity().isEmpty() &&
                       (player.hasPicture() || !wordsOf(player)->sound().isEmpty());
            },
            15000);
    }

    testmedia::RadioStation radio;
    MediaPlayer player;

private:
    QTemporaryDir m_cache;
    QByteArray m_oldCache;
};

} // namespace

TEST_F(PlayerWordsTest, ASlowStationIsSaidToConnectWithinASecondUntilItsSoundPlays)
{
    radio.delayMs = 2000;
    QElapsedTimer clock;
    clock.start();
    player.setUrl(radio.url());
    EXPECT_EQ(player.activity(), QStringLiteral("Connecting to 127.0.0.1\u2026"));
    EXPECT_FALSE(wordsOf(player)->busyShown()) << "not before a quick start would have come";
    ASSERT_TRUE(QTest::qWaitFor([&] { return wordsOf(player)->busyShown(); }, 1000));
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_TRUE(anythingLit(areaShot(player))) << "the words and the turning sign are drawn";
    EXPECT_TRUE(wordsOf(player)->sound().isEmpty());

    // The words go with the first sound: the radio's name and its title take the area.
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.activity().isEmpty(); }, 15000));
    EXPECT_GT(clock.elapsed(), 2000) << "not before the station answered";
    EXPECT_FALSE(wordsOf(player)->busyShown());
    EXPECT_EQ(player.playState(), MediaPlayer::wmppsPlaying);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !wordsOf(player)->sound().detail.isEmpty(); }, 5000));
    EXPECT_EQ(wordsOf(player)->sound().title, QStringLiteral("Walk Radio"));
    EXPECT_EQ(wordsOf(player)->sound().detail, QStringLiteral("Walk Band - Song 1"));
}

TEST_F(PlayerWordsTest, APlayThatStartsAtOnceShowsNoWords)
{
    bool shown = false;
    QElapsedTimer clock;
    clock.start();
    player.setUrl(radio.url());
    EXPECT_EQ(player.activity(), QStringLiteral("Connecting to 127.0.0.1\u2026"));
    ASSERT_TRUE(startsWithoutWords(shown));
    EXPECT_FALSE(shown) << "a station that answers at once, playing after " << clock.elapsed() << " ms";

    clock.restart();
    player.setUrl(mediaFile("stripes.mp4"));
    EXPECT_EQ(player.activity(), QStringLiteral("Opening\u2026"));
    ASSERT_TRUE(startsWithoutWords(shown));
    EXPECT_FALSE(shown) << "a file, showing after " << clock.elapsed() << " ms";
}

TEST_F(PlayerWordsTest, ARadioShowsTheNameClickedAndEachNewTitleWithinASecondAndNothingStaysAfter)
{
    player.announce(radio.url(), QStringLiteral("My Walk Radio"));
    player.setUrl(radio.url());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return wordsOf(player)->sound().detail.endsWith(QLatin1String("Song 1")); }, 15000));
    EXPECT_EQ(wordsOf(player)->sound().title, QStringLiteral("My Walk Radio"));
    EXPECT_TRUE(anythingLit(areaShot(player)));

    for (int song = 2; song <= 3; ++song) {
        QElapsedTimer clock;
        clock.start();
        radio.song = song;
        const QString title = QStringLiteral("Walk Band - Song %1").arg(song);
        ASSERT_TRUE(QTest::qWaitFor([&] { return wordsOf(player)->sound().detail == title; }, 5000));
        EXPECT_LT(clock.elapsed(), 1000) << song;
    }

    // A video takes the area: no title or name of the radio stays.
    player.setUrl(mediaFile("wide.ts"));
    EXPECT_TRUE(wordsOf(player)->sound().isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.hasPicture(); }, 15000));
    QTest::qWait(600);
    EXPECT_TRUE(wordsOf(player)->sound().isEmpty());
}

TEST_F(PlayerWordsTest, ASongShowsItsCoverInItsOwnShapeAboveItsTitles)
{
    player.setUrl(mediaFile("cover.mp3"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !wordsOf(player)->sound().cover.isNull(); }, 15000));
    const SoundCard card = wordsOf(player)->sound();
    EXPECT_EQ(card.cover.size(), QSize(64, 32));
    EXPECT_EQ(card.title, QStringLiteral("Morning Song"));
    EXPECT_EQ(card.detail, QStringLiteral("Walk Band"));

    const QImage shot = areaShot(player);
    const QRect cover = placeOf(shot, QColor(0x30, 0x70, 0xd0));
    ASSERT_FALSE(cover.isEmpty());
    EXPECT_NEAR(double(cover.width()) / cover.height(), 2.0, 0.1);
    EXPECT_NEAR(cover.center().x(), shot.width() / 2, 2);
    // The titles under it.
    EXPECT_TRUE(
        anythingLit(shot.copy(0, cover.bottom() + 2, shot.width(), shot.height() - cover.bottom() - 2)));
}

TEST(SoundLines, TheNameClickedThenTheTitleThenTheFileAboveWhatPlaysNowOrTheTags)
{
    SoundTags radio;
    radio.title = QStringLiteral("Walk Radio");
    radio.nowPlaying = QStringLiteral("Walk Band - Song 3");
    radio.fileName = QStringLiteral("radio");
    SoundLines lines = soundLines(QStringLiteral("City FM"), radio);
    EXPECT_EQ(lines.first, QStringLiteral("City FM"));
    EXPECT_EQ(lines.second, QStringLiteral("Walk Band - Song 3"));
    lines = soundLines(QString(), radio);
    EXPECT_EQ(lines.first, QStringLiteral("Walk Radio"));

    SoundTags song;
    song.title = QStringLiteral("Morning Song");
    song.artist = QStringLiteral("Walk Band");
    song.fileName = QStringLiteral("track01.mp3");
    lines = soundLines(QStringLiteral("Best of"), song);
    EXPECT_EQ(lines.second, QStringLiteral("Walk Band \u2013 Morning Song"));
    lines = soundLines(QString(), song);
    EXPECT_EQ(lines.first, QStringLiteral("Morning Song"));
    EXPECT_EQ(lines.second, QStringLiteral("Walk Band"));

    SoundTags bare;
    bare.fileName = QStringLiteral("tone.wav");
    lines = soundLines(QString(), bare);
    EXPECT_EQ(lines.first, QStringLiteral("tone.wav"));
    EXPECT_TRUE(lines.second.isEmpty());
    bare.title = QStringLiteral("Tone");
    lines = soundLines(QStringLiteral("Tone"), bare);
    EXPECT_TRUE(lines.second.isEmpty()) << "nothing said twice";
}
