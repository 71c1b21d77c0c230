#include "platform/FrontmostApp.h"
#include "platform/x11/X11FrontmostApp.h"

#include <QByteArray>
#include <atomic>
#include <mutex>

#include "platform/x11/X11AppWindows.h"

// X11 headers last: their macros clash with Qt.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {
std::atomic<FrontmostApp*> g_shared{nullptr};

Window activeWindow(Display* dpy) {
    const Atom prop = XInternAtom(dpy, "_NET_ACTIVE_WINDOW", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    Window w = 0;
    if (XGetWindowProperty(dpy, DefaultRootWindow(dpy), prop, 0, 1, False, XA_WINDOW, &type,
                           &format, &count, &after, &data) == Success &&
        data) {
        if (type == XA_WINDOW && format == 32 && count == 1)
            w = static_cast<Window>(*reinterpret_cast<unsigned long*>(data));
        XFree(data);
    }
    if (w) return w;
    // No window manager: the window holding the input focus.
    int revert = 0;
    XGetInputFocus(dpy, &w, &revert);
    if (w == PointerRoot) return 0;
    return w;
}

}  // namespace

FrontmostApp& FrontmostApp::shared() {
    static X11FrontmostApp real;
    FrontmostApp* p = g_shared.load();
    return p ? *p : real;
}

void FrontmostApp::setShared(FrontmostApp* app) {
    g_shared.store(app);
}

struct X11FrontmostApp::Private {
    std::mutex mutex;
    Display* dpy = nullptr;
    bool opened = false;
};

X11FrontmostApp::X11FrontmostApp() : d(new Private) {}

X11FrontmostApp::~X11FrontmostApp() {
    if (d->dpy) {
        X11AppWindows::forget(d->dpy);
        XCloseDisplay(d->dpy);
    }
    delete d;
}

std::optional<FrontmostApp::Identity> X11FrontmostApp::identity() const {
    std::lock_guard lock(d->mutex);
    if (!d->opened) {
        d->opened = true;
        d->dpy = XOpenDisplay(nullptr);
        if (d->dpy) X11AppWindows::quietErrors(d->dpy);
    }
    if (!d->dpy) return std::nullopt;
    std::optional<Identity> result;
    Window w = activeWindow(d->dpy);
    for (int depth = 0; w && depth < 32 && !result; ++depth) {
        if (const std::optional<AppWindow> app = X11AppWindows::appWindow(d->dpy, w)) {
            result = Identity{app->instanceName, app->className, app->pid};
            break;
        }
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned int n = 0;
        if (!XQueryTree(d->dpy, w, &root, &parent, &children, &n)) break;
        if (children) XFree(children);
        if (parent == root) break;
        w = parent;
    }
    XSync(d->dpy, False);
    return result;
}
