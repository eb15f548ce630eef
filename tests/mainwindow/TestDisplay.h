// An X display as the window tests drive it: top-level windows found by title, the close box
// pressed as a window manager does, clicks and keys as a user's hands give them.
#pragma once

#include <QElapsedTimer>
#include <QPoint>
#include <QString>
#include <QThread>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace mwtest
{

// A connection to an X display with what a window manager and a user's hands do. Windows
// come and go while the tree is walked: an error is ignored, not fatal to the test process.
class TestDisplay
{
public:
    // The display named (":N"), or the one of DISPLAY when name is empty.
    explicit TestDisplay(const QString &name = QString())
        : m_display(XOpenDisplay(name.isEmpty() ? nullptr : name.toLocal8Bit().constData()))
    {
        XSetErrorHandler([](::Display *, XErrorEvent *) { return 0; });
    }
    ~TestDisplay()
    {
        if (m_display)
            XCloseDisplay(m_display);
    }
    explicit operator bool() const { return m_display != nullptr; }

    Window waitForWindow(const QString &prefix, int timeoutMs)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeoutMs) {
            if (const Window w = findWindow(DefaultRootWindow(m_display), prefix))
                return w;
            QThread::msleep(50);
        }
        return 0;
    }

    // Where a point of a window lies on the screen.
    QPoint onScreen(Window w, QPoint inWindow)
    {
        int x = 0, y = 0;
        Window child = 0;
        XTranslateCoordinates(m_display, w, DefaultRootWindow(m_display), inWindow.x(), inWindow.y(), &x, &y,
                              &child);
        return {x, y};
    }

    void pressCloseBox(Window w)
    {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = w;
        event.xclient.message_type = XInternAtom(m_display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = long(XInternAtom(m_display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(m_display, w, False, NoEventMask, &event);
        XFlush(m_display);
    }
    void click(QPoint screen)
    {
        XTestFakeMotionEvent(m_display, -1, screen.x(), screen.y(), CurrentTime);
        XTestFakeButtonEvent(m_display, 1, True, CurrentTime);
        XTestFakeButtonEvent(m_display, 1, False, CurrentTime);
    }
    void key(KeySym sym)
    {
        const KeyCode code = XKeysymToKeycode(m_display, sym);
        XTestFakeKeyEvent(m_display, code, True, CurrentTime);
        XTestFakeKeyEvent(m_display, code, False, CurrentTime);
    }
    // How many windows are on the screen; a popup menu counts, though it has no title.
    int viewableWindows()
    {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(m_display, DefaultRootWindow(m_display), &root, &parent, &children, &count))
            return 0;
        int viewable = 0;
        for (unsigned i = 0; i < count; ++i) {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(m_display, children[i], &attributes) &&
                attributes.map_state == IsViewable)
                ++viewable;
        }
        if (children)
            XFree(children);
        return viewable;
    }
    // The window that key presses go to.
    Window focus()
    {
        Window w = 0;
        int revert = 0;
        XGetInputFocus(m_display, &w, &revert);
        return w;
    }
    // Everything asked for has been handled by the server.
    void sync() { XSync(m_display, False); }

private:
    Window findWindow(Window w, const QString &prefix)
    {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(m_display, w, &attributes) && attributes.map_state == IsViewable) {
            char *name = nullptr;
            if (XFetchName(m_display, w, &name) && name) {
                const bool match = QString::fromUtf8(name).startsWith(prefix);
                XFree(name);
                if (match)
                    return w;
            }
        }
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(m_display, w, &root, &parent, &children, &count))
            return 0;
        Window found = 0;
        for (unsigned i = 0; i < count && !found; ++i)
            found = findWindow(children[i], prefix);
        if (children)
            XFree(children);
        return found;
    }

    ::Display *m_display;
};

} // namespace mwtest
