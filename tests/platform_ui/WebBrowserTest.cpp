// The web browser control: addresses and local files, the engine started only when the
// control is first shown, local pages that embed remote frames, a quiet start, and a page's
// own full screen.
#include "platform/ui/WebBrowser.h"
#include "platform/ui/player/FullScreen.h"
#include "tests/support/LoopbackServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>
#include <functional>
#include <gtest/gtest.h>
#include <mutex>

using namespace ui;

namespace
{

QString writePage(const QTemporaryDir &dir, const QString &name, const QByteArray &html)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(html);
    return path;
}

bool waitFor(const std::function<bool()> &done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

} // namespace

TEST(WebBrowserTest, StartsTheEngineOnlyWhenFirstShownAndThenLoadsTheLastNavigation)
{
    QTemporaryDir dir;
    const QString first = writePage(dir, "first.html", "<html><head><title>First</title></head></html>");
    const QString path =
        writePage(dir, "youtube.html", "<html><head><title>Local Page</title></head></html>");

    QWidget window;
    window.resize(320, 240);
    auto *browser = new WebBrowser(&window);
    browser->resize(300, 200);
    QSignalSpy done(browser, &WebBrowser::DocumentComplete);
    browser->Navigate2(first);
    browser->Navigate2(path);
    QCoreApplication::processEvents();
    // Nothing of the engine exists yet; the control answers with the address it will show.
    EXPECT_FALSE(browser->hasView());
    EXPECT_EQ(browser->findChild<QWebEngineView *>(), nullptr);
    EXPECT_EQ(browser->LocationURL(), QUrl::fromLocalFile(path).toString());
    EXPECT_TRUE(browser->title().isEmpty());
    EXPECT_FALSE(browser->Busy());
    EXPECT_EQ(done.count(), 0);

    // A hidden pane in a shown window stays without engine.
    browser->hide();
    window.show();
    QCoreApplication::processEvents();
    EXPECT_FALSE(browser->hasView());

    browser->show();
    ASSERT_TRUE(browser->hasView());
    ASSERT_TRUE(done.wait(20000));
    EXPECT_EQ(done.count(), 1); // the first navigation was never carried out
    EXPECT_EQ(browser->title(), QStringLiteral("Local Page"));
    EXPECT_EQ(browser->LocationURL(), QUrl::fromLocalFile(path).toString());
    EXPECT_FALSE(browser->Busy());
    // The view fills the control.
    EXPECT_EQ(browser->view()->geometry(), browser->rect());

    // From now on navigations go straight to the view, shown or not.
    browser->hide();
    browser->Navigate2(first);
    ASSERT_TRUE(done.wait(20000));
    EXPECT_EQ(browser->title(), QStringLiteral("First"));
}

TEST(WebBrowserTest, AskingForTheViewStartsTheEngineWithThePendingPage)
{
    QTemporaryDir dir;
    const QString path = writePage(dir, "p.html", "<html><head><title>Asked</title></head></html>");
    WebBrowser browser;
    QSignalSpy done(&browser, &WebBrowser::DocumentComplete);
    browser.Navigate2(path);
    QWebEngineView *view = browser.view();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(browser.view(), view); // one view for the control's life
    ASSERT_TRUE(done.wait(20000));
    EXPECT_EQ(browser.title(), QStringLiteral("Asked"));
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
    browser.show();
    QSignalSpy done(&browser, &WebBrowser::DocumentComplete);
    browser.Navigate2(QStringLiteral("http://")); // the build's banner address
    EXPECT_FALSE(done.wait(300));
    browser.Navigate2(server.url(QStringLiteral("/banner")));
    ASSERT_TRUE(done.wait(20000));
    EXPECT_EQ(browser.title(), QStringLiteral("Banner"));
    EXPECT_EQ(browser.LocationURL(), server.url(QStringLiteral("/banner")));

    // Before the engine starts, an empty host does not replace the page waiting for it.
    WebBrowser hidden;
    hidden.Navigate2(server.url(QStringLiteral("/banner")));
    hidden.Navigate2(QStringLiteral("http://"));
    EXPECT_EQ(hidden.LocationURL(), server.url(QStringLiteral("/banner")));
}

TEST(WebBrowserTest, ALocalPageLoadsARemoteFrame)
{
    testsupport::LoopbackServer server;
    server.server().set_keep_alive_max_count(1);
    std::mutex mutex;
    QStringList requests;
    server.server().Get("/embed/clip", [&](const httplib::Request &req, httplib::Response &res) {
        {
            std::lock_guard lock(mutex);
            requests.append(QString::fromStdString(req.target));
        }
        res.set_content("<html><body>player</body></html>", "text/html");
    });
    server.start();
    QTemporaryDir dir;
    const QString path = writePage(dir, "video.html",
                                   "<html><body><iframe src='" + server.url("/embed/clip?rel=1").toUtf8() +
                                       "'></iframe></body></html>");
    WebBrowser browser;
    browser.resize(500, 400);
    browser.show();
    browser.Navigate2(path);
    EXPECT_TRUE(waitFor([&] {
        std::lock_guard lock(mutex);
        return !requests.isEmpty();
    }));
    std::lock_guard lock(mutex);
    EXPECT_EQ(requests.value(0), QStringLiteral("/embed/clip?rel=1"));
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

TEST(WebBrowserTest, TheEnginesStartUpReportIsQuietButItsWarningsAreNot)
{
    // The test program prepares the browser environment as the program does.
    const QLoggingCategory engine("qt.webenginecontext");
    EXPECT_FALSE(engine.isInfoEnabled());
    EXPECT_FALSE(engine.isDebugEnabled());
    EXPECT_TRUE(engine.isWarningEnabled());
    EXPECT_TRUE(engine.isCriticalEnabled());
    // Other categories keep their levels.
    EXPECT_TRUE(QLoggingCategory("qt.webengine.other").isInfoEnabled());
    EXPECT_TRUE(QLoggingCategory("qt.webengine.other").isWarningEnabled());
}

// A page's own full-screen button (a video site's player) takes the whole screen, and Escape
// brings the view back into its pane.
TEST(WebBrowserTest, APageAsksForFullScreenFromAClickAndEscapeGivesTheViewBack)
{
    testsupport::LoopbackServer server;
    // The page may ask only after a gesture of the user: a button over all of it.
    server.server().Get("/player", [](const httplib::Request &, httplib::Response &res) {
        res.set_content("<html><head><title>Player</title></head><body style='margin:0'>"
                        "<button id='b' style='position:fixed;left:0;top:0;width:100%;height:100%'"
                        " onclick='document.documentElement.requestFullscreen()'>Full</button></body></html>",
                        "text/html");
    });
    server.start();
    QWidget window;
    window.resize(500, 400);
    auto *browser = new WebBrowser(&window);
    browser->setGeometry(10, 10, 400, 300);
    window.show();
    browser->Navigate2(server.url(QStringLiteral("/player")));
    ASSERT_TRUE(waitFor([&] { return browser->title() == QLatin1String("Player") && !browser->Busy(); }));
    QWebEngineView *view = browser->view();
    ASSERT_TRUE(waitFor([&] { return view->focusProxy() != nullptr; }));
    QTest::qWait(300);

    QTest::mouseClick(view->focusProxy(), Qt::LeftButton, {}, QPoint(200, 150));
    ASSERT_TRUE(waitFor([&] { return browser->fullScreen(); }));
    EXPECT_TRUE(view->window()->isFullScreen());
    EXPECT_NE(view->window(), &window);

    QTest::keyClick(view->window(), Qt::Key_Escape);
    ASSERT_TRUE(waitFor([&] { return !browser->fullScreen(); }));
    EXPECT_EQ(view->parentWidget(), browser);
    EXPECT_EQ(view->geometry(), browser->rect());
    EXPECT_FALSE(browser->findChild<FullScreen *>()->isVisible());
    // The page itself knows it has left.
    EXPECT_TRUE(waitFor([&] {
        bool left = false;
        view->page()->runJavaScript(QStringLiteral("document.fullscreenElement === null"),
                                    [&](const QVariant &v) { left = v.toBool(); });
        QTest::qWait(50);
        return left;
    }));
}
