// The stream finder: links of a loopback page listed as stream addresses, what is dropped,
// how relative links are joined, the scratch file and the test-play of a found link.
#include "tests/submission/SubmissionFixture.h"

#include "platform/ui/Controls.h"
#include "platform/ui/Forms.h"
#include "services/modDownload.h"
#include "tests/support/MemoryPeak.h"
#include "tests/support/NestedAction.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/TimerGap.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>

#include <cstdio>

using subtest::SubmissionTest;

namespace
{

class StreamFinderTest : public SubmissionTest
{
protected:
    // Serves page at "/tv/live/page.htm", runs the finder on it and returns what it listed.
    QStringList findOn(const QByteArray &page)
    {
        servePages({{QStringLiteral("/tv/live/page.htm"), page}});
        form = loadWindow();
        form->txtURL2->setText(server->url(QStringLiteral("/tv/live/page.htm")));
        form->cmdGo_Click();
        return listEntries(form);
    }

    QString site() const { return server->url(); }
    QString scratchPath() const { return env->userFolder() + QStringLiteral("/temp.txt"); }

    frmSubmit *form = nullptr;
};

} // namespace

TEST_F(StreamFinderTest, AbsoluteLinkToAPlaylistIsListedUnchanged)
{
    const QStringList found = findOn(
        "<html><body><a href=\"http://streams.example.com/live/channel1.asx\">Watch</a></body></html>");
    EXPECT_EQ(found, QStringList{QStringLiteral("http://streams.example.com/live/channel1.asx")});
    EXPECT_EQ(form->StatusBar1->panelText(1), QStringLiteral("Extracted 1 link(s)"));
    EXPECT_EQ(received().userAgent, "Mozilla");
    // Unlike the program's other downloads, the page may come from a cache.
    EXPECT_EQ(received().pragma, "");
}

TEST_F(StreamFinderTest, PicturesScriptsMailAndAnchorsAreNotListed)
{
    const QStringList found = findOn("<link href=\"style.css\" rel=stylesheet>\r\n"
                                     "<a href=\"logo.jpg\"><a href='app.js'>\r\n"
                                     "<a href=\"mailto:tv@example.com\">mail</a>"
                                     "<a href=\"javascript:play('x.asx')\">play</a>\r\n"
                                     "<a href=\"/clips/intro.wmv#start\">intro</a>"
                                     "<a href=\"http://www.radiostation.com/live.asx\">radio</a>"
                                     "<a href=\"/show.jsp?f=a.asx\">jsp</a>\r\n"
                                     "<a href=\"/about.htm\">about</a>\r\n");
    EXPECT_TRUE(found.isEmpty()) << found.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(form->StatusBar1->panelText(1), QStringLiteral("Extracted 0 link(s)"));
}

TEST_F(StreamFinderTest, LinkCutAtItsTerminatorLosesTwoCharactersWhenTheTerminatorEndsTheLine)
{
    const QStringList found = findOn("<a href=\"http://media.example.com/a.wmv\"\r\n>first</a>"
                                     "<a href=\"http://media.example.com/b.wmv\"\n>second</a>"
                                     "<a href=http://media.example.com/c.wmv>third</a>\r\n"
                                     "<a href=\"http://media.example.com/d.wmv\"");
    // a loses "v\"" at its line end; the lone LF after b stays in the line, so b keeps its end;
    // d is the last line, its quote the last character.
    EXPECT_EQ(found, QStringList({QStringLiteral("http://media.example.com/b.wmv"),
                                  QStringLiteral("http://media.example.com/c.wmv")}));
}

TEST_F(StreamFinderTest, RelativeLinksAreJoinedToThePageAndItsSite)
{
    const QStringList found = findOn("<a href=\"/media/a.wmv\">root</a>\r\n"
                                     "<a href=\"../b.asf\">up</a>\r\n"
                                     "<a href=\"./c.wma\">here</a>\r\n"
                                     "<a href='d.wmx'>plain</a>\r\n"
                                     "<a href=\"../../../../e.asx\">above the root</a>\r\n"
                                     "<A HREF=F.ASX>upper case</A>\r\n"
                                     "<a href=\"./../g.wvx/h.asx\">mixed</a>\r\n"
                                     "<a href=\"https://secure.example.com/i.asx\">secure</a>\r\n");
    const QString s = site();
    EXPECT_EQ(found, QStringList({s + "/media/a.wmv", s + "/tv/b.asf", s + "/tv/live/c.wma",
                                  s + "/tv/live/d.wmx", s + "/e.asx", s + "/tv/live/F.ASX",
                                  s + "/tv/g.wvx/h.asx", QStringLiteral("http://secure.example.com/i.asx")}));
    EXPECT_EQ(form->StatusBar1->panelText(1), QStringLiteral("Extracted 8 link(s)"));
}

TEST_F(StreamFinderTest, ASecondRunAppendsItsFindsToTheFirst)
{
    findOn("<a href=\"http://streams.example.com/one.asx\">one</a>");
    form->cmdGo_Click();
    EXPECT_EQ(listEntries(form), QStringList({QStringLiteral("http://streams.example.com/one.asx"),
                                              QStringLiteral("http://streams.example.com/one.asx")}));
    EXPECT_EQ(form->StatusBar1->panelText(1), QStringLiteral("Extracted 1 link(s)"));
}

TEST_F(StreamFinderTest, AddressWithoutSchemeIsFetchedWithItAndJoinedAsTyped)
{
    servePages({{QStringLiteral("/tv/page.htm"), "<a href=\"clip.asx\">clip</a>"}});
    form = loadWindow();
    const QString typed = QStringLiteral("127.0.0.1:%1/tv/page.htm").arg(server->port());
    form->txtURL2->setText(typed);
    form->cmdGo_Click();
    EXPECT_EQ(received().count, 1);
    EXPECT_EQ(listEntries(form), QStringList{site() + QStringLiteral("/tv/clip.asx")});
}

TEST_F(StreamFinderTest, AddressOfASiteWithoutPathJoinsToItsRoot)
{
    servePages({{QStringLiteral("/"), "<a href=\"clip.asx\">clip</a><a href=\"./live/tv.wmv\">tv</a>"}});
    form = loadWindow();
    form->txtURL2->setText(site());
    form->cmdGo_Click();
    EXPECT_EQ(listEntries(form), QStringList({site() + "/clip.asx", site() + "/live/tv.wmv"}));
}

TEST_F(StreamFinderTest, PageThatCannotBeFetchedListsNothing)
{
    form = loadWindow();
    form->txtURL2->setText(
        QStringLiteral("http://127.0.0.1:%1/page.htm").arg(testsupport::unusedLoopbackPort()));
    form->cmdGo_Click();
    EXPECT_EQ(form->List1->ListCount(), 0);
    EXPECT_EQ(form->StatusBar1->panelText(1), QStringLiteral("Extracted 0 link(s)"));
}

TEST_F(StreamFinderTest, ScratchFileIsGoneAfterARunAndALeftoverIsNotReadAgain)
{
    // What a run cut short left behind names a stream of another page.
    env->writeFile(scratchPath(), "\r\nhref=\"http://old.example.com/stale.asx\">\r\n");
    const QStringList found = findOn("<a href=\"http://streams.example.com/new.asx\">new</a>");
    EXPECT_EQ(found, QStringList{QStringLiteral("http://streams.example.com/new.asx")});
    EXPECT_FALSE(QFile::exists(scratchPath()));
}

TEST_F(StreamFinderTest, ScratchFileThatIsALinkIsNotWrittenThrough)
{
    const QString victim = env->writeFile(env->root() + QStringLiteral("/home/.profile"), "keep me\r\n");
    ASSERT_TRUE(QDir().mkpath(env->userFolder()));
    ASSERT_TRUE(QFile::link(victim, scratchPath()));
    const QStringList found = findOn("<a href=\"http://streams.example.com/new.asx\">new</a>");
    EXPECT_EQ(found, QStringList{QStringLiteral("http://streams.example.com/new.asx")});
    EXPECT_EQ(testsupport::TempEnvironment::readFile(victim), "keep me\r\n");
    EXPECT_FALSE(QFileInfo(scratchPath()).isSymLink());
}

TEST_F(StreamFinderTest, UserFolderThatTakesNoScratchFileStillFindsTheLinks)
{
    // Below a plain file no folder can be made, not even by root.
    const QString blocker = env->writeFile(env->root() + QStringLiteral("/plain-file"), "x");
    env->setEnv("XDG_DATA_HOME", (blocker + QStringLiteral("/share")).toUtf8());
    const QStringList found = findOn("<a href=\"http://streams.example.com/a.asx\">a</a>"
                                     "<a href=\"http://streams.example.com/b.wma\">b</a>");
    EXPECT_EQ(found, QStringList({QStringLiteral("http://streams.example.com/a.asx"),
                                  QStringLiteral("http://streams.example.com/b.wma")}));
    EXPECT_EQ(form->StatusBar1->panelText(1), QStringLiteral("Extracted 2 link(s)"));
}

TEST_F(StreamFinderTest, GoPressedAsARunStartsReplacesIt)
{
    // The press comes before the first run has asked for its page: only the second fetches.
    // A page of several blocks lets window messages run while it arrives.
    QByteArray page = "<a href=\"http://streams.example.com/only.asx\">only</a>\r\n";
    page += QByteArray(3000, ' ');
    servePages({{QStringLiteral("/tv/live/page.htm"), page}});
    form = loadWindow();
    form->txtURL2->setText(server->url(QStringLiteral("/tv/live/page.htm")));
    int nestedPresses = 0;
    QTimer::singleShot(0, form, [this, &nestedPresses] {
        ++nestedPresses;
        form->cmdGo_Click();
    });
    form->cmdGo_Click();
    EXPECT_EQ(nestedPresses, 1);
    EXPECT_EQ(received().count, 1);
    EXPECT_EQ(listEntries(form), QStringList{QStringLiteral("http://streams.example.com/only.asx")});

    // Once the run is over, Go runs again.
    form->cmdGo_Click();
    EXPECT_EQ(form->List1->ListCount(), 2);
}

TEST_F(StreamFinderTest, WindowClosedDuringARunLeavesNoScratchFile)
{
    QByteArray page;
    for (int i = 0; i < 50; ++i)
        page += QStringLiteral("<a href=\"http://streams.example.com/%1.asx\">x</a>\r\n").arg(i).toUtf8();
    servePages({{QStringLiteral("/tv/live/page.htm"), page}});
    QPointer<frmSubmit> window = loadWindow();
    window->txtURL2->setText(server->url(QStringLiteral("/tv/live/page.htm")));
    // Closed once the first links are listed.
    QObject::connect(window->List1->model(), &QAbstractItemModel::rowsInserted, window, [&window] {
        if (window->List1->ListCount() == 3)
            QTimer::singleShot(0, [&window] { delete window.data(); });
    });
    window->cmdGo_Click();
    EXPECT_TRUE(window.isNull());
    EXPECT_FALSE(QFile::exists(scratchPath()));
}

TEST_F(StreamFinderTest, ClickOnAFoundLinkTestPlaysItAndPutsItIntoTheAddressBox)
{
    form = loadWindow();
    form->List1->AddItem(QStringLiteral("http://127.0.0.1:9/one.asx"));
    form->List1->AddItem(QStringLiteral("http://127.0.0.1:9/two.asx"));
    form->txtURL->setText(QStringLiteral("typed"));

    // Nothing picked: nothing changes.
    form->List1_Click();
    EXPECT_EQ(form->txtURL->Text(), QStringLiteral("typed"));
    EXPECT_TRUE(form->wmp1->url().isEmpty());

    form->List1->setListIndex(1);
    EXPECT_EQ(form->txtURL->Text(), QStringLiteral("http://127.0.0.1:9/two.asx"));
    EXPECT_EQ(form->wmp1->url(), QStringLiteral("http://127.0.0.1:9/two.asx"));
}

TEST_F(StreamFinderTest, BackDirGoesUpOneFolder)
{
    form = loadWindow();
    EXPECT_EQ(form->backDir(QStringLiteral("http://host.example.com/tv/live/")),
              QStringLiteral("http://host.example.com/tv/"));
    EXPECT_EQ(form->backDir(QStringLiteral("http://host.example.com/tv/page.htm")),
              QStringLiteral("http://host.example.com/tv/"));
    EXPECT_EQ(form->backDir(QStringLiteral("https://host.example.com/a/b/")),
              QStringLiteral("https://host.example.com/a/"));
    EXPECT_EQ(form->backDir(QStringLiteral("host.example.com/a/")), QStringLiteral("host.example.com/"));
    // At the top it gives the host back, without its scheme.
    EXPECT_EQ(form->backDir(QStringLiteral("http://host.example.com/")), QStringLiteral("host.example.com/"));
    EXPECT_EQ(form->backDir(QStringLiteral("host.example.com/")), QStringLiteral("host.example.com/"));
}

namespace
{

using testsupport::ScriptedServer;
using testsupport::TimerGap;

const QByteArray kStreamPage = "<a href=\"http://streams.example.com/a.asx\">a</a>"
                               "<a href=\"http://streams.example.com/b.wmv\">b</a>";

} // namespace

TEST_F(StreamFinderTest, AddressThatNeverEndsItsReplyIsCutAndReported)
{
    // A live stream's own address pasted in: the reply never ends, fast or slow.
    ScriptedServer fast(ScriptedServer::trickledBody(1, std::string(4096, 'x')));
    ScriptedServer slow(ScriptedServer::trickledBody(100, "href=\"x.asx\" "));
    form = loadWindow();
    form->m_pageMaxBytes = 200 * 1024;
    form->m_pageMaxMs = 800;
    for (const ScriptedServer *server : {&fast, &slow}) {
        env->writeFile(scratchPath(), "left by an earlier run");
        form->txtURL2->setText(server->url(QStringLiteral("/live")));
        TimerGap gap;
        QElapsedTimer clock;
        clock.start();
        form->cmdGo_Click();
        std::printf("[timer gap] stream finder on an endless reply: %lld ms\n",
                    static_cast<long long>(gap.longest()));
        EXPECT_LT(clock.elapsed(), 5000);
        EXPECT_LT(gap.longest(), TimerGap::FrozenMs);
        EXPECT_EQ(form->StatusBar1->panelText(1),
                  QStringLiteral("Extracted 0 link(s) - the page was cut off before its end"));
        EXPECT_TRUE(listEntries(form).isEmpty());
        // A cut page goes nowhere near the scratch file.
        EXPECT_EQ(testsupport::TempEnvironment::readFile(scratchPath()),
                  QByteArray("left by an earlier run"));
    }
}

TEST_F(StreamFinderTest, CutPageListsNothingAndSecondGoTakesOver)
{
    ScriptedServer cut(ScriptedServer::cutWithLength(kStreamPage.toStdString() + std::string(500, ' '), 60));
    form = loadWindow();
    form->txtURL2->setText(cut.url(QStringLiteral("/page.htm")));
    form->cmdGo_Click();
    EXPECT_TRUE(listEntries(form).isEmpty());
    EXPECT_EQ(form->StatusBar1->panelText(1),
              QStringLiteral("Extracted 0 link(s) - the page was cut off before its end"));

    // The user gives up on a silent page and asks for another one.
    ScriptedServer silent(ScriptedServer::silent());
    ScriptedServer good(ScriptedServer::whole(kStreamPage.toStdString()));
    form->txtURL2->setText(silent.url(QStringLiteral("/page.htm")));
    QTimer::singleShot(150, form, [this, &good] {
        form->txtURL2->setText(good.url(QStringLiteral("/page.htm")));
        form->cmdGo_Click();
    });
    QElapsedTimer clock;
    clock.start();
    form->cmdGo_Click();
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(listEntries(form), (QStringList{QStringLiteral("http://streams.example.com/a.asx"),
                                              QStringLiteral("http://streams.example.com/b.wmv")}));
    EXPECT_EQ(form->StatusBar1->panelText(1), QStringLiteral("Extracted 2 link(s)"));
}

TEST_F(StreamFinderTest, ClosingTheWindowStopsItsPageDownload)
{
    ScriptedServer silent(ScriptedServer::silent());
    QPointer<frmSubmit> w = loadWindow();
    w->txtURL2->setText(silent.url(QStringLiteral("/page.htm")));
    QTimer::singleShot(150, w, [w] { w->close(); });
    QElapsedTimer clock;
    clock.start();
    w->cmdGo_Click();
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(ui::Forms::find(QStringLiteral("frmSubmit")), nullptr);
}

TEST_F(StreamFinderTest, EndlessPageIsCutAtItsBound)
{
    std::string links;
    while (links.size() < 64 * 1024)
        links += "<a href=\"http://streams.example.com/a.asx\">a</a>\n";
    ScriptedServer flood(ScriptedServer::flood(links));
    form = loadWindow();
    env->writeFile(scratchPath(), "left by an earlier run");
    form->txtURL2->setText(flood.url(QStringLiteral("/page.htm")));
    DownloadResetLargestReply();

    testsupport::MemoryPeak peak;
    QElapsedTimer clock;
    clock.start();
    form->cmdGo_Click();
    std::printf("[flood] stream finder page: %lld ms, longest reply held %lld bytes, peak memory +%.1f MiB, "
                "server sent %lld bytes\n",
                static_cast<long long>(clock.elapsed()), static_cast<long long>(DownloadLargestReply()),
                peak.growthMiB(), flood.bytesSent());

    EXPECT_EQ(DownloadLargestReply(), 8 * 1024 * 1024);
    EXPECT_EQ(form->StatusBar1->panelText(1),
              QStringLiteral("Extracted 0 link(s) - the page was cut off before its end"));
    EXPECT_TRUE(listEntries(form).isEmpty());
    EXPECT_EQ(testsupport::TempEnvironment::readFile(scratchPath()), QByteArray("left by an earlier run"));
}

TEST_F(StreamFinderTest, PageThatArrivedWhileTheUserWasBusyIsListed)
{
    // The page is in after 0.3 s; from 50 ms on the user spends 1.6 s of a 0.8 s bound on
    // something else.
    struct Action {
        const char *what;
        std::function<void()> run;
    };
    const Action actions[] = {
        {"a message box read for 1.6 s", [] { MsgBox(QStringLiteral("Reading this takes a while")); }},
        {"a long action letting messages run", [] { testsupport::busyLettingMessagesRun(1600); }},
    };
    form = loadWindow();
    form->m_pageMaxMs = 800;
    for (const Action &action : actions) {
        ScriptedServer server(ScriptedServer::delayed(300, kStreamPage.toStdString()));
        testsupport::HeldMessageBoxes held(1600);
        form->List1->Clear();
        form->txtURL2->setText(server.url(QStringLiteral("/page.htm")));
        QTimer::singleShot(50, form, action.run);
        form->cmdGo_Click();
        EXPECT_EQ(listEntries(form), (QStringList{QStringLiteral("http://streams.example.com/a.asx"),
                                                  QStringLiteral("http://streams.example.com/b.wmv")}))
            << action.what;
        EXPECT_EQ(form->StatusBar1->panelText(1), QStringLiteral("Extracted 2 link(s)")) << action.what;
    }
}
