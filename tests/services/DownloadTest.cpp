#include "services/modDownload.h"
#include "tests/support/LoopbackServer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <gtest/gtest.h>

#include <mutex>

namespace
{

// A status box that logs every text it is given and every window message it gets to run.
class RecordingBox : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Text READ text WRITE setText)
public:
    QString text() const { return m_text; }
    void setText(const QString &t)
    {
        m_text = t;
        log.append(t);
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

private:
    QString m_text;
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
    RecordingBox box;
    box.postMessage();
    EXPECT_EQ(DownloadUrlWithProgress(server.url("/bytes/600"), &box), bytes(600));
    // 256 + 256 + 88 + 0.
    EXPECT_EQ(progressOnly(box.log), (QStringList{progress(512), progress(600), progress(600)}));
    EXPECT_EQ(box.log.count(QStringLiteral("message")), 1);

    box.log.clear();
    box.postMessage();
    EXPECT_EQ(DownloadUrlWithProgress(server.url("/bytes/100"), &box), bytes(100));
    EXPECT_EQ(progressOnly(box.log), (QStringList{progress(100)}));
    QCoreApplication::sendPostedEvents(&box);
    EXPECT_EQ(box.log.count(QStringLiteral("message")), 1);

    box.log.clear();
    EXPECT_EQ(DownloadUrlWithProgress(server.url("/bytes/512"), &box), bytes(512));
    EXPECT_EQ(box.log, (QStringList{progress(512), progress(512)}));
}

TEST_F(Download, EmptyBodyAndUnreachableHostWriteNoProgress)
{
    RecordingBox box;
    box.setText(QStringLiteral("before"));
    box.log.clear();
    EXPECT_TRUE(DownloadUrlWithProgress(server.url("/bytes/0"), &box).isEmpty());
    EXPECT_TRUE(DownloadUrlWithProgress(unreachable(), &box).isEmpty());
    EXPECT_TRUE(DownloadUrlToString(unreachable()).isEmpty());
    EXPECT_TRUE(box.log.isEmpty());
    EXPECT_EQ(box.text(), QStringLiteral("before"));
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
    EXPECT_EQ(DownloadUrlWithFlags(server.url("/agent"), 0), QByteArray("ok"));
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

    RecordingBox box;
    box.postMessage();
    EXPECT_EQ(DownloadUrlWithFlags(server.url("/bytes/600"), 0, &box), bytes(600));
    EXPECT_EQ(progressOnly(box.log), (QStringList{progress(512), progress(600), progress(600)}));
    EXPECT_EQ(DownloadUrlWithFlags(server.url("/binary"), 0).size(), 768);
    EXPECT_TRUE(DownloadUrlWithFlags(unreachable(), 0).isEmpty());
}

TEST_F(Download, StatusBoxClosedDuringTheDownloadIsLeftAlone)
{
    QPointer<RecordingBox> box = new RecordingBox;
    RecordingBox *doomed = box;
    // The window closes during the first message run.
    QMetaObject::invokeMethod(
        qApp, [doomed] { delete doomed; }, Qt::QueuedConnection);
    EXPECT_EQ(DownloadUrlWithProgress(server.url("/bytes/2000"), box), bytes(2000));
    EXPECT_TRUE(box.isNull());
}

TEST_F(Download, DownloadStartedFromAMessageRunsToItsEndInside)
{
    // A second click that downloads while the first download lets messages run.
    RecordingBox outer;
    QByteArray inner;
    QMetaObject::invokeMethod(
        qApp, [&] { inner = DownloadUrlToString(server.url("/bytes/300")); }, Qt::QueuedConnection);
    EXPECT_EQ(DownloadUrlWithProgress(server.url("/bytes/1000"), &outer), bytes(1000));
    EXPECT_EQ(inner, bytes(300));
    EXPECT_EQ(outer.log.last(), progress(1000));
}

#include "DownloadTest.moc"
