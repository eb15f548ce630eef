#include "platform/ui/player/Rejoin.h"

#include <QStringList>
#include <QTimer>
#include <algorithm>

namespace ui
{

int RejoinSchedule::waitBefore(int number) const
{
    if (number <= 1)
        return firstWaitMs;
    // Doubling from 1 s; the exponent is bounded so that long outages cannot overflow it.
    const qint64 grown = qint64(1000) << std::min(number - 2, 20);
    return int(std::clamp<qint64>(grown, firstWaitMs, longestWaitMs));
}

RejoinSchedule RejoinSchedule::fromEnvironment()
{
    RejoinSchedule schedule;
    const QStringList parts = qEnvironmentVariable("CHANNELDECK_REJOIN_SCHEDULE").split(QLatin1Char(','));
    if (parts.size() == 3) {
        bool ok[3] = {};
        const int first = parts[0].toInt(&ok[0]), longest = parts[1].toInt(&ok[1]),
                  giveUp = parts[2].toInt(&ok[2]);
        if (ok[0] && ok[1] && ok[2] && first >= 0 && longest >= first && giveUp > 0) {
            schedule.firstWaitMs = first;
            schedule.longestWaitMs = longest;
            schedule.giveUpMs = giveUp;
        }
    }
    return schedule;
}

Rejoin::Rejoin(QObject *parent)
    : QObject(parent), m_wait(new QTimer(this)), m_tryTime(new QTimer(this)), m_giveUp(new QTimer(this))
{
    for (QTimer *timer : {m_wait, m_tryTime, m_giveUp})
        timer->setSingleShot(true);
    // A coarse timer may fire 5% early: 15 s of five minutes.
    m_giveUp->setTimerType(Qt::PreciseTimer);
    connect(m_wait, &QTimer::timeout, this, [this] {
        ++m_tries;
        m_tryTime->start(m_schedule.tryMs);
        emit attempt(m_tries);
    });
    connect(m_tryTime, &QTimer::timeout, this, &Rejoin::tryFailed);
    connect(m_giveUp, &QTimer::timeout, this, [this] {
        end();
        emit gaveUp();
    });
}

void Rejoin::begin()
{
    end();
    m_active = true;
    m_giveUp->start(m_schedule.giveUpMs);
    next();
}

void Rejoin::tryFailed()
{
    if (!m_active || m_wait->isActive())
        return;
    m_tryTime->stop();
    next();
}

void Rejoin::next()
{
    // A try that would start after the time is up is not made: the give-up comes first.
    const int wait = m_schedule.waitBefore(m_tries + 1);
    if (m_giveUp->remainingTime() > wait)
        m_wait->start(wait);
}

void Rejoin::end()
{
    m_active = false;
    m_tries = 0;
    m_wait->stop();
    m_tryTime->stop();
    m_giveUp->stop();
}

} // namespace ui
