#include "platform/Notifier.h"

#include <atomic>

namespace {
class LogOnlyNotifier : public Notifier {
public:
    void notify(const QString&, const QString&) override {}
};
std::atomic<Notifier*> g_notifier{nullptr};
}  // namespace

Notifier& Notifier::shared() {
    static LogOnlyNotifier none;
    Notifier* n = g_notifier.load();
    return n ? *n : none;
}

void Notifier::setShared(Notifier* notifier) { g_notifier.store(notifier); }
