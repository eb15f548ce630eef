// The real program on the X display, driven the way a window manager drives it: the first
// run's language chooser closed by its close box must not end the program, and the main
// window's close box must end the process at once with its lock given back.
#include "platform/core/InstanceLock.h"
#include "platform/core/VersionInfo.h"
#include "services/modSettings.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <functional>

namespace
{

// A connection to the display the tests run under, with the few calls a window manager makes.
class WindowManagerStandIn
{
public:
    WindowManagerStandIn() : m_display(XOpenDisplay(nullptr))
    {
        // Windows come and go while the tree is walked; Xlib's own handler would end the test
        // process on the first BadWindow and leave the program running.
        XSetErrorHandler([](::Display *, XErrorEvent *) { return 0; });
    }
    ~WindowManagerStandIn()
    {
        if (m_display)
            XCloseDisplay(m_display);
    }
    explicit operator bool() const { return m_display != nullptr; }

    // The first viewable top-level window whose title starts with prefix, or 0.
    Window findWindow(const QString &prefix)
    {
        Window found = 0;
        walk(DefaultRootWindow(m_display), [&](Window w) {
            XWindowAttributes attributes;
            if (found || !XGetWindowAttributes(m_display, w, &attributes) ||
                attributes.map_state != IsViewable)
                return;
            char *name = nullptr;
            if (XFetchName(m_display, w, &name) && name) {
                if (QString::fromUtf8(name).startsWith(prefix))
                    found = w;
                XFree(name);
            }
        });
        return found;
    }

    Window waitForWindow(const QString &prefix, int timeoutMs)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeoutMs) {
            if (const Window w = findWindow(prefix))
                return w;
            QThread::msleep(50);
        }
        return 0;
    }

    // What a window manager sends when the user presses a window's close box.
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

private:
    void walk(Window w, const std::function<void(Window)> &visit)
    {
        visit(w);
        Window root = 0;
        Window parent = 0;
        Window *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(m_display, w, &root, &parent, &children, &count))
            return;
        for (unsigned i = 0; i < count; ++i)
            walk(children[i], visit);
        if (children)
            XFree(children);
    }

    ::Display *m_display;
};

} // namespace

TEST(ProgramWindows, FirstRunChooserClosedByItsCloseBoxThenMainWindowClosedEndsAtOnce)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "no X display (run under xvfb-run)";
    WindowManagerStandIn display;
    ASSERT_TRUE(display);

    testsupport::TempEnvironment env;
    platform::resetVersionInfo();
    const QString runtime = env.programFolder() + QStringLiteral("/runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    env.setEnv("XDG_RUNTIME_DIR", runtime.toUtf8());
    env.writeFile(env.dataHome() + QStringLiteral("/TVDAT/Data.txt"),
                  "1|News|TV|http://127.0.0.1:9/news|English|1/1/01|1/1/01|1/1/01|5|\r\n");
    // A first run: no language saved, and the help is shown, through openers that only note
    // the request (the help launcher's window comes and goes meanwhile).
    const QString bin = env.programFolder() + QStringLiteral("/fakebin");
    const QString opened = env.programFolder() + QStringLiteral("/opened.txt");
    QDir().mkpath(bin);
    for (const char *opener : {"xdg-open", "xchm", "kchmviewer"}) {
        const QString path = bin + QLatin1Char('/') + QLatin1String(opener);
        env.writeFile(path, QStringLiteral("#!/bin/sh\necho \"$@\" >> '%1'\n").arg(opened).toUtf8());
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QFile::copy(QStringLiteral(CD_BINARY_DIR "/bin/Help.chm"),
                env.programFolder() + QStringLiteral("/Help.chm"));

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("CHANNELDECK_HEADLESS_MEDIA"), QStringLiteral("1"));
    environment.insert(QStringLiteral("HOME"), env.programFolder());
    environment.insert(QStringLiteral("PATH"),
                       bin + QLatin1Char(':') + environment.value(QStringLiteral("PATH")));
    program.setProcessEnvironment(environment);
    // Its output goes nowhere: a program left running must not hold the test's output open.
    program.setStandardOutputFile(QProcess::nullDevice());
    program.setStandardErrorFile(QProcess::nullDevice());
    program.start(QStringLiteral(CD_BINARY_DIR "/bin/channeldeck"), {});
    ASSERT_TRUE(program.waitForStarted());

    const Window chooser = display.waitForWindow(QStringLiteral("Language Selection"), 30000);
    ASSERT_NE(chooser, 0u) << "the first run shows the language chooser";
    display.pressCloseBox(chooser);

    const Window main =
        display.waitForWindow(platform::versionInfo().productName + QStringLiteral(" by "), 15000);
    EXPECT_NE(main, 0u) << "the main window comes up after the chooser";
    EXPECT_EQ(program.state(), QProcess::Running);
    EXPECT_EQ(GetProgramSetting(QStringLiteral("Language")), QStringLiteral("English"));
    EXPECT_TRUE(QFile::exists(opened)) << "the first run's help went to the viewer";
    ASSERT_TRUE(QFile::exists(platform::instanceLockPath()));

    if (main)
        display.pressCloseBox(main);
    EXPECT_TRUE(program.waitForFinished(main ? 3000 : 0));
    if (program.state() != QProcess::NotRunning) {
        program.kill();
        program.waitForFinished();
    }
    EXPECT_FALSE(QFile::exists(platform::instanceLockPath()));
}
