#include "mainwindow/EndProgram.h"

#include "platform/core/InstanceLock.h"
#include "platform/core/ProgramEnd.h"
#include "platform/core/VersionInfo.h"
#include "platform/ui/DoEvents.h"

#include <QGuiApplication>

#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace
{
std::function<void()> &handler()
{
    static std::function<void()> h;
    return h;
}

// How long the handlers under way get to unwind before the process ends regardless.
constexpr auto kUnwindGrace = std::chrono::seconds(2);
// A write under way is finished rather than cut off, unless the disk hangs this long.
constexpr auto kWriteGrace = std::chrono::seconds(10);

[[noreturn]] void endRegardless(const QString &program)
{
    // A loop that lets messages run is marked only while each round lasts: a look that falls
    // between two rounds is taken again.
    QStringList still = platform::underWay();
    for (int look = 0; still.isEmpty() && look < 200; ++look) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        still = platform::underWay();
    }
    QString line = program + QStringLiteral(": did not end within 2 s; still under way: ") +
                   (still.isEmpty() ? QStringLiteral("a wait that does not look at the program's end")
                                    : still.join(QStringLiteral(" > ")));
    line.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QByteArray text = line.toUtf8() + '\n';
    // Straight to the descriptor: the stuck thread may hold a lock of the C library's streams.
    for (qsizetype done = 0; done < text.size();) {
        const ssize_t n = ::write(STDERR_FILENO, text.constData() + done, size_t(text.size() - done));
        if (n <= 0)
            break;
        done += n;
    }
    std::_Exit(EndNotUnwoundExitCode);
}

} // namespace

void KeepRunningUntilEndProgram()
{
    QGuiApplication::setQuitOnLastWindowClosed(false);
    ui::watchHandlers();
}

void EndProgram()
{
    if (handler()) {
        handler()();
        return;
    }
    // Downloads, probes and modal loops give up at once, input still queued is dropped and
    // every event loop is left.
    ui::setProgramEnding(true);
    platform::releaseInstanceLock();
    QCoreApplication::exit(0);
    // A wait that does not look at the ending flag must not keep an unseen process alive.
    static std::once_flag started;
    std::call_once(started, [] {
        std::thread([program = platform::versionInfo().productName] {
            std::this_thread::sleep_for(kUnwindGrace);
            platform::waitForWrites(kWriteGrace);
            endRegardless(program);
        }).detach();
    });
}

std::function<void()> setEndProgramHandler(std::function<void()> h)
{
    return std::exchange(handler(), std::move(h));
}
