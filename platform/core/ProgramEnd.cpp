#include "platform/core/ProgramEnd.h"

#include <QList>

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace platform
{
namespace
{

std::atomic<bool> ending{false};

struct Entry {
    quint64 id;
    QString what;
};

struct Registry {
    std::mutex mutex;
    std::condition_variable writesDone;
    QList<Entry> entries;
    quint64 nextId = 1;
    int writes = 0;
};

Registry &registry()
{
    // Never destroyed: the last-resort exit reads it from another thread while statics go.
    static Registry *r = new Registry;
    return *r;
}

} // namespace

void setProgramEnding(bool value)
{
    ending = value;
}

bool programEnding()
{
    return ending;
}

UnderWay::UnderWay(const QString &what, Kind kind) : m_kind(kind)
{
    Registry &r = registry();
    const std::lock_guard lock(r.mutex);
    m_id = r.nextId++;
    r.entries.append({m_id, what});
    if (kind == Write)
        ++r.writes;
}

UnderWay::~UnderWay()
{
    Registry &r = registry();
    {
        const std::lock_guard lock(r.mutex);
        r.entries.removeIf([this](const Entry &e) { return e.id == m_id; });
        if (m_kind == Write)
            --r.writes;
    }
    if (m_kind == Write)
        r.writesDone.notify_all();
}

QStringList underWay()
{
    Registry &r = registry();
    const std::lock_guard lock(r.mutex);
    QStringList list;
    for (const Entry &e : std::as_const(r.entries))
        list.append(e.what);
    return list;
}

bool waitForWrites(std::chrono::milliseconds timeout)
{
    Registry &r = registry();
    std::unique_lock lock(r.mutex);
    return r.writesDone.wait_for(lock, timeout, [&r] { return r.writes == 0; });
}

} // namespace platform
