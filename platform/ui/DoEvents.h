// Lets pending window messages run, as the system's long handlers expect.
#pragma once

#include <QCoreApplication>

inline void DoEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}
