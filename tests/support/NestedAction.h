// What a user does while a download waits: reads a message box for a while (the box's own
// event loop runs meanwhile), or starts something long that lets the window's messages run.
#pragma once

#include "platform/ui/DoEvents.h"
#include "platform/ui/MsgBox.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QStringList>
#include <QThread>
#include <QTimer>

namespace testsupport
{

// While it lives, every message box stays open for readMs before the user presses OK.
class HeldMessageBoxes
{
public:
    explicit HeldMessageBoxes(int readMs)
    {
        m_previous = platform::setMessageBoxPresenter([this, readMs](const platform::MessageBoxRequest &req) {
            prompts.append(req.prompt);
            QEventLoop reading;
            QTimer::singleShot(readMs, &reading, &QEventLoop::quit);
            reading.exec();
            return int(vbOK);
        });
    }
    ~HeldMessageBoxes() { platform::setMessageBoxPresenter(m_previous); }
    HeldMessageBoxes(const HeldMessageBoxes &) = delete;
    HeldMessageBoxes &operator=(const HeldMessageBoxes &) = delete;

    QStringList prompts;

private:
    platform::MessageBoxPresenter m_previous;
};

// A long action of the user's that lets the window's messages run throughout, for ms.
inline void busyLettingMessagesRun(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        DoEvents();
        QThread::msleep(5);
    }
}

} // namespace testsupport
