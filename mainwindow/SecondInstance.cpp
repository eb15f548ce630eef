#include "mainwindow/SecondInstance.h"

#include "platform/core/InstanceLock.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace
{

std::function<bool()> &check()
{
    static std::function<bool()> f;
    return f;
}

std::function<void()> &ending()
{
    static std::function<void()> f;
    return f;
}

} // namespace

bool AnotherInstanceRunning()
{
    return check() ? check()() : platform::anotherInstanceRunning();
}

void EndSecondInstance()
{
    if (ending()) {
        ending()();
        return;
    }
    // Leaving the event loop would still let the splash show the main window and the
    // windows' unload handlers run; this copy has written nothing that needs closing.
    std::fflush(nullptr);
    std::_Exit(0);
}

std::function<bool()> setInstanceCheck(std::function<bool()> f)
{
    return std::exchange(check(), std::move(f));
}

std::function<void()> setSecondInstanceEndHandler(std::function<void()> f)
{
    return std::exchange(ending(), std::move(f));
}
