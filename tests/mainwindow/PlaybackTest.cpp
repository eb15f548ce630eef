// A click on a channel: the bounded availability probe against loopback pages, the offline
// picture, and the editor's copy of the clicked channel.
#include "tests/mainwindow/MainWindowFixture.h"

#include "mainwindow/modStreamProbe.h"
#include "platform/ui/player/PlayerWords.h"
#include "tests/platform_ui/MediaFiles.h"
#include "tests/platform_ui/RadioStation.h"
#include "tests/support/LoopbackServer.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>

using namespace mwtest;
using testsupport::LoopbackServer;

namespace
{

class PlaybackTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        auto page = [this](int status, std::string body) {
            return [this, status, body](const httplib::Request &, httplib::Response &res) {
                ++hits;
                res.status = status;
                res.set_content(body, "text/html");
            };
        };
        server.server().Get("/missing", page(404, "<html><body><h1>404 Not Found</h1></body></html>"));
        server.server().Get("/empty", page(200, ""));
        server.server().Get("/lower", page(500, "an internal error occurred"));
        server.server().Get("/reference", page(200, "[reference]\r\nRef1=http://127.0.0.1:9/x\r\n"));
        server.server().Get("/playlist", page(200, "#EXTM3U\n#EXTINF:-1,Live\nhttp://127.0.0.1:9/live\n"));
        server.server().Get(
            "/portal", page(200, "<html><body><h1>Welcome</h1><p>This domain is parked.</p></body></html>"));
        server.server().Get("/slowmissing", [](const httplib::Request &, httplib::Response &res) {
            std::this_thread::sleep_for(std::chrono::milliseconds(400));
            res.status = 404;
            res.set_content("Not Found", "text/html");
        });
        // A tone that plays; the player's own requests (not the probe's) are answered a second late.
        server.server().Get("/tone.wav", [](const httplib::Request &req, httplib::Response &res) {
            static const std::string wav = testmedia::makeWav(20);
            if (req.get_header_value("User-Agent") != "Mozilla")
                std::this_thread::sleep_for(std::chrono::seconds(1));
            res.set_content(wav.data(), wav.size(), "audio/wav");
        });
        // An audio stream that never ends on its own: fast, or a trickle.
        server.server().Get("/endless", [this](const httplib::Request &, httplib::Response &res) {
            ++hits;
            res.set_chunked_content_provider("audio/mpeg", [this](size_t, httplib::DataSink &sink) {
                static const std::string block(4096, '\x55');
                return !stopping && sink.write(block.data(), block.size());
            });
        });
        server.server().Get("/trickle", [this](const httplib::Request &, httplib::Response &res) {
            ++hits;
            res.set_chunked_content_provider("audio/mpeg", [this](size_t, httplib::DataSink &sink) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                return !stopping && sink.write("0123456789abcdef", 16);
            });
        });
        server.start();
    }
    void TearDown() override
    {
        if (form)
            form->WindowsMediaPlayer1->close();
        stopping = true;
        server.stop();
        MainWindowTest::TearDown();
    }

    Form1 *loadWith(const QStringList &paths)
    {
        putSetting("TVLang", "All");
        QStringList lines;
        for (const QString &path : paths)
            lines.append(
                channelLine(path, "TV", "English", path.startsWith("http") ? path : server.url(path)));
        writeData(lines);
        form = loadForm1();
        return form;
    }
    void click(const QString &name)
    {
        for (int i = 1; i <= form->ListView1->ListItems()->Count(); ++i) {
            ui::ListItem *item = form->ListView1->ListItems()->Item(i);
            if (item->Text() == name)
                item->setSelected(true);
        }
        emit form->ListView1->Click();
    }

    LoopbackServer server;
    std::atomic<int> hits{0};
    std::atomic<bool> stopping{false};
    Form1 *form = nullptr;
};

} // namespace

TEST_F(PlaybackTest, ErrorPageShowsTheOfflinePictureAndLeavesThePlayerAlone)
{
    loadWith({"/empty", "/missing"});
    click("/empty");
    EXPECT_EQ(form->WindowsMediaPlayer1->url(), server.url("/empty"));
    EXPECT_FALSE(form->imgOffline->Visible());

    click("/missing");
    EXPECT_TRUE(form->imgOffline->Visible());
    EXPECT_TRUE(form->imgOffline->hasPicture());
    EXPECT_EQ(form->WindowsMediaPlayer1->url(), server.url("/empty"));

    // The next click hides the picture again.
    click("/empty");
    EXPECT_FALSE(form->imgOffline->Visible());
}

TEST_F(PlaybackTest, ErrorWordsCountInAnyLetterCase)
{
    loadWith({"/lower", "/reference", "/playlist"});
    click("/lower");
    EXPECT_TRUE(form->imgOffline->Visible());
    click("/reference");
    EXPECT_TRUE(form->imgOffline->Visible());
    EXPECT_TRUE(form->WindowsMediaPlayer1->url().isEmpty());
    click("/playlist");
    EXPECT_FALSE(form->imgOffline->Visible());
    EXPECT_EQ(form->WindowsMediaPlayer1->url(), server.url("/playlist"));
}

TEST_F(PlaybackTest, UnreachableAddressGivesAnEmptyProbeAndPlays)
{
    const QString dead = QStringLiteral("http://127.0.0.1:%1/live").arg(testsupport::unusedLoopbackPort());
    loadWith({dead});
    click(dead);
    EXPECT_FALSE(form->imgOffline->Visible());
    EXPECT_EQ(form->WindowsMediaPlayer1->url(), dead);
}

TEST_F(PlaybackTest, EndlessStreamIsCutBySizeAndPlays)
{
    loadWith({"/endless"});
    QElapsedTimer clock;
    clock.start();
    click("/endless");
    EXPECT_LT(clock.elapsed(), StreamProbeMaxMs);
    EXPECT_EQ(form->WindowsMediaPlayer1->url(), server.url("/endless"));

    const StreamProbe probe = ProbeStreamUrl(server.url("/endless"));
    EXPECT_TRUE(probe.cutShort);
    EXPECT_EQ(probe.reply.size(), StreamProbeMaxBytes);
}

TEST_F(PlaybackTest, SlowStreamIsCutByTime)
{
    QElapsedTimer clock;
    clock.start();
    const StreamProbe probe = ProbeStreamUrl(server.url("/trickle"), StreamProbeMaxBytes, 700);
    const qint64 elapsed = clock.elapsed();
    EXPECT_TRUE(probe.cutShort);
    EXPECT_GE(elapsed, 650);
    EXPECT_LT(elapsed, 1500);
    EXPECT_GT(probe.reply.size(), 0);
    EXPECT_LT(probe.reply.size(), 4096);

    // A reply that ends on its own is not cut, whatever its length.
    const StreamProbe whole = ProbeStreamUrl(server.url("/missing"));
    EXPECT_FALSE(whole.cutShort);
    EXPECT_EQ(whole.reply, "<html><body><h1>404 Not Found</h1></body></html>");
}

TEST_F(PlaybackTest, EditorCopiesTheChannelAndChkLoadStopsPlayback)
{
    loadWith({"/empty"});
    form->ListView1->ListItems()->Item(1)->setSubItems(3, "http://edited/url");
    form->blnAdmin = true;
    form->chkLoad->setValue(ui::vbChecked);
    click("/empty");
    EXPECT_EQ(form->txtEditName->Text(), "/empty");
    EXPECT_EQ(form->cmbEditCateogy->Text(), "TV");
    EXPECT_EQ(form->txtEditType->Text(), "English");
    EXPECT_EQ(form->txtEditURL->Text(), "http://edited/url");
    EXPECT_EQ(hits, 0);
    EXPECT_TRUE(form->WindowsMediaPlayer1->url().isEmpty());
}

TEST_F(PlaybackTest, OutsideTheEditorTheEditBoxesStayUntouched)
{
    loadWith({"/empty"});
    click("/empty");
    EXPECT_EQ(form->txtEditName->Text(), "Name");
    EXPECT_EQ(form->txtEditURL->Text(), "URL");
    EXPECT_GE(hits, 1);
    EXPECT_EQ(form->WindowsMediaPlayer1->url(), server.url("/empty"));
}

TEST_F(PlaybackTest, ClickWithoutSelectionAndOnThePictureOnlyHide)
{
    loadWith({"/missing"});
    click("/missing");
    ASSERT_TRUE(form->imgOffline->Visible());
    emit form->imgOffline->Click();
    EXPECT_FALSE(form->imgOffline->Visible());
    const int before = hits;

    form->ListView1->setSelectedItem(nullptr);
    form->imgOffline->setVisible(true);
    emit form->ListView1->Click();
    EXPECT_EQ(hits, before);
    EXPECT_TRUE(form->imgOffline->Visible());
}

TEST_F(PlaybackTest, OfflinePictureGivesWayToAFileOrTheVideoSitesPane)
{
    env->setEnv("CHANNELDECK_VIDEO_SITE", server.url().toUtf8());
    const QString file = env->writeFile(env->root() + "/media/clip.mp3", "ID3");
    loadWith({"/missing", "/slowmissing"});
    click("/missing");
    ASSERT_TRUE(form->imgOffline->Visible());
    form->Dir1->setPath(env->root() + "/media");
    form->File1->setFileName("clip.mp3");
    emit form->File1->Click();
    EXPECT_FALSE(form->imgOffline->Visible());
    EXPECT_EQ(form->WindowsMediaPlayer1->url(), file);

    click("/missing");
    ASSERT_TRUE(form->imgOffline->Visible());
    form->cmdYouTube_Click();
    EXPECT_FALSE(form->imgOffline->Visible());

    // A probe that fails after the user left for the video site's pane shows nothing over it.
    form->cmdTV_Click();
    QTimer::singleShot(100, form, [this] { form->cmdYouTube_Click(); });
    click("/slowmissing");
    EXPECT_FALSE(form->imgOffline->Visible());
}

TEST_F(PlaybackTest, OfflinePictureStaysOverWhatPlaysOnUntilPlayIsPressed)
{
    loadWith({"/tone.wav", "/missing"});
    ui::MediaPlayer *player = form->WindowsMediaPlayer1;
    const auto reaches = [player](int state) {
        return QTest::qWaitFor([&] { return player->playState() == state; }, 15000);
    };
    // The channel before is still opening when the probe fails; its reaching play is no new start.
    click("/tone.wav");
    click("/missing");
    ASSERT_NE(player->playState(), ui::MediaPlayer::wmppsPlaying);
    ASSERT_TRUE(reaches(ui::MediaPlayer::wmppsPlaying));
    EXPECT_TRUE(form->imgOffline->Visible());
    player->controls()->stop();
    EXPECT_TRUE(form->imgOffline->Visible());
    player->controls()->play();
    ASSERT_TRUE(reaches(ui::MediaPlayer::wmppsPlaying));
    EXPECT_FALSE(form->imgOffline->Visible());

    click("/missing");
    player->controls()->pause();
    ASSERT_TRUE(reaches(ui::MediaPlayer::wmppsPaused));
    EXPECT_TRUE(form->imgOffline->Visible());
    player->controls()->play();
    ASSERT_TRUE(reaches(ui::MediaPlayer::wmppsPlaying));
    EXPECT_FALSE(form->imgOffline->Visible());
    EXPECT_EQ(player->url(), server.url("/tone.wav"));
}

TEST_F(PlaybackTest, AChannelOrFileThePlayerCannotPlayIsSaidUntilTheOfflineCardOrAnotherChannelComes)
{
    // A portal page passes the probe and a refused port gives an empty one: both reach the
    // player, which says in its area that it cannot play them.
    const QString refused =
        QStringLiteral("http://127.0.0.1:%1/live.ts").arg(testsupport::unusedLoopbackPort());
    loadWith({"/portal", refused, "/missing", "/tone.wav"});
    ui::MediaPlayer *player = form->WindowsMediaPlayer1;
    const auto said = [player] {
        return QTest::qWaitFor([player] { return !player->failure().isEmpty(); }, 15000);
    };
    click("/portal");
    EXPECT_TRUE(said());
    click("/missing");
    EXPECT_TRUE(form->imgOffline->Visible());
    EXPECT_TRUE(player->failure().isEmpty()) << "the card takes the area";
    click(refused);
    EXPECT_FALSE(form->imgOffline->Visible());
    EXPECT_TRUE(said());
    click("/tone.wav");
    EXPECT_TRUE(player->failure().isEmpty());

    // A file of My Files that holds no media.
    env->writeFile(env->root() + "/media/notes.mp3", "meeting notes, not a song");
    form->Dir1->setPath(env->root() + "/media");
    form->File1->setFileName("notes.mp3");
    emit form->File1->Click();
    EXPECT_TRUE(said());
}

TEST_F(PlaybackTest, ARadioShowsTheNameOfTheChannelOrFavouriteClicked)
{
    testmedia::RadioStation radio;
    loadWith({radio.url()});
    const auto card = [this] { return form->WindowsMediaPlayer1->findChild<ui::PlayerWords *>()->sound(); };
    click(radio.url());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !card().detail.isEmpty(); }, 15000));
    EXPECT_EQ(card().title, radio.url()) << "the channel's name as listed";
    EXPECT_EQ(card().detail, QStringLiteral("Walk Band - Song 1"));

    ui::ListItem *favourite = form->ListView2->ListItems()->Add(QStringLiteral("Morning walk"));
    favourite->setTag(radio.url());
    favourite->setSelected(true);
    emit form->ListView2->Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return card().title == QLatin1String("Morning walk"); }, 15000));
    EXPECT_EQ(card().detail, QStringLiteral("Walk Band - Song 1"));
    form->WindowsMediaPlayer1->close();
}

TEST(StreamOnline, ErrorWordsAndEmptyReplies)
{
    EXPECT_TRUE(Form1::isStreamOnline(QString()));
    EXPECT_TRUE(Form1::isStreamOnline("#EXTM3U"));
    for (const char *reply : {"[REFERENCE]", "not available", "HTTP 404", "this has moved", "ERROR",
                              "not found", "No web site is configured at this address"})
        EXPECT_FALSE(Form1::isStreamOnline(QLatin1String(reply))) << reply;
    EXPECT_TRUE(Form1::isStreamOnline("Reference without brackets"));
}
