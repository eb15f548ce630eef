// The program's end as every layer sees it: once it has begun no new file write starts, and
// the work still on the stack can be named when the process does not get out in time.
#pragma once

#include <QString>
#include <QStringList>

#include <chrono>

namespace platform
{

void setProgramEnding(bool ending);
bool programEnding();

// Marks a piece of work for as long as it lives: a write, a modal window, a handler that lets
// messages run. Created and destroyed on one thread, read from any.
class UnderWay
{
public:
    enum Kind { Work, Write };
    explicit UnderWay(const QString &what, Kind kind = Work);
    ~UnderWay();
    UnderWay(const UnderWay &) = delete;
    UnderWay &operator=(const UnderWay &) = delete;

private:
    quint64 m_id;
    Kind m_kind;
};

// What is under way, outermost first.
QStringList underWay();

// Waits until no write is under way, at most timeout; true when none is.
bool waitForWrites(std::chrono::milliseconds timeout);

} // namespace platform
