// The main window against servers that never stop sending: the channel guide, the video
// site's result pages and a channel's own address. Each reply is cut at its bound, replaces
// nothing, ends as a failed one does, and no more than the bound is ever held.
#include "tests/mainwindow/MainWindowFixture.h"

#include "mainwindow/EndProgram.h"
#include "mainwindow/modStreamProbe.h"
#include "platform/core/ProgramFolder.h"
#include "platform/ui/DoEvents.h"
#include "platform/ui/Menu.h"
#include "services/modDownload.h"
#include "tests/support/MemoryPeak.h"
#include "tests/support/ScriptedServer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QTimer>

#include <cstdio>

using namespace mwtest;
using testsupport::MemoryPeak;
using testsupport::ScriptedServer;

namespace
{

// block repeated to about 64 KiB, for a flood that a reader without a bound would take whole.
std::string repeated(const std::string &block)
{
    std::string s;
    while (s.size() < 64 * 1024)
        s += block;
    return s;
}

class FloodTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        putSetting("TVLang", "All");
        DownloadResetLargestReply();
    }
    void TearDown() override
    {
        if (form)
            form->WindowsMediaPlayer1->close();
        ui::setProgramEnding(false);
        MainWindowTest::TearDown();
    }

    // The figures a flood cost, for the log: never asserted, they depend on the machine.
    static void report(const char *what, const MemoryPeak &peak, const QElapsedTimer &clock,
                       const ScriptedServer &server)
    {
        std::printf("[flood] %s: %lld ms, longest reply held %lld bytes, peak memory +%.1f MiB, "
                    "server sent %lld bytes\n",
                    what, static_cast<long long>(clock.elapsed()),
                    static_cast<long long>(DownloadLargestReply()), peak.growthMiB(), server.bytesSent());
    }

    QString dataPath() const { return env->dataHome() + QStringLiteral("/TVDAT/Data.txt"); }

    Form1 *form = nullptr;
};

const std::string guideRecords = repeated("1|Flooded|TV|http://127.0.0.1:9/flood|English<BR>");

} // namespace

TEST_F(FloodTest, EndlessGuideIsCutAndReplacesNothing)
{
    writeData({channelLine("Old One", "TV", "English"), channelLine("Old Two", "TV", "German")});
    const QByteArray original = testsupport::TempEnvironment::readFile(dataPath());
    form = loadForm1();
    ScriptedServer flood(ScriptedServer::flood(guideRecords));
    env->setEnv("CHANNELDECK_SERVER", flood.url(QString()).toUtf8());
    boxes->clear();

    MemoryPeak peak;
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(form->updateChannelsOnline());
    report("channel guide", peak, clock, flood);

    EXPECT_EQ(DownloadLargestReply(), ChannelGuideMaxBytes);
    EXPECT_EQ(testsupport::TempEnvironment::readFile(dataPath()), original);
    EXPECT_EQ(form->txtStatus->Text(), QStringLiteral("Error connecting to update site."));
    EXPECT_EQ(boxes->count(), 0);
    EXPECT_EQ(itemTexts(form->ListView1), (QStringList{"Old One", "Old Two"}));
}

TEST_F(FloodTest, ExitDuringAGuideFloodEndsAtOnce)
{
    setEndProgramHandler([this] {
        ++endCalls;
        ui::setProgramEnding(true);
    });
    writeData({channelLine("Old One", "TV", "English")});
    const QByteArray original = testsupport::TempEnvironment::readFile(dataPath());
    form = loadForm1();
    ScriptedServer flood(ScriptedServer::flood(guideRecords));
    env->setEnv("CHANNELDECK_SERVER", flood.url(QString()).toUtf8());
    boxes->clear();

    // File > Exit once the download holds half its bound.
    QElapsedTimer sinceExit;
    QTimer watch;
    QPointer<Form1> main(form);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (main && !sinceExit.isValid() && DownloadLargestReply() >= ChannelGuideMaxBytes / 2) {
            sinceExit.start();
            qobject_cast<ui::Menu *>(main->control(QStringLiteral("mnuFileItem"), 2))->trigger();
        }
    });
    watch.start(1);
    MemoryPeak peak;
    QElapsedTimer clock;
    clock.start();
    form->updateChannelsOnline();
    watch.stop();
    report("channel guide, File > Exit half-way", peak, clock, flood);
    ASSERT_TRUE(sinceExit.isValid());
    std::printf("[flood] from File > Exit to the end of the update: %lld ms\n",
                static_cast<long long>(sinceExit.elapsed()));

    EXPECT_EQ(endCalls, 1);
    EXPECT_LT(DownloadLargestReply(), ChannelGuideMaxBytes);
    EXPECT_EQ(testsupport::TempEnvironment::readFile(dataPath()), original);
    EXPECT_EQ(boxes->count(), 0);
    form = nullptr;
}

TEST_F(FloodTest, EndlessVideoPageAddsNothingAndTheOtherPagesStillList)
{
    // Page 1 never ends; pages 2 to 5 each link one video.
    const std::string floodLinks = repeated("<a href=\"/watch?v=FLOOD\">Flooded</a>\n");
    ScriptedServer site([floodLinks](testsupport::ScriptedConnection &c) {
        if (!c.readRequest())
            return;
        const std::string &request = c.requestLine();
        const size_t at = request.find("&p=");
        const std::string page = at == std::string::npos ? "?" : request.substr(at + 3, 1);
        if (page == "1") {
            ScriptedServer::sendFlood(c, floodLinks);
            return;
        }
        const std::string body = "<a href=\"/watch?v=PAGE" + page + "\">Page " + page + "</a>";
        c.send(ScriptedServer::headers((long long)body.size()) + body);
    });
    env->setEnv("CHANNELDECK_VIDEO_SITE", site.url(QString()).toUtf8());
    writeData({});
    form = loadForm1();
    const QString pagePath = platform::programFolder() + QStringLiteral("/youtube.html");
    const QByteArray placeholder = testsupport::TempEnvironment::readFile(pagePath);

    MemoryPeak peak;
    QElapsedTimer clock;
    clock.start();
    form->cmdYouTube_Click();
    report("five video-site pages, the first endless", peak, clock, site);

    EXPECT_EQ(DownloadLargestReply(), VideoPageMaxBytes);
    QStringList keys;
    for (int i = 1; i <= form->ListView3->ListItems()->Count(); ++i)
        keys.append(form->ListView3->ListItems()->Item(i)->Key());
    EXPECT_EQ(keys, (QStringList{"PAGE2", "PAGE3", "PAGE4", "PAGE5"}));
    const std::string last = "<a href=\"/watch?v=PAGE5\">Page 5</a>";
    EXPECT_EQ(form->txtStatus->Text(), QStringLiteral("Downloaded %1 bytes.").arg(last.size()));
    EXPECT_EQ(testsupport::TempEnvironment::readFile(pagePath), placeholder);
    EXPECT_FALSE(QFile::exists(platform::programFolder() + QStringLiteral("/youtube.tmp")));
}

TEST_F(FloodTest, EndlessChannelIsProbedWithinItsBound)
{
    // A stream that plays, and a server that sends its error page over and over.
    ScriptedServer stream(ScriptedServer::flood(std::string(64 * 1024, '\x55')));
    ScriptedServer errors(
        ScriptedServer::flood(repeated("<html><body><h1>404 Not Found</h1></body></html>")));
    const QString streamUrl = stream.url(QStringLiteral("/live"));
    const QString errorUrl = errors.url(QStringLiteral("/gone"));
    writeData({channelLine(QStringLiteral("Live"), "TV", "English", streamUrl),
               channelLine(QStringLiteral("Gone"), "TV", "English", errorUrl)});
    form = loadForm1();
    const auto click = [this](const QString &name) {
        for (int i = 1; i <= form->ListView1->ListItems()->Count(); ++i) {
            ui::ListItem *item = form->ListView1->ListItems()->Item(i);
            item->setSelected(item->Text() == name);
        }
        emit form->ListView1->Click();
    };

    MemoryPeak peak;
    QElapsedTimer clock;
    clock.start();
    click(QStringLiteral("Gone"));
    report("channel probe, endless error pages", peak, clock, errors);
    EXPECT_EQ(DownloadLargestReply(), StreamProbeMaxBytes);
    EXPECT_TRUE(form->imgOffline->Visible());
    EXPECT_TRUE(form->WindowsMediaPlayer1->url().isEmpty());

    DownloadResetLargestReply();
    clock.restart();
    click(QStringLiteral("Live"));
    report("channel probe, endless stream", peak, clock, stream);
    EXPECT_EQ(DownloadLargestReply(), StreamProbeMaxBytes);
    EXPECT_FALSE(form->imgOffline->Visible());
    EXPECT_EQ(form->WindowsMediaPlayer1->url(), streamUrl);
}

TEST_F(FloodTest, ANewerLoadEndsThePageDownloadUnderWay)
{
    // The first search's pages never answer; the second's answer at once.
    ScriptedServer site([](testsupport::ScriptedConnection &c) {
        if (!c.readRequest())
            return;
        if (c.requestLine().find("search_query=first") != std::string::npos) {
            c.stall();
            return;
        }
        const std::string body = "<a href=\"/watch?v=SECOND\">Second</a>";
        c.send(ScriptedServer::headers((long long)body.size()) + body);
    });
    env->setEnv("CHANNELDECK_VIDEO_SITE", site.url(QString()).toUtf8());
    writeData({});
    form = loadForm1();
    pick(form->Combo3, QStringLiteral("Search YouTube Videos"));
    form->txtYouTube->setText(QStringLiteral("first"));
    QTimer::singleShot(200, form, [this] {
        form->txtYouTube->setText(QStringLiteral("second"));
        emit form->cmdSearch->Click();
    });
    QElapsedTimer clock;
    clock.start();
    emit form->cmdSearch->Click();

    // The silent page would hold the first load for the 30 s receive time-out.
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_EQ(site.connections(), 6); // one page of the first search, five of the second
    ASSERT_EQ(form->ListView3->ListItems()->Count(), 1);
    EXPECT_EQ(form->ListView3->ListItems()->Item(1)->Key(), QStringLiteral("SECOND"));
}
