#include "platform/WindowWatcher.h"

#include <atomic>

#include "platform/x11/X11WindowWatcher.h"

namespace {
std::atomic<WindowWatcher*> g_shared{nullptr};
}  // namespace

WindowWatcher& WindowWatcher::shared() {
    static X11WindowWatcher real;
    WindowWatcher* p = g_shared.load();
    return p ? *p : real;
}

void WindowWatcher::setShared(WindowWatcher* watcher) {
    g_shared.store(watcher);
}
