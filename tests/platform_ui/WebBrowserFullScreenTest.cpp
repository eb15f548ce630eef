// A page's own full-screen button (a video site's player) takes the whole screen, and Escape
// brings the view back into its pane.
#include "platform/ui/WebBrowser.h"
#include "platform/ui/player/FullScreen.h"
#include "tests/support/LoopbackServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QWebEngineView>
#include <functional>
#include <gtest/gtest.h>

using namespace ui;

namespace
{

bool waitFor(const std::function<bool()> &done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

} // namespace

TEST(WebBrowserFullScreen, APageAsksFromAClickAndEscapeGivesTheViewBack)
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
