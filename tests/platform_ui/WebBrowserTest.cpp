// The web browser control loads addresses and local files.
#include "platform/ui/WebBrowser.h"
#include "tests/support/LoopbackServer.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ui;

TEST(WebBrowserTest, NavigatesToALocalFileByPath)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("youtube.html"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<html><head><title>Local Page</title></head><body>hello</body></html>");
    f.close();

    WebBrowser browser;
    browser.resize(300, 200);
    QSignalSpy done(&browser, &WebBrowser::DocumentComplete);
    browser.Navigate2(path);
    ASSERT_TRUE(done.wait(20000));
    EXPECT_EQ(browser.LocationURL(), QUrl::fromLocalFile(path).toString());
    EXPECT_EQ(browser.title(), QStringLiteral("Local Page"));
    EXPECT_FALSE(browser.Busy());
}

TEST(WebBrowserTest, NavigatesToAnAddressAndIgnoresAnEmptyHost)
{
    testsupport::LoopbackServer server;
    server.server().set_keep_alive_max_count(1); // the browser keeps no connection open past the test
    server.server().Get("/banner", [](const httplib::Request &, httplib::Response &res) {
        res.set_content("<html><head><title>Banner</title></head></html>", "text/html");
    });
    server.start();
    WebBrowser browser;
    QSignalSpy done(&browser, &WebBrowser::DocumentComplete);
    browser.Navigate2(QStringLiteral("http://")); // the build's banner address
    EXPECT_FALSE(done.wait(300));
    browser.Navigate2(server.url(QStringLiteral("/banner")));
    ASSERT_TRUE(done.wait(20000));
    EXPECT_EQ(browser.title(), QStringLiteral("Banner"));
    EXPECT_EQ(browser.LocationURL(), server.url(QStringLiteral("/banner")));
}

TEST(WebBrowserTest, TurnsPathsAndAddressesIntoUrls)
{
    EXPECT_EQ(WebBrowser::toUrl(QStringLiteral("/tmp/a b.html")),
              QUrl::fromLocalFile(QStringLiteral("/tmp/a b.html")));
    EXPECT_EQ(WebBrowser::toUrl(QStringLiteral("http://x.org/p?q=1")),
              QUrl(QStringLiteral("http://x.org/p?q=1")));
    EXPECT_EQ(WebBrowser::toUrl(QStringLiteral("www.x.org")).scheme(), QStringLiteral("http"));
    EXPECT_EQ(WebBrowser::toUrl(QString()), QUrl(QStringLiteral("about:blank")));
}
