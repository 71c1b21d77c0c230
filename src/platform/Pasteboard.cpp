#include "platform/Pasteboard.h"

#include <atomic>

namespace {
std::atomic<Pasteboard*> g_pasteboard{nullptr};
std::atomic<Pasteboard*> g_primary{nullptr};
}

Pasteboard& Pasteboard::shared() {
    static MemoryPasteboard memoryOnly;
    Pasteboard* p = g_pasteboard.load();
    return p ? *p : memoryOnly;
}

void Pasteboard::setShared(Pasteboard* pasteboard) { g_pasteboard.store(pasteboard); }

Pasteboard* Pasteboard::sharedPrimary() { return g_primary.load(); }

void Pasteboard::setSharedPrimary(Pasteboard* pasteboard) { g_primary.store(pasteboard); }
