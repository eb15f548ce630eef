// Launch of the real program as a user starts it: time to its first window (the splash) and
// to its main window, both seen on the X display, and the memory of all its processes soon
// after.
#include "bench/LaunchProbe.h"

#include "platform/core/VersionInfo.h"
#include "tests/mainwindow/MainWindowSession.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <poll.h>
#include <unistd.h>

namespace bench
{
namespace
{

QString windowName(::Display *display, Window window)
{
    char *name = nullptr;
    QString text;
    if (XFetchName(display, window, &name) && name)
        text = QString::fromUtf8(name);
    if (name)
        XFree(name);
    return text;
}

// Resident memory of a process and all its descendants, in MB.
double treeResidentMb(qint64 root)
{
    QList<qint64> tree{root};
    // Parents come before children in a walk repeated until nothing new turns up.
    for (bool grew = true; grew;) {
        grew = false;
        for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            bool ok = false;
            const qint64 pid = entry.toLongLong(&ok);
            if (!ok || tree.contains(pid))
                continue;
            QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
            if (!stat.open(QIODevice::ReadOnly))
                continue;
            const QByteArray line = stat.readAll();
            const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
            if (fields.size() > 1 && tree.contains(fields[1].toLongLong())) {
                tree.append(pid);
                grew = true;
            }
        }
    }
    double kb = 0;
    for (qint64 pid : tree) {
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmRSS:"))
                kb += line.mid(6).trimmed().split(' ').value(0).toDouble();
    }
    return kb / 1024.0;
}

LaunchFigures launchOnce(const QString &program)
{
    LaunchFigures figures;
    ::Display *display = XOpenDisplay(nullptr);
    if (!display)
        return figures;
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    // A user who has chosen a language and seen the help: no first-run windows in the way.
    testsupport::TempEnvironment env;
    platform::resetVersionInfo();
    const QString product = platform::versionInfo().productName;
    for (const char *key : {"TVLang", "RadioLang", "VideoLang"})
        mwtest::putProgramSetting(QLatin1String(key), QStringLiteral("All"));
    mwtest::putProgramSetting(QStringLiteral("Language"), QStringLiteral("English"));
    mwtest::putProgramSetting(QStringLiteral("showHelp"), QStringLiteral("0"));
    QFile starter(QStringLiteral(CD_SOURCE_DIR "/resources/Data.txt"));
    if (starter.open(QIODevice::ReadOnly))
        env.writeFile(env.dataHome() + QStringLiteral("/TVDAT/Data.txt"), starter.readAll());
    const QString runtime = env.root() + QStringLiteral("/runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("CHANNELDECK_PROGRAM_FOLDER")); // its own folder, as installed
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("HOME"), env.root());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    if (geteuid() == 0 && !environment.contains(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS")))
        environment.insert(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"),
                           QStringLiteral("--no-sandbox --disable-gpu"));

    QProcess process;
    process.setProcessEnvironment(environment);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    process.start(program, {});
    if (!process.waitForStarted()) {
        XCloseDisplay(display);
        return figures;
    }

    const QString mainPrefix = product + QStringLiteral(" by ");
    pollfd fd{ConnectionNumber(display), POLLIN, 0};
    while (figures.mainMs < 0 && clock.elapsed() < 30000 && process.state() == QProcess::Running) {
        if (!XPending(display)) {
            poll(&fd, 1, 20);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != MapNotify)
            continue;
        const double ms = clock.nsecsElapsed() / 1e6;
        if (figures.firstWindowMs < 0)
            figures.firstWindowMs = ms;
        if (windowName(display, event.xmap.window).startsWith(mainPrefix))
            figures.mainMs = ms;
    }
    if (figures.mainMs >= 0) {
        QThread::msleep(3000); // what the program holds once it has settled
        figures.residentMb = treeResidentMb(process.processId());
    }
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished();
    }
    XCloseDisplay(display);
    return figures;
}

double median(std::vector<double> values)
{
    values.erase(std::remove(values.begin(), values.end(), -1.0), values.end());
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

LaunchFigures launchMedian(const QString &program, int runs)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") || !QFile::exists(program))
        return {};
    std::vector<double> first, main, memory;
    for (int i = 0; i < runs; ++i) {
        const LaunchFigures f = launchOnce(program);
        first.push_back(f.firstWindowMs);
        main.push_back(f.mainMs);
        memory.push_back(f.residentMb);
    }
    return {median(first), median(main), median(memory)};
}

} // namespace bench
