#pragma once

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

// A timer made by a Clock. Dropping the handle does not stop the timer;
// cancel() does. Safe to cancel twice or after it fired.
class ClockTimer {
public:
    virtual ~ClockTimer() = default;
    virtual void cancel() = 0;
    virtual bool isActive() const = 0;
};
using ClockTimerPtr = std::shared_ptr<ClockTimer>;

// Time as the application sees it: monotonic seconds, the wall clock, timers
// on the main thread and sleeps on worker threads. Code that a test must
// control takes a Clock; the tests give it a FakeClock.
class Clock {
public:
    virtual ~Clock() = default;

    // Monotonic seconds since an arbitrary start.
    virtual double now() const = 0;
    virtual QDateTime currentDateTime() const = 0;

    // Calls fn on the main thread after `seconds` (repeating: every
    // `seconds`) while context is alive. Call from the main thread.
    ClockTimerPtr schedule(double seconds, QObject* context, std::function<void()> fn,
                           bool repeating = false) {
        return scheduleTimer(seconds, context, std::move(fn), repeating);
    }
    ClockTimerPtr repeat(double seconds, QObject* context, std::function<void()> fn) {
        return schedule(seconds, context, std::move(fn), true);
    }

    // Blocks the calling (worker) thread for `seconds`.
    virtual void sleep(double seconds) = 0;

protected:
    virtual ClockTimerPtr scheduleTimer(double seconds, QObject* context,
                                        std::function<void()> fn, bool repeating) = 0;

public:
    // The real clock, shared by the whole process.
    static Clock& system();
};

class SystemClock : public Clock {
public:
    double now() const override;
    QDateTime currentDateTime() const override;
    void sleep(double seconds) override;

protected:
    ClockTimerPtr scheduleTimer(double seconds, QObject* context, std::function<void()> fn,
                                bool repeating) override;
};
