// Measures how long the event loop goes without running a 10 ms timer: the longest gap is
// how long the window froze.
#pragma once

#include <QElapsedTimer>
#include <QTimer>

namespace testsupport
{

class TimerGap
{
public:
    TimerGap()
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
        m_clock.start();
        m_last = 0;
        m_timer.start();
    }
    // The longest gap so far, the time since the last tick included.
    qint64 longest() const { return std::max(m_longest, m_clock.elapsed() - m_last); }
    int ticks() const { return m_ticks; }

    // Far above a 10 ms timer's gaps on a busy machine, far below the freezes it catches
    // (which last as long as the server stalls: 0.8 s or more in the tests).
    static constexpr qint64 FrozenMs = 500;

private:
    void tick()
    {
        const qint64 now = m_clock.elapsed();
        m_longest = std::max(m_longest, now - m_last);
        m_last = now;
        ++m_ticks;
    }
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
    int m_ticks = 0;
};

} // namespace testsupport
