#include "platform/core/Inet.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/ScriptedServer.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <thread>

using namespace platform;

namespace
{

// A root and URL handle that close themselves, for the tests that do not test closing.
struct Session {
    explicit Session(int receiveTimeoutMs = InetDefaultReceiveTimeoutMs)
        : root(inetOpen(QStringLiteral("Mozilla"), InetOpenTypeDirect))
    {
        inetSetTimeouts(root, 5000, receiveTimeoutMs);
    }
    ~Session()
    {
        if (file)
            inetCloseHandle(file);
        inetCloseHandle(root);
    }
    bool open(const QString &url, quint32 flags = InetFlagReload | InetFlagPragmaNoCache,
              const QByteArray &headers = QByteArray())
    {
        file = inetOpenUrl(root, url, headers, flags);
        return file != nullptr;
    }
    // Sizes of successive reads of blockSize until one returns 0 or fails.
    QList<qint64> readAll(qint64 blockSize, QByteArray *body = nullptr)
    {
        QList<qint64> sizes;
        QByteArray buffer(blockSize, '\0');
        for (;;) {
            qint64 n = -1;
            if (!inetReadFile(file, buffer.data(), blockSize, &n)) {
                sizes.append(-1);
                return sizes;
            }
            sizes.append(n);
            if (body)
                body->append(buffer.constData(), n);
            if (n == 0)
                return sizes;
        }
    }
    InetHandle *root;
    InetHandle *file = nullptr;
};

} // namespace

TEST(Inet, ReadsFillEachBlockUntilTheBodyEnds)
{
    testsupport::LoopbackServer server;
    const std::string body = std::string(600, 'x').replace(300, 1, 1, '\0');
    server.server().Get("/600", [&](const httplib::Request &, httplib::Response &res) {
        // Sent in small chunks: a read must still wait for a full block.
        res.set_chunked_content_provider("text/plain", [&](size_t offset, httplib::DataSink &sink) {
            const size_t n = std::min<size_t>(70, body.size() - offset);
            sink.write(body.data() + offset, n);
            if (offset + n == body.size())
                sink.done();
            return true;
        });
    });
    server.start();

    Session s;
    ASSERT_TRUE(s.open(server.url("/600")));
    QByteArray got;
    EXPECT_EQ(s.readAll(256, &got), (QList<qint64>{256, 256, 88, 0}));
    EXPECT_EQ(got, QByteArray(body.data(), qsizetype(body.size())));
}

// Remembers what the last request to "/echo" carried (the server runs on its own thread).
class InetRequest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        server.server().Get("/echo", [this](const httplib::Request &req, httplib::Response &res) {
            std::lock_guard lock(m);
            headers = req.headers;
            params = req.params;
            res.set_content("ok", "text/plain");
        });
        server.start();
    }
    std::string header(const char *name)
    {
        std::lock_guard lock(m);
        auto it = headers.find(name);
        return it == headers.end() ? std::string("<none>") : it->second;
    }
    std::string param(const char *name)
    {
        std::lock_guard lock(m);
        auto it = params.find(name);
        return it == params.end() ? std::string("<none>") : it->second;
    }
    testsupport::LoopbackServer server;
    std::mutex m;
    httplib::Headers headers;
    httplib::Params params;
};

TEST_F(InetRequest, CarriesAgentNoCacheAndExtraHeadersOnlyWhenAsked)
{
    {
        Session s;
        ASSERT_TRUE(
            s.open(server.url("/echo"), InetFlagReload | InetFlagPragmaNoCache, "X-One: 1\r\nX-Two: 2"));
    }
    EXPECT_EQ(header("User-Agent"), "Mozilla");
    EXPECT_EQ(header("Pragma"), "no-cache");
    EXPECT_EQ(header("Cache-Control"), "no-cache");
    EXPECT_EQ(header("X-One"), "1");
    EXPECT_EQ(header("X-Two"), "2");
    {
        Session s;
        ASSERT_TRUE(s.open(server.url("/echo"), 0));
    }
    EXPECT_EQ(header("Pragma"), "<none>");
    EXPECT_EQ(header("Cache-Control"), "<none>");
}

TEST_F(InetRequest, AddressWithSpacesAndEightBitCharactersIsSentEscaped)
{
    Session s;
    ASSERT_TRUE(s.open(server.url(QStringLiteral("/echo?q=big band café"))));
    EXPECT_EQ(param("q"), "big band café");
}

TEST(Inet, ErrorStatusesAndRedirectsGiveTheFinalBody)
{
    testsupport::LoopbackServer server;
    server.server().Get("/missing", [](const httplib::Request &, httplib::Response &res) {
        res.status = 404;
        res.set_content("<html>Not Found</html>", "text/html");
    });
    server.server().Get("/moved", [](const httplib::Request &, httplib::Response &res) {
        res.status = 302;
        res.set_header("Location", "/target");
        res.set_content("redirect body", "text/plain");
    });
    server.server().Get("/target", [](const httplib::Request &, httplib::Response &res) {
        res.set_content("final", "text/plain");
    });
    server.start();

    for (const auto &[path, expected] :
         {std::pair{"/missing", "<html>Not Found</html>"}, {"/moved", "final"}}) {
        Session s;
        ASSERT_TRUE(s.open(server.url(QString::fromLatin1(path)))) << path;
        QByteArray got;
        s.readAll(256, &got);
        EXPECT_EQ(got, QByteArray(expected)) << path;
    }
}

TEST(Inet, OpenFailsForUnreachableHostsAndForeignSchemes)
{
    Session s;
    const QString port = QString::number(testsupport::unusedLoopbackPort());
    EXPECT_FALSE(s.open(QStringLiteral("http://127.0.0.1:%1/").arg(port)));
    EXPECT_FALSE(s.open(QStringLiteral("file:///etc/hostname")));
    EXPECT_FALSE(s.open(QStringLiteral("mms://127.0.0.1:%1/stream").arg(port)));
    EXPECT_FALSE(s.open(QStringLiteral("not a url")));
    EXPECT_FALSE(s.open(QString()));
}

TEST(Inet, OnlyAddressesThatNameTheirSchemeOpen)
{
    testsupport::LoopbackServer server;
    server.server().Get(
        "/", [](const httplib::Request &, httplib::Response &res) { res.set_content("up", "text/plain"); });
    server.start();
    const QString hostAndPort = QStringLiteral("127.0.0.1:%1/").arg(server.port());

    // The server answers, yet an address without a scheme is not guessed into one.
    EXPECT_FALSE(Session().open(hostAndPort));
    EXPECT_FALSE(Session().open(QStringLiteral("//") + hostAndPort));
    Session upper;
    ASSERT_TRUE(upper.open(QStringLiteral("HTTP://") + hostAndPort));
    QByteArray got;
    upper.readAll(256, &got);
    EXPECT_EQ(got, QByteArray("up"));
}

TEST(Inet, SilentServerTimesOutInsteadOfHanging)
{
    // The kernel accepts the connection; nobody ever answers.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));

    Session s(300);
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(s.open(QStringLiteral("http://127.0.0.1:%1/").arg(silent.serverPort())));
    EXPECT_GE(t.elapsed(), 250);
    EXPECT_LT(t.elapsed(), 5000);
}

TEST(Inet, StalledBodyGivesWhatArrivedThenFails)
{
    testsupport::LoopbackServer server;
    server.server().Get("/stall", [](const httplib::Request &, httplib::Response &res) {
        res.set_chunked_content_provider("text/plain", [](size_t offset, httplib::DataSink &sink) {
            if (offset == 0) {
                sink.write("partial", 7);
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            return false;
        });
    });
    server.start();

    Session s(300);
    ASSERT_TRUE(s.open(server.url("/stall")));
    QByteArray got;
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(s.readAll(256, &got), (QList<qint64>{7, -1}));
    EXPECT_EQ(got, QByteArray("partial"));
    // Given up by the time-out, not by the server closing the connection at last.
    EXPECT_GE(t.elapsed(), 250);
    EXPECT_LT(t.elapsed(), 1200);
}

TEST(Inet, HandlesAreCheckedAndRootCloseTakesItsUrlHandles)
{
    testsupport::LoopbackServer server;
    server.server().Get(
        "/", [](const httplib::Request &, httplib::Response &res) { res.set_content("abc", "text/plain"); });
    server.start();

    InetHandle *root = inetOpen(QStringLiteral("Mozilla"), InetOpenTypeDirect);
    ASSERT_NE(root, nullptr);
    InetHandle *file = inetOpenUrl(root, server.url("/"), QByteArray(), 0);
    ASSERT_NE(file, nullptr);

    char buffer[8];
    qint64 n = -1;
    EXPECT_FALSE(inetReadFile(root, buffer, 8, &n)); // a root handle has no body
    EXPECT_EQ(n, 0);
    EXPECT_TRUE(inetReadFile(file, buffer, 2, &n));
    EXPECT_EQ(QByteArray(buffer, n), QByteArray("ab"));

    EXPECT_TRUE(inetCloseHandle(root));
    EXPECT_FALSE(inetReadFile(file, buffer, 8, &n));
    EXPECT_FALSE(inetCloseHandle(file));
    EXPECT_FALSE(inetCloseHandle(root));
    EXPECT_EQ(inetOpenUrl(root, server.url("/"), QByteArray(), 0), nullptr);
    EXPECT_FALSE(inetCloseHandle(nullptr));
}

namespace
{

using testsupport::ScriptedServer;

// A hook that lets the wait go on for startMs (the request goes out), then keeps the caller
// busy once for busyMs (the window running a long action) and from then on answers `after`.
InetWaitHook busyOnce(int startMs, int busyMs, bool after)
{
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    auto busyDone = std::make_shared<bool>(false);
    return [=] {
        if (clock->elapsed() < startMs)
            return true;
        if (!*busyDone) {
            *busyDone = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(busyMs));
        }
        return after;
    };
}

} // namespace

TEST(Inet, GivingUpAWaitStillTakesInWhatHasArrived)
{
    const std::string page = "<html><body><h1>404 Not Found</h1></body></html>";
    ScriptedServer server(ScriptedServer::delayed(150, page, "404 Not Found"));
    {
        // The headers and the page arrive while the hook keeps the caller busy.
        Session s;
        inetSetWaitHook(s.root, busyOnce(50, 700, false));
        ASSERT_TRUE(s.open(server.url()));
        QByteArray got;
        s.readAll(256, &got);
        EXPECT_EQ(got, QByteArray::fromStdString(page));
    }
    {
        // Part of the body is read, the rest arrives while the hook is busy.
        ScriptedServer split([](testsupport::ScriptedConnection &c) {
            if (c.readRequest() && c.send(ScriptedServer::headers(11) + "first") && c.pause(150))
                c.send("second");
        });
        Session s;
        ASSERT_TRUE(s.open(split.url()));
        char buffer[256];
        qint64 n = 0;
        ASSERT_TRUE(inetReadFile(s.file, buffer, 5, &n));
        ASSERT_EQ(QByteArray(buffer, n), QByteArray("first"));
        inetSetWaitHook(s.root, busyOnce(0, 700, false));
        QByteArray rest;
        EXPECT_EQ(s.readAll(256, &rest), (QList<qint64>{6, 0}));
        EXPECT_EQ(rest, QByteArray("second"));
    }
    {
        // Nothing has arrived: giving up fails the call at once.
        ScriptedServer silent(ScriptedServer::silent());
        Session s;
        inetSetWaitHook(s.root, [] { return false; });
        QElapsedTimer t;
        t.start();
        EXPECT_FALSE(s.open(silent.url()));
        EXPECT_LT(t.elapsed(), 1000);
    }
}

TEST(Inet, TimeTheHookTakesLeavesTheReceiveTimeoutAlone)
{
    // The server answers 1.8 s after the request; the hook holds the caller for 1.5 s of it,
    // so the server was silent for 0.3 s of the transfer's own waiting.
    ScriptedServer server(ScriptedServer::delayed(1800, "late but in time"));
    Session s(1000);
    inetSetWaitHook(s.root, busyOnce(50, 1500, true));
    ASSERT_TRUE(s.open(server.url()));
    QByteArray got;
    EXPECT_EQ(s.readAll(256, &got).last(), 0);
    EXPECT_EQ(got, QByteArray("late but in time"));

    // Silence in the transfer's own waits still ends it.
    ScriptedServer silent(ScriptedServer::silent());
    Session quiet(300);
    inetSetWaitHook(quiet.root, [] { return true; });
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(quiet.open(silent.url()));
    EXPECT_GE(t.elapsed(), 250);
    EXPECT_LT(t.elapsed(), 5000);
}
