#include "platform/Pasteboard.h"

#include <atomic>

namespace {
std::atomic<Pasteboard*> g_pasteboard{nullptr};
}

Pasteboard& Pasteboard::shared() {
    static MemoryPasteboard memoryOnly;
    Pasteboard* p = g_pasteboard.load();
    return p ? *p : memoryOnly;
}

void Pasteboard::setShared(Pasteboard* pasteboard) { g_pasteboard.store(pasteboard); }
