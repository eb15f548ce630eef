// The web browser control over Qt WebEngine.
#pragma once

#include "platform/ui/ControlProperties.h"

#include <QUrl>
#include <QWidget>

class QWebEngineFullScreenRequest;
class QWebEngineView;

namespace ui
{

class FullScreen;

// Before the application object exists: the browser engine refuses to start as root inside
// its sandbox, shares one OpenGL context with the windows, and keeps its start-up report to
// itself.
void prepareBrowserEnvironment();

// The browser engine costs a few hundred megabytes and three helper processes, and windows
// carry browser panes that most sessions never show. So the control is a plain widget until
// it is first shown (or its view is asked for); only then does it create the engine's view
// and carry out the last navigation made before.
class WebBrowser : public QWidget
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
    // The address shown or being loaded; before the engine starts, the one waiting for it.
    QString LocationURL() const;
    bool Busy() const { return m_busy; }
    // The title of the page shown; empty until the engine has started.
    QString title() const;

    // The engine's view, created on the first call.
    QWebEngineView *view();
    bool hasView() const { return m_view != nullptr; }

    static QUrl toUrl(const QString &urlOrLocalPath);
    // Whether a page (a video's own full-screen button) has the view on the whole screen.
    bool fullScreen() const;

signals:
    // The page finished loading (successfully or not).
    void DocumentComplete();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void fullScreenRequested(QWebEngineFullScreenRequest request);

    QWebEngineView *m_view = nullptr;
    FullScreen *m_fullScreen = nullptr;
    QUrl m_pending;
    bool m_busy = false;
};

} // namespace ui
