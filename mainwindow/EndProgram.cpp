#include "mainwindow/EndProgram.h"

#include "platform/core/InstanceLock.h"
#include "platform/ui/DoEvents.h"

#include <QGuiApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace
{
std::function<void()> &handler()
{
    static std::function<void()> h;
    return h;
}

// How long the handlers under way get to unwind before the process ends regardless.
constexpr auto kUnwindGrace = std::chrono::seconds(2);
} // namespace

void KeepRunningUntilEndProgram()
{
    QGuiApplication::setQuitOnLastWindowClosed(false);
}

void EndProgram()
{
    if (handler()) {
        handler()();
        return;
    }
    // Downloads, probes and modal loops give up at once; every event loop is left. Files are
    // written whole inside one handler without yielding, so none is half written here.
    ui::setProgramEnding(true);
    platform::releaseInstanceLock();
    QCoreApplication::exit(0);
    // A wait that does not look at the ending flag must not keep an unseen process alive.
    std::thread([] {
        std::this_thread::sleep_for(kUnwindGrace);
        std::fflush(nullptr);
        std::_Exit(0);
    }).detach();
}

std::function<void()> setEndProgramHandler(std::function<void()> h)
{
    return std::exchange(handler(), std::move(h));
}
