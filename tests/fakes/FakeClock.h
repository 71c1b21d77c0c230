#pragma once

#include <QDateTime>
#include <map>
#include <mutex>
#include <vector>

#include "platform/Clock.h"

// A clock that moves only when told: advance() fires the timers that fall
// due, in time order, on the calling (main) thread. sleep() returns at once
// and records the pause, so worker code with back-offs runs without waiting.
class FakeClock : public Clock {
public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2026, 1, 1), QTime(12, 0)));

    double now() const override;
    QDateTime currentDateTime() const override;
    void sleep(double seconds) override;

    // Moves time forward by `seconds`, firing due timers on the way.
    void advance(double seconds);
    // Number of timers still pending.
    int pendingTimers() const;
    // Every pause asked of sleep(), in order.
    std::vector<double> sleeps() const;

protected:
    ClockTimerPtr scheduleTimer(double seconds, QObject* context, std::function<void()> fn,
                                bool repeating) override;

private:
    struct Entry;
    mutable std::recursive_mutex m_mutex;
    double m_now = 1000.0;
    QDateTime m_start;
    std::multimap<std::pair<double, quint64>, std::shared_ptr<Entry>> m_timers;
    quint64 m_seq = 0;
    std::vector<double> m_sleeps;
};
