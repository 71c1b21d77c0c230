#include "platform/FrontmostApp.h"
#include "platform/x11/X11FrontmostApp.h"

#include <QByteArray>
#include <atomic>
#include <mutex>
#include <unistd.h>
#include <utility>

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

    // The connection, opened on first use; null without a display. Called
    // with the mutex held.
    Display* display() {
        if (!opened) {
            opened = true;
            dpy = XOpenDisplay(nullptr);
            if (dpy) X11AppWindows::quietErrors(dpy);
        }
        return dpy;
    }
};

X11FrontmostApp::X11FrontmostApp() : d(new Private) {}

X11FrontmostApp::~X11FrontmostApp() {
    if (d->dpy) {
        X11AppWindows::forget(d->dpy);
        XCloseDisplay(d->dpy);
    }
    delete d;
}

namespace {

// The focused window or its nearest ancestor that carries a WM_CLASS, with
// what it tells; 0 when there is none.
std::pair<Window, std::optional<AppWindow>> focusedClient(Display* dpy) {
    Window w = activeWindow(dpy);
    for (int depth = 0; w && depth < 32; ++depth) {
        if (std::optional<AppWindow> app = X11AppWindows::appWindow(dpy, w)) return {w, app};
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned int n = 0;
        if (!XQueryTree(dpy, w, &root, &parent, &children, &n)) break;
        if (children) XFree(children);
        if (parent == root) break;
        w = parent;
    }
    return {0, std::nullopt};
}

}  // namespace

std::optional<FrontmostApp::Identity> X11FrontmostApp::identity() const {
    std::lock_guard lock(d->mutex);
    Display* dpy = d->display();
    if (!dpy) return std::nullopt;
    const auto [window, app] = focusedClient(dpy);
    XSync(dpy, False);
    if (!app) return std::nullopt;
    return Identity{app->instanceName, app->className, app->pid};
}

quint64 X11FrontmostApp::focusedWindow() const {
    std::lock_guard lock(d->mutex);
    Display* dpy = d->display();
    if (!dpy) return 0;
    const auto [window, app] = focusedClient(dpy);
    XSync(dpy, False);
    if (!app || app->pid == qint64(::getpid())) return 0;
    return window;
}

bool X11FrontmostApp::refocus(quint64 window) {
    std::lock_guard lock(d->mutex);
    Display* dpy = d->display();
    if (!dpy || !window) return false;
    const Window target = Window(window);
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(dpy, target, &attributes) || attributes.map_state != IsViewable)
        return false;
    const Window root = DefaultRootWindow(dpy);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool managed = false;
    if (XGetWindowProperty(dpy, root, XInternAtom(dpy, "_NET_SUPPORTING_WM_CHECK", False), 0, 1,
                           False, XA_WINDOW, &type, &format, &count, &after, &data) == Success &&
        data) {
        managed = type == XA_WINDOW && count == 1;
        XFree(data);
    }
    if (managed) {
        // A window manager decides who has the focus: ask it as a pager
        // would, which it honours without the focus-stealing checks.
        XEvent ev{};
        ev.xclient.type = ClientMessage;
        ev.xclient.window = target;
        ev.xclient.message_type = XInternAtom(dpy, "_NET_ACTIVE_WINDOW", False);
        ev.xclient.format = 32;
        ev.xclient.data.l[0] = 2;
        ev.xclient.data.l[1] = CurrentTime;
        XSendEvent(dpy, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
    } else {
        XSetInputFocus(dpy, target, RevertToParent, CurrentTime);
    }
    XSync(dpy, False);
    return true;
}
