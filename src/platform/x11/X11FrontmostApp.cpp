#include "platform/FrontmostApp.h"
#include "platform/x11/X11FrontmostApp.h"

#include <QByteArray>
#include <atomic>
#include <mutex>

// X11 headers last: their macros clash with Qt.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {
std::atomic<FrontmostApp*> g_shared{nullptr};

std::optional<FrontmostApp::Identity> classOf(Display* dpy, Window w) {
    XClassHint hint{nullptr, nullptr};
    if (!XGetClassHint(dpy, w, &hint)) return std::nullopt;
    FrontmostApp::Identity id{QString::fromLocal8Bit(hint.res_name ? hint.res_name : ""),
                              QString::fromLocal8Bit(hint.res_class ? hint.res_class : "")};
    if (hint.res_name) XFree(hint.res_name);
    if (hint.res_class) XFree(hint.res_class);
    return id;
}

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

// Errors on our own connection (a window that vanished while we looked at
// it) are expected and ignored; any other connection keeps its handler.
std::atomic<Display*> g_quietDisplay{nullptr};
XErrorHandler g_previousHandler = nullptr;

int quietErrors(Display* dpy, XErrorEvent* ev) {
    if (dpy == g_quietDisplay.load()) return 0;
    return g_previousHandler ? g_previousHandler(dpy, ev) : 0;
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
    if (d->dpy) XCloseDisplay(d->dpy);
    delete d;
}

std::optional<FrontmostApp::Identity> X11FrontmostApp::identity() const {
    std::lock_guard lock(d->mutex);
    if (!d->opened) {
        d->opened = true;
        d->dpy = XOpenDisplay(nullptr);
        if (d->dpy) {
            g_quietDisplay.store(d->dpy);
            static std::once_flag once;
            std::call_once(once, [] { g_previousHandler = XSetErrorHandler(quietErrors); });
        }
    }
    if (!d->dpy) return std::nullopt;
    std::optional<Identity> result;
    Window w = activeWindow(d->dpy);
    for (int depth = 0; w && depth < 32 && !result; ++depth) {
        result = classOf(d->dpy, w);
        if (result) break;
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
