// The web browser control over Qt WebEngine.
#pragma once

#include "platform/ui/ControlProperties.h"

#include <QWebEngineView>

namespace ui
{

// Before the application object exists: the browser engine refuses to start as root inside
// its sandbox, and shares one OpenGL context with the windows.
void prepareBrowserEnvironment();

class WebBrowser : public QWebEngineView
{
    Q_OBJECT
    UI_CONTROL("WebBrowser")
    Q_PROPERTY(QString LocationURL READ LocationURL)
    Q_PROPERTY(bool Busy READ Busy)

public:
    Q_INVOKABLE explicit WebBrowser(QWidget *parent = nullptr);

    // An address ("http://...", "about:blank") or the path of a local file.
    void Navigate2(const QString &urlOrLocalPath);
    void Navigate(const QString &urlOrLocalPath) { Navigate2(urlOrLocalPath); }
    QString LocationURL() const;
    bool Busy() const { return m_busy; }

    static QUrl toUrl(const QString &urlOrLocalPath);

signals:
    // The page finished loading (successfully or not).
    void DocumentComplete();

private:
    bool m_busy = false;
};

} // namespace ui
