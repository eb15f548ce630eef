#include "mainwindow/EndProgram.h"

#include <QCoreApplication>

namespace
{
std::function<void()> &handler()
{
    static std::function<void()> h;
    return h;
}
} // namespace

void EndProgram()
{
    if (handler())
        handler()();
    else
        QCoreApplication::exit(0);
}

std::function<void()> setEndProgramHandler(std::function<void()> h)
{
    return std::exchange(handler(), std::move(h));
}
