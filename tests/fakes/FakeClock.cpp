#include "fakes/FakeClock.h"

#include <QPointer>

struct FakeClock::Entry : ClockTimer {
    QPointer<QObject> context;
    bool hasContext = false;
    std::function<void()> fn;
    double interval = 0;
    bool repeating = false;
    bool cancelled = false;
    bool fired = false;
    void cancel() override { cancelled = true; }
    bool isActive() const override { return !cancelled && (repeating || !fired); }
};

FakeClock::FakeClock(QDateTime start) : m_start(std::move(start)) {}

double FakeClock::now() const {
    std::lock_guard lock(m_mutex);
    return m_now;
}

QDateTime FakeClock::currentDateTime() const {
    std::lock_guard lock(m_mutex);
    return m_start.addMSecs(static_cast<qint64>((m_now - 1000.0) * 1000.0));
}

ClockTimerPtr FakeClock::scheduleTimer(double seconds, QObject* context, std::function<void()> fn,
                                            bool repeating) {
    std::lock_guard lock(m_mutex);
    auto e = std::make_shared<Entry>();
    e->context = context;
    e->hasContext = context != nullptr;
    e->fn = std::move(fn);
    e->interval = std::max(0.0, seconds);
    e->repeating = repeating;
    m_timers.emplace(std::make_pair(m_now + e->interval, m_seq++), e);
    return e;
}

void FakeClock::sleep(double seconds) {
    std::lock_guard lock(m_mutex);
    m_sleeps.push_back(seconds);
}

void FakeClock::advance(double seconds) {
    double target;
    {
        std::lock_guard lock(m_mutex);
        target = m_now + seconds;
    }
    for (;;) {
        std::shared_ptr<Entry> e;
        {
            std::lock_guard lock(m_mutex);
            auto it = m_timers.begin();
            while (it != m_timers.end() && it->second->cancelled) it = m_timers.erase(it);
            // A small tolerance so that 20 steps of 0.05 s reach 1.0 s.
            if (it == m_timers.end() || it->first.first > target + 1e-9) break;
            e = it->second;
            m_now = std::max(m_now, it->first.first);
            m_timers.erase(it);
            if (e->repeating && e->interval > 0)
                m_timers.emplace(std::make_pair(m_now + e->interval, m_seq++), e);
        }
        if (e->hasContext && !e->context) continue;
        e->fired = true;
        e->fn();
    }
    std::lock_guard lock(m_mutex);
    m_now = std::max(m_now, target);
}

int FakeClock::pendingTimers() const {
    std::lock_guard lock(m_mutex);
    int n = 0;
    for (const auto& [k, e] : m_timers)
        if (!e->cancelled && !(e->hasContext && !e->context)) ++n;
    return n;
}

std::vector<double> FakeClock::sleeps() const {
    std::lock_guard lock(m_mutex);
    return m_sleeps;
}
