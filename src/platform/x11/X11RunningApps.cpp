#include "platform/x11/X11RunningApps.h"

#include <atomic>
#include <mutex>

#include "platform/x11/X11AppWindows.h"

namespace {
std::atomic<RunningApps*> g_shared{nullptr};
}  // namespace

RunningApps& RunningApps::shared() {
    static X11RunningApps real;
    RunningApps* p = g_shared.load();
    return p ? *p : real;
}

void RunningApps::setShared(RunningApps* apps) {
    g_shared.store(apps);
}

struct X11RunningApps::Private {
    std::mutex mutex;
    Display* dpy = nullptr;
    bool opened = false;
};

X11RunningApps::X11RunningApps() : d(new Private) {}

X11RunningApps::~X11RunningApps() {
    if (d->dpy) {
        X11AppWindows::forget(d->dpy);
        XCloseDisplay(d->dpy);
    }
    delete d;
}

QList<RunningApp> X11RunningApps::applications() const {
    std::lock_guard lock(d->mutex);
    if (!d->opened) {
        d->opened = true;
        d->dpy = XOpenDisplay(nullptr);
        if (d->dpy) X11AppWindows::quietErrors(d->dpy);
    }
    QList<RunningApp> out;
    if (!d->dpy) return out;
    for (const Window w : X11AppWindows::clientWindows(d->dpy)) {
        const std::optional<AppWindow> app = X11AppWindows::appWindow(d->dpy, w);
        if (!app) continue;
        const std::optional<QString> id = AppIdentity::identifier(*app);
        if (!id) continue;
        out << RunningApp{*id, app->className, app->pid,
                          X11AppWindows::isRegular(d->dpy, w, *app)};
    }
    XSync(d->dpy, False);
    return out;
}
