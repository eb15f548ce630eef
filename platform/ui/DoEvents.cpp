#include "platform/ui/DoEvents.h"

#include <QCoreApplication>
#include <QList>

namespace {

int depth = 0;
bool ending = false;

QList<std::function<void()>> &pending()
{
    static QList<std::function<void()>> list;
    return list;
}

} // namespace

void DoEvents()
{
    ++depth;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (--depth == 0) {
        const QList<std::function<void()>> due = std::move(pending());
        pending().clear();
        for (const auto &fn : due)
            fn();
    }
}

namespace ui {

void afterDoEvents(std::function<void()> fn)
{
    if (depth == 0)
        fn();
    else
        pending().append(std::move(fn));
}

} // namespace ui

namespace ui {

void setProgramEnding(bool value)
{
    ending = value;
}

bool programEnding()
{
    return ending;
}

} // namespace ui
