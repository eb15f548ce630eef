// The web browser control.
#include "platform/ui/WebBrowser.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <unistd.h>

namespace ui
{

void prepareBrowserEnvironment()
{
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

WebBrowser::WebBrowser(QWidget *parent) : QWebEngineView(parent)
{
    connect(this, &QWebEngineView::loadStarted, this, [this] { m_busy = true; });
    connect(this, &QWebEngineView::loadFinished, this, [this] {
        m_busy = false;
        emit DocumentComplete();
    });
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
    load(url);
}

QString WebBrowser::LocationURL() const
{
    return url().toString();
}

} // namespace ui
