#include "platform/Clock.h"

#include <QTimer>
#include <chrono>
#include <thread>

namespace {
class QtClockTimer : public ClockTimer {
public:
    explicit QtClockTimer(QTimer* t) : m_timer(t) {}
    ~QtClockTimer() override = default;
    void cancel() override {
        if (m_timer) {
            m_timer->stop();
            m_timer->deleteLater();
            m_timer = nullptr;
        }
    }
    bool isActive() const override { return m_timer && m_timer->isActive(); }

private:
    QPointer<QTimer> m_timer;
};
}  // namespace

Clock& Clock::system() {
    static SystemClock clock;
    return clock;
}

double SystemClock::now() const {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

QDateTime SystemClock::currentDateTime() const { return QDateTime::currentDateTime(); }

ClockTimerPtr SystemClock::scheduleTimer(double seconds, QObject* context, std::function<void()> fn,
                                              bool repeating) {
    auto* timer = new QTimer(context);
    timer->setTimerType(Qt::PreciseTimer);
    timer->setSingleShot(!repeating);
    timer->setInterval(static_cast<int>(std::max(0.0, seconds) * 1000.0 + 0.5));
    QObject::connect(timer, &QTimer::timeout, timer, [timer, repeating, fn = std::move(fn)] {
        if (!repeating) timer->deleteLater();
        fn();
    });
    timer->start();
    return std::make_shared<QtClockTimer>(timer);
}

void SystemClock::sleep(double seconds) {
    if (seconds > 0) std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}
