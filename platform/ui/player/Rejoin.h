// Joining a live stream again after it dropped: tries at growing waits, for a while, then gives
// up. It only keeps time; the player makes each try and reports how it went.
#pragma once

#include <QObject>

class QTimer;

namespace ui
{

struct RejoinSchedule {
    // Before the first try, and the most any later wait grows to.
    int firstWaitMs = 250;
    int longestWaitMs = 5000;
    // From the drop until the tries stop.
    int giveUpMs = 5 * 60 * 1000;
    // A try that has neither joined nor failed by then counts as failed.
    int tryMs = 15000;

    // The wait before try `number` (from 1): the first, then 1 s doubling up to the longest.
    int waitBefore(int number) const;
    // The schedule the player starts with: the one above, or one that CHANNELDECK_REJOIN_SCHEDULE
    // shortens for measuring ("first,longest,give-up" in ms).
    static RejoinSchedule fromEnvironment();
};

class Rejoin : public QObject
{
    Q_OBJECT

public:
    explicit Rejoin(QObject *parent = nullptr);

    void setSchedule(const RejoinSchedule &schedule) { m_schedule = schedule; }
    const RejoinSchedule &schedule() const { return m_schedule; }

    // The stream dropped: the tries begin.
    void begin();
    // The try under way ended without joining: the next one follows its wait.
    void tryFailed();
    // No more tries: the stream is back, or the user went elsewhere.
    void end();
    bool active() const { return m_active; }
    // Tries made since the drop.
    int tries() const { return m_tries; }

signals:
    // Make try `number` now.
    void attempt(int number);
    // The time is up; the try under way, if any, is to be given up.
    void gaveUp();

private:
    void next();

    RejoinSchedule m_schedule;
    bool m_active = false;
    int m_tries = 0;
    QTimer *m_wait;
    QTimer *m_tryTime;
    QTimer *m_giveUp;
};

} // namespace ui
