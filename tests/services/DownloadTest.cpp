#include "services/modDownload.h"

#include "platform/core/Inet.h"
#include "platform/ui/DoEvents.h"
#include "platform/ui/Form.h"
#include "platform/ui/Forms.h"
#include "platform/ui/InputControls.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/WindowGuard.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/MemoryPeak.h"
#include "tests/support/NestedAction.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/TimerGap.h"

#include <QElapsedTimer>
#include <QTimer>

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <gtest/gtest.h>

#include <mutex>

namespace
{

// Logs every progress the download reports, as the text a status box would show, and every
// window message it gets to run.
class ProgressLog : public QObject
{
public:
    std::function<void(qint64)> callback()
    {
        return [this](qint64 bytes) {
            log.append(QStringLiteral("Downloaded %1 bytes.").arg(bytes));
            if (onProgress)
                onProgress();
        };
    }
    // Posts a message that logs "message" when the event loop delivers it.
    void postMessage() { QCoreApplication::postEvent(this, new QEvent(QEvent::User)); }
    bool event(QEvent *e) override
    {
        if (e->type() == QEvent::User) {
            log.append(QStringLiteral("message"));
            return true;
        }
        return QObject::event(e);
    }
    QStringList log;
    std::function<void()> onProgress; // what the box's change handler does besides
};

// A status text box that logs every text it shows.
class LoggedBox : public ui::TextBox
{
public:
    LoggedBox()
    {
        connect(this, &ui::TextBox::Change, this, [this] { shown.append(Text()); });
    }
    QStringList shown;
};

QString progress(int n)
{
    return QStringLiteral("Downloaded %1 bytes.").arg(n);
}

// The progress texts of a log, without the messages that ran between them.
QStringList progressOnly(const QStringList &log)
{
    QStringList texts = log;
    texts.removeAll(QStringLiteral("message"));
    return texts;
}

class Download : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto &s = server.server();
        s.Get(R"(/bytes/(\d+))", [](const httplib::Request &req, httplib::Response &res) {
            std::string body(std::stoul(req.matches[1]), '\0');
            for (size_t i = 0; i < body.size(); ++i)
                body[i] = char('a' + i % 26);
            res.set_content(body, "text/plain");
        });
        s.Get("/binary", [](const httplib::Request &, httplib::Response &res) {
            std::string body;
            for (int round = 0; round < 3; ++round)
                for (int c = 0; c < 256; ++c)
                    body += char(c);
            res.set_content(body, "application/octet-stream");
        });
        s.Get("/missing", [](const httplib::Request &, httplib::Response &res) {
            res.status = 404;
            res.set_content("<html><body>404 Not Found</body></html>", "text/html");
        });
        s.Get("/agent", [this](const httplib::Request &req, httplib::Response &res) {
            std::lock_guard lock(m);
            agent = req.get_header_value("User-Agent");
            pragma = req.get_header_value("Pragma");
            cacheControl = req.get_header_value("Cache-Control");
            res.set_content("ok", "text/plain");
        });
        server.start();
    }
    static QByteArray bytes(int n)
    {
        QByteArray b(n, '\0');
        for (int i = 0; i < n; ++i)
            b[i] = char('a' + i % 26);
        return b;
    }
    QString unreachable() const
    {
        return QStringLiteral("http://127.0.0.1:%1/x").arg(testsupport::unusedLoopbackPort());
    }

    testsupport::LoopbackServer server;
    std::mutex m;
    std::string agent, pragma, cacheControl;
};

} // namespace

TEST_F(Download, ProgressFollowsEveryReadButTheFirstAndMessagesRun)
{
    ProgressLog box;
    DownloadOptions options;
    options.progress = box.callback();
    box.postMessage();
    EXPECT_EQ(DownloadUrl(server.url("/bytes/600"), options).body, bytes(600));
    // 256 + 256 + 88 + 0.
    EXPECT_EQ(progressOnly(box.log), (QStringList{progress(512), progress(600), progress(600)}));
    EXPECT_EQ(box.log.count(QStringLiteral("message")), 1);

    box.log.clear();
    box.postMessage();
    EXPECT_EQ(DownloadUrl(server.url("/bytes/100"), options).body, bytes(100));
    EXPECT_EQ(progressOnly(box.log), (QStringList{progress(100)}));
    QCoreApplication::sendPostedEvents(&box);
    EXPECT_EQ(box.log.count(QStringLiteral("message")), 1);

    box.log.clear();
    EXPECT_EQ(DownloadUrl(server.url("/bytes/512"), options).body, bytes(512));
    EXPECT_EQ(box.log, (QStringList{progress(512), progress(512)}));
}

TEST_F(Download, ProgressIsWrittenIntoTheStatusBox)
{
    LoggedBox box;
    EXPECT_EQ(DownloadUrlWithProgress(server.url("/bytes/600"), &box), bytes(600));
    // The box shows each new count; the repeated last one changes nothing.
    EXPECT_EQ(box.shown, (QStringList{progress(512), progress(600)}));
    EXPECT_EQ(box.Text(), progress(600));

    EXPECT_EQ(DownloadUrlWithProgress(server.url("/bytes/100"), &box), bytes(100));
    EXPECT_EQ(box.Text(), progress(100));
}

TEST_F(Download, EmptyBodyAndUnreachableHostWriteNoProgress)
{
    LoggedBox box;
    box.setText(QStringLiteral("before"));
    box.shown.clear();
    EXPECT_TRUE(DownloadUrlWithProgress(server.url("/bytes/0"), &box).isEmpty());
    EXPECT_TRUE(DownloadUrlWithProgress(unreachable(), &box).isEmpty());
    EXPECT_TRUE(DownloadUrlToString(unreachable()).isEmpty());
    EXPECT_TRUE(box.shown.isEmpty());
    EXPECT_EQ(box.Text(), QStringLiteral("before"));

    ProgressLog log;
    DownloadOptions options;
    options.progress = log.callback();
    EXPECT_TRUE(DownloadUrl(server.url("/bytes/0"), options).body.isEmpty());
    EXPECT_TRUE(DownloadUrl(unreachable(), options).body.isEmpty());
    EXPECT_TRUE(log.log.isEmpty());
}

TEST_F(Download, BodiesComeBackByteExactWhateverTheStatus)
{
    const QByteArray binary = DownloadUrlToString(server.url("/binary"));
    ASSERT_EQ(binary.size(), 768);
    for (int i = 0; i < binary.size(); ++i)
        ASSERT_EQ(static_cast<unsigned char>(binary[i]), i % 256) << i;

    EXPECT_EQ(DownloadUrlToString(server.url("/missing")),
              QByteArray("<html><body>404 Not Found</body></html>"));
    EXPECT_EQ(DownloadUrlToString(server.url("/bytes/100000")), bytes(100000));
}

TEST_F(Download, AsksAsMozillaWithoutCaches)
{
    EXPECT_EQ(DownloadUrlToString(server.url("/agent")), QByteArray("ok"));
    std::lock_guard lock(m);
    EXPECT_EQ(agent, "Mozilla");
    EXPECT_EQ(pragma, "no-cache");
}

TEST_F(Download, OpenFlagsAreTheCallersAndTheReadsStayTheSame)
{
    DownloadOptions cached;
    cached.openUrlFlags = 0;
    EXPECT_EQ(DownloadUrl(server.url("/agent"), cached).body, QByteArray("ok"));
    {
        std::lock_guard lock(m);
        EXPECT_EQ(agent, "Mozilla");
        EXPECT_EQ(pragma, "");
        EXPECT_EQ(cacheControl, "");
    }
    EXPECT_EQ(DownloadUrlToString(server.url("/agent")), QByteArray("ok"));
    {
        std::lock_guard lock(m);
        EXPECT_EQ(cacheControl, "no-cache");
    }

    ProgressLog box;
    cached.progress = box.callback();
    box.postMessage();
    EXPECT_EQ(DownloadUrl(server.url("/bytes/600"), cached).body, bytes(600));
    EXPECT_EQ(progressOnly(box.log), (QStringList{progress(512), progress(600), progress(600)}));
    EXPECT_EQ(box.log.count(QStringLiteral("message")), 1);
    cached.progress = {};
    EXPECT_EQ(DownloadUrl(server.url("/binary"), cached).body.size(), 768);
    EXPECT_TRUE(DownloadUrl(unreachable(), cached).body.isEmpty());
}

TEST_F(Download, StatusBoxClosedDuringTheDownloadIsLeftAlone)
{
    QPointer<LoggedBox> box = new LoggedBox;
    LoggedBox *doomed = box;
    // The window closes during the first message run.
    QMetaObject::invokeMethod(
        qApp, [doomed] { delete doomed; }, Qt::QueuedConnection);
    EXPECT_EQ(DownloadUrlWithProgress(server.url("/bytes/2000"), box), bytes(2000));
    EXPECT_TRUE(box.isNull());
}

TEST_F(Download, DownloadStartedFromAMessageRunsToItsEndInside)
{
    // A second click that downloads while the first download lets messages run.
    LoggedBox outer;
    QByteArray inner;
    QMetaObject::invokeMethod(
        qApp, [&] { inner = DownloadUrlToString(server.url("/bytes/300")); }, Qt::QueuedConnection);
    EXPECT_EQ(DownloadUrlWithProgress(server.url("/bytes/1000"), &outer), bytes(1000));
    EXPECT_EQ(inner, bytes(300));
    EXPECT_EQ(outer.Text(), progress(1000));
}

namespace
{

using testsupport::ScriptedServer;
using testsupport::TimerGap;

class DownloadFaults : public ::testing::Test
{
protected:
    void SetUp() override { platform::inetSetDefaultTimeouts(800, 800); }
    void TearDown() override
    {
        ui::setProgramEnding(false);
        platform::inetSetDefaultTimeouts(platform::InetDefaultConnectTimeoutMs,
                                         platform::InetDefaultReceiveTimeoutMs);
    }
};

// A window whose requests of one kind are counted.
class RequestingWindow : public ui::Form
{
public:
    RequestingWindow() : ui::Form(QStringLiteral("OwnerWindow")) {}
    quint64 requests = 0;
};

std::string letters(size_t n)
{
    std::string s(n, ' ');
    for (size_t i = 0; i < n; ++i)
        s[i] = char('a' + i % 26);
    return s;
}

} // namespace

TEST_F(DownloadFaults, WholeRepliesAreToldFromCutOnes)
{
    const std::string body = letters(5000);
    struct Case {
        const char *what;
        ScriptedServer::Script script;
        bool whole;
        size_t arrives;
    };
    const Case cases[] = {
        {"with Content-Length", ScriptedServer::whole(body), true, body.size()},
        {"ended by closing",
         [body](testsupport::ScriptedConnection &c) {
             if (c.readRequest())
                 c.send(ScriptedServer::headers() + body);
         },
         true, body.size()},
        {"cut short of its Content-Length", ScriptedServer::cutWithLength(body, 3000), false, 3000},
        {"chunked, cut before its last chunk", ScriptedServer::cutChunked(body, 3000), false, 3000},
        {"stalled before its end", ScriptedServer::stallAfter(body.substr(0, 700), 5000), false, 700},
    };
    for (const Case &c : cases) {
        ScriptedServer server(c.script);
        const DownloadResult result = DownloadUrl(server.url());
        EXPECT_EQ(result.whole, c.whole) << c.what;
        EXPECT_FALSE(result.cut) << c.what;
        EXPECT_FALSE(result.stopped) << c.what;
        EXPECT_EQ(result.body, QByteArray::fromStdString(body.substr(0, c.arrives))) << c.what;
        // Callers that only read the text get what arrived, as before.
        EXPECT_EQ(DownloadUrlToString(server.url()), result.body) << c.what;
    }
    // Nothing opened is nothing whole.
    const DownloadResult refused =
        DownloadUrl(QStringLiteral("http://127.0.0.1:%1/").arg(testsupport::unusedLoopbackPort()));
    EXPECT_FALSE(refused.whole);
    EXPECT_TRUE(refused.body.isEmpty());
}

TEST_F(DownloadFaults, NoWaitFreezesTheWindow)
{
    struct Case {
        const char *what;
        ScriptedServer::Script script;
    };
    const Case cases[] = {
        {"silent server", ScriptedServer::silent()},
        {"header lines every 0.2 s", ScriptedServer::trickledHeaders(200)},
        {"a byte every 0.25 s", ScriptedServer::trickledBody(250)},
        {"stalled mid-body", ScriptedServer::stallAfter(letters(300), 1000)},
    };
    for (const Case &c : cases) {
        ScriptedServer server(c.script);
        DownloadOptions options;
        options.maxMs = 1500; // the trickles never end on their own
        TimerGap gap;
        ProgressLog box;
        options.progress = box.callback();
        const DownloadResult result = DownloadUrl(server.url(), options);
        std::printf("[timer gap] download, %s: %lld ms\n", c.what, static_cast<long long>(gap.longest()));
        EXPECT_LT(gap.longest(), TimerGap::FrozenMs) << c.what;
        EXPECT_GT(gap.ticks(), 40) << c.what;
        EXPECT_FALSE(result.whole) << c.what;
    }
}

TEST_F(DownloadFaults, BoundsCutTheReplyAndKeepWhatArrived)
{
    ScriptedServer endless(ScriptedServer::trickledBody(1, std::string(1000, 'x')));
    DownloadOptions bySize;
    bySize.maxBytes = 10000;
    DownloadResult result = DownloadUrl(endless.url(), bySize);
    EXPECT_TRUE(result.cut);
    EXPECT_FALSE(result.whole);
    EXPECT_EQ(result.body, QByteArray(10000, 'x'));

    // The time bound holds while the headers are still coming.
    ScriptedServer headers(ScriptedServer::trickledHeaders(100));
    DownloadOptions byTime;
    byTime.maxMs = 600;
    QElapsedTimer clock;
    clock.start();
    result = DownloadUrl(headers.url(), byTime);
    EXPECT_LT(clock.elapsed(), 3000); // the trickle itself never ends
    EXPECT_TRUE(result.cut);
    EXPECT_TRUE(result.body.isEmpty());
}

TEST_F(DownloadFaults, ClosedOwnerUnwantedReplyAndTheProgramsEndStopTheDownload)
{
    platform::inetSetDefaultTimeouts(30000, 30000);
    ScriptedServer silent(ScriptedServer::silent());
    ui::Forms::registerClass(QStringLiteral("OwnerWindow"), [] { return new RequestingWindow; });

    const auto stopsSoon = [&](const char *what, DownloadOptions options, const std::function<void()> &act) {
        QTimer::singleShot(100, act);
        QElapsedTimer clock;
        clock.start();
        const DownloadResult result = DownloadUrl(silent.url(), options);
        EXPECT_LT(clock.elapsed(), 5000) << what; // the server would hold it 30 s
        EXPECT_TRUE(result.stopped) << what;
        EXPECT_FALSE(result.whole) << what;
    };

    DownloadOptions owned;
    owned.guard = ui::WindowGuard(ui::Forms::load(QStringLiteral("OwnerWindow")));
    stopsSoon("owner window closed", owned, [] { ui::Forms::find(QStringLiteral("OwnerWindow"))->close(); });

    // A newer request of the same window takes the place of the one under way.
    auto *window = static_cast<RequestingWindow *>(ui::Forms::load(QStringLiteral("OwnerWindow")));
    DownloadOptions unwanted;
    unwanted.guard = ui::WindowGuard::newTicket(window, window->requests);
    stopsSoon("no longer wanted", unwanted, [window] { ++window->requests; });
    ui::Forms::unloadAll();

    stopsSoon("program ending", {}, [] { ui::setProgramEnding(true); });
    // While the program ends, nothing new starts and no box waits for an answer.
    const int connections = silent.connections();
    EXPECT_TRUE(DownloadUrl(silent.url()).stopped);
    EXPECT_EQ(silent.connections(), connections);
    EXPECT_EQ(MsgBox(QStringLiteral("Nobody reads this"), vbYesNo), vbNo);
    EXPECT_EQ(MsgBox(QStringLiteral("Nobody reads this")), vbOK);
}

TEST_F(DownloadFaults, FloodIsCutAtTheBoundAndNoMoreIsKept)
{
    ScriptedServer flood(ScriptedServer::flood(std::string(64 * 1024, 'f')));
    DownloadResetLargestReply();
    DownloadOptions small;
    small.maxBytes = 1024 * 1024;
    DownloadResult result = DownloadUrl(flood.url(), small);
    EXPECT_TRUE(result.cut);
    EXPECT_FALSE(result.whole);
    EXPECT_EQ(result.body, QByteArray(1024 * 1024, 'f'));
    EXPECT_EQ(DownloadLargestReply(), 1024 * 1024);

    // Without a bound of its own a download still has one; the plain calls too.
    DownloadResetLargestReply();
    result = {};
    {
        testsupport::MemoryPeak peak;
        result = DownloadUrl(flood.url());
        std::printf("[flood] default bound: peak memory +%.1f MiB\n", peak.growthMiB());
    }
    EXPECT_TRUE(result.cut);
    EXPECT_EQ(result.body.size(), DownloadMaxBytes);
    EXPECT_EQ(DownloadUrlToString(flood.url()).size(), DownloadMaxBytes);
    EXPECT_EQ(DownloadLargestReply(), DownloadMaxBytes);
    // A bound asked for above the ceiling stops at the ceiling.
    DownloadOptions huge;
    huge.maxBytes = 4 * DownloadCeilingBytes;
    EXPECT_EQ(DownloadUrl(flood.url(), huge).body.size(), DownloadCeilingBytes);
    EXPECT_EQ(DownloadLargestReply(), DownloadCeilingBytes);
}

TEST_F(DownloadFaults, ReplyEndingRightAtTheBoundIsWhole)
{
    const std::string body = letters(10000);
    for (const bool chunked : {false, true}) {
        ScriptedServer server(chunked ? ScriptedServer::Script([body](testsupport::ScriptedConnection &c) {
            if (c.readRequest())
                c.send(ScriptedServer::headers(-1, "Transfer-Encoding: chunked\r\n") + "2710\r\n" + body +
                       "\r\n0\r\n\r\n");
        })
                                      : ScriptedServer::whole(body));
        DownloadOptions exact;
        exact.maxBytes = 10000;
        DownloadResult result = DownloadUrl(server.url(), exact);
        EXPECT_TRUE(result.whole) << chunked;
        EXPECT_FALSE(result.cut) << chunked;
        EXPECT_EQ(result.body, QByteArray::fromStdString(body)) << chunked;

        DownloadOptions oneShort;
        oneShort.maxBytes = 9999;
        result = DownloadUrl(server.url(), oneShort);
        EXPECT_TRUE(result.cut) << chunked;
        EXPECT_EQ(result.body, QByteArray::fromStdString(body.substr(0, 9999))) << chunked;
    }
}

TEST_F(DownloadFaults, TimeTheUserSpendsElsewhereLeavesTheBoundAlone)
{
    // The user is busy with something else for 1 s of a 0.6 s bound, from 50 ms on; the reply
    // arrives during that time or 0.3 s after it.
    const std::string page = "<html><body><h1>404 Not Found</h1></body></html>";
    struct Action {
        const char *what;
        std::function<void()> run;
    };
    const Action actions[] = {
        {"a message box read for 1 s", [] { MsgBox(QStringLiteral("Reading this takes a while")); }},
        {"a long action letting messages run", [] { testsupport::busyLettingMessagesRun(1000); }},
    };
    for (const Action &action : actions) {
        for (const int arrivesMs : {150, 1300}) {
            ScriptedServer server(ScriptedServer::delayed(arrivesMs, page, "404 Not Found"));
            testsupport::HeldMessageBoxes boxes(1000);
            DownloadOptions options;
            options.maxMs = 600;
            QTimer::singleShot(50, action.run);
            const DownloadResult result = DownloadUrl(server.url(), options);
            EXPECT_TRUE(result.whole) << action.what << ", reply after " << arrivesMs << " ms";
            EXPECT_FALSE(result.cut) << action.what << ", reply after " << arrivesMs << " ms";
            EXPECT_EQ(result.body, QByteArray::fromStdString(page)) << action.what;
        }
    }

    // A box opened from the status box's change handler between two reads does not count
    // either.
    const std::string body = letters(3000);
    ScriptedServer slowEnd([body](testsupport::ScriptedConnection &c) {
        if (c.readRequest() &&
            c.send(ScriptedServer::headers((long long)body.size()) + body.substr(0, 1000)) && c.pause(1300))
            c.send(body.substr(1000));
    });
    testsupport::HeldMessageBoxes boxes(1000);
    ProgressLog progressBox;
    progressBox.onProgress = [&boxes] {
        if (boxes.prompts.isEmpty())
            MsgBox(QStringLiteral("Reading this takes a while"));
    };
    DownloadOptions options;
    options.maxMs = 600;
    options.progress = progressBox.callback();
    const DownloadResult result = DownloadUrl(slowEnd.url(), options);
    EXPECT_TRUE(result.whole);
    EXPECT_EQ(result.body, QByteArray::fromStdString(body));
    EXPECT_EQ(boxes.prompts.size(), 1);
}
