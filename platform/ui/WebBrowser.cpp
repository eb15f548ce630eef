// The web browser control.
#include "platform/ui/WebBrowser.h"

#include "platform/ui/player/FullScreen.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QShortcut>
#include <QVBoxLayout>
#include <QWebEngineFullScreenRequest>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <unistd.h>
#include <utility>

namespace ui
{

void prepareBrowserEnvironment()
{
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The engine describes its set-up on every start; its warnings still get through, and
    // QT_LOGGING_RULES can bring the rest back.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.debug=false\n"
                                                    "qt.webenginecontext.info=false"));
}

WebBrowser::WebBrowser(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

QWebEngineView *WebBrowser::view()
{
    if (m_view)
        return m_view;
    m_view = new QWebEngineView(this);
    // The pages shown are mostly local files (the video page) that embed a remote player.
    m_view->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    // A video's own full-screen button.
    m_view->settings()->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, true);
    connect(m_view->page(), &QWebEnginePage::fullScreenRequested, this, &WebBrowser::fullScreenRequested);
    connect(m_view, &QWebEngineView::loadStarted, this, [this] { m_busy = true; });
    connect(m_view, &QWebEngineView::loadFinished, this, [this] {
        m_busy = false;
        emit DocumentComplete();
    });
    layout()->addWidget(m_view);
    setFocusProxy(m_view);
    m_view->show();
    if (!m_pending.isEmpty())
        m_view->load(std::exchange(m_pending, QUrl()));
    return m_view;
}

bool WebBrowser::fullScreen() const
{
    return m_fullScreen && m_fullScreen->active();
}

void WebBrowser::fullScreenRequested(QWebEngineFullScreenRequest request)
{
    request.accept();
    if (!m_fullScreen) {
        m_fullScreen = new FullScreen(this);
        // Only while the page fills the screen, in that window alone: the page leaves, and asks
        // the view back through the request below.
        for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_F11}) {
            auto *leave = new QShortcut(key, m_fullScreen);
            connect(leave, &QShortcut::activated, this,
                    [this] { m_view->triggerPageAction(QWebEnginePage::ExitFullScreen); });
        }
    }
    if (request.toggleOn()) {
        m_fullScreen->enter(m_view, nullptr, this);
    } else if (m_fullScreen->active()) {
        m_fullScreen->leave();
        layout()->addWidget(m_view);
        m_view->setFocus();
    }
}

void WebBrowser::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    view();
}

QUrl WebBrowser::toUrl(const QString &urlOrLocalPath)
{
    const QString s = urlOrLocalPath.trimmed();
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:"));
    if (s.isEmpty())
        return QUrl(QStringLiteral("about:blank"));
    if (s.startsWith(QLatin1Char('/')) || QFileInfo::exists(s))
        return QUrl::fromLocalFile(QDir::cleanPath(QFileInfo(s).absoluteFilePath()));
    if (scheme.match(s).hasMatch())
        return QUrl(s);
    return QUrl::fromUserInput(s);
}

void WebBrowser::Navigate2(const QString &urlOrLocalPath)
{
    const QUrl url = toUrl(urlOrLocalPath);
    // An address without a host ("http://") leads nowhere; the page stays as it is.
    if (!url.isValid() || (url.scheme().startsWith(QLatin1String("http")) && url.host().isEmpty()))
        return;
    if (m_view)
        m_view->load(url);
    else
        m_pending = url; // a later navigation replaces one that never started
}

QString WebBrowser::LocationURL() const
{
    return m_view ? m_view->url().toString() : m_pending.toString();
}

QString WebBrowser::title() const
{
    return m_view ? m_view->title() : QString();
}

} // namespace ui
