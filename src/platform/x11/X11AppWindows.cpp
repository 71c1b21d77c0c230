#include "platform/x11/X11AppWindows.h"

#include <QByteArray>
#include <QSysInfo>
#include <algorithm>
#include <iterator>
#include <mutex>
#include <set>
#include <unistd.h>

// X11 headers last: their macros clash with Qt.
#include <X11/Xatom.h>
#include <X11/Xutil.h>

namespace {

std::mutex g_quietMutex;
std::set<Display*> g_quiet;
XErrorHandler g_previousHandler = nullptr;
bool g_installed = false;

int quietHandler(Display* dpy, XErrorEvent* ev) {
    XErrorHandler previous = nullptr;
    {
        std::lock_guard lock(g_quietMutex);
        if (g_quiet.count(dpy)) return 0;
        previous = g_previousHandler;
    }
    return previous ? previous(dpy, ev) : 0;
}

// The 32-bit items of a property (windows, atoms, cardinals).
QList<unsigned long> longs(Display* dpy, Window w, const char* name, Atom type,
                           long max = 4096) {
    QList<unsigned long> out;
    Atom actual = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(dpy, w, XInternAtom(dpy, name, False), 0, max, False, type, &actual,
                           &format, &count, &after, &data) == Success &&
        data) {
        if (actual == type && format == 32) {
            const auto* items = reinterpret_cast<unsigned long*>(data);
            for (unsigned long i = 0; i < count; ++i) out << items[i];
        }
        XFree(data);
    }
    return out;
}

bool hasProperty(Display* dpy, Window w, const char* name) {
    Atom actual = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const bool found = XGetWindowProperty(dpy, w, XInternAtom(dpy, name, False), 0, 0, False,
                                          AnyPropertyType, &actual, &format, &count, &after,
                                          &data) == Success &&
                       actual != None;
    if (data) XFree(data);
    return found;
}

bool onThisMachine(Display* dpy, Window w) {
    XTextProperty text{};
    if (!XGetWMClientMachine(dpy, w, &text)) return true;
    const QByteArray machine(reinterpret_cast<const char*>(text.value), int(text.nitems));
    if (text.value) XFree(text.value);
    if (machine.isEmpty()) return true;
    return machine == QSysInfo::machineHostName().toLocal8Bit() ||
           machine.startsWith(QSysInfo::machineHostName().toLocal8Bit() + '.');
}

}  // namespace

void X11AppWindows::quietErrors(Display* dpy) {
    std::lock_guard lock(g_quietMutex);
    g_quiet.insert(dpy);
    if (!g_installed) {
        g_installed = true;
        g_previousHandler = XSetErrorHandler(quietHandler);
    }
}

void X11AppWindows::forget(Display* dpy) {
    std::lock_guard lock(g_quietMutex);
    g_quiet.erase(dpy);
}

std::optional<AppWindow> X11AppWindows::appWindow(Display* dpy, Window w) {
    XClassHint hint{nullptr, nullptr};
    if (!XGetClassHint(dpy, w, &hint)) return std::nullopt;
    AppWindow app;
    app.instanceName = QString::fromLocal8Bit(hint.res_name ? hint.res_name : "");
    app.className = QString::fromLocal8Bit(hint.res_class ? hint.res_class : "");
    if (hint.res_name) XFree(hint.res_name);
    if (hint.res_class) XFree(hint.res_class);
    const QList<unsigned long> pid = longs(dpy, w, "_NET_WM_PID", XA_CARDINAL, 1);
    if (pid.size() == 1 && pid[0] > 0 && onThisMachine(dpy, w)) app.pid = qint64(pid[0]);
    return app;
}

QList<Window> X11AppWindows::clientWindows(Display* dpy) {
    const Window root = DefaultRootWindow(dpy);
    if (hasProperty(dpy, root, "_NET_CLIENT_LIST")) {
        QList<Window> out;
        for (unsigned long w : longs(dpy, root, "_NET_CLIENT_LIST", XA_WINDOW)) out << Window(w);
        return out;
    }
    QList<Window> out;
    Window rootReturn = 0, parent = 0;
    Window* children = nullptr;
    unsigned int n = 0;
    if (!XQueryTree(dpy, root, &rootReturn, &parent, &children, &n)) return out;
    // Bottom to top, as the server stacks them.
    for (unsigned int i = 0; i < n; ++i) {
        XWindowAttributes attributes{};
        if (!XGetWindowAttributes(dpy, children[i], &attributes)) continue;
        if (attributes.map_state != IsViewable || attributes.override_redirect) continue;
        XClassHint hint{nullptr, nullptr};
        if (XGetClassHint(dpy, children[i], &hint)) {
            if (hint.res_name) XFree(hint.res_name);
            if (hint.res_class) XFree(hint.res_class);
            out << children[i];
            continue;
        }
        // A frame of a window manager that keeps no list: its client.
        Window r = 0, p = 0;
        Window* inner = nullptr;
        unsigned int m = 0;
        if (!XQueryTree(dpy, children[i], &r, &p, &inner, &m)) continue;
        for (unsigned int j = 0; j < m; ++j) {
            if (XGetClassHint(dpy, inner[j], &hint)) {
                if (hint.res_name) XFree(hint.res_name);
                if (hint.res_class) XFree(hint.res_class);
                out << inner[j];
                break;
            }
        }
        if (inner) XFree(inner);
    }
    if (children) XFree(children);
    return out;
}

bool X11AppWindows::isRegular(Display* dpy, Window w, const AppWindow& app) {
    if (app.pid == qint64(::getpid())) return false;
    // The first type of the list that the standard names decides (a
    // toolkit may put a type of its own before it).
    static const char* const kTypes[] = {
        "_NET_WM_WINDOW_TYPE_NORMAL",  "_NET_WM_WINDOW_TYPE_DESKTOP",
        "_NET_WM_WINDOW_TYPE_DOCK",    "_NET_WM_WINDOW_TYPE_TOOLBAR",
        "_NET_WM_WINDOW_TYPE_MENU",    "_NET_WM_WINDOW_TYPE_UTILITY",
        "_NET_WM_WINDOW_TYPE_SPLASH",  "_NET_WM_WINDOW_TYPE_DIALOG",
        "_NET_WM_WINDOW_TYPE_DROPDOWN_MENU", "_NET_WM_WINDOW_TYPE_POPUP_MENU",
        "_NET_WM_WINDOW_TYPE_TOOLTIP", "_NET_WM_WINDOW_TYPE_NOTIFICATION",
        "_NET_WM_WINDOW_TYPE_COMBO",   "_NET_WM_WINDOW_TYPE_DND",
    };
    Atom known[std::size(kTypes)];
    XInternAtoms(dpy, const_cast<char**>(kTypes), int(std::size(kTypes)), False, known);
    const QList<unsigned long> types = longs(dpy, w, "_NET_WM_WINDOW_TYPE", XA_ATOM, 32);
    const auto first = std::find_if(types.begin(), types.end(), [&](unsigned long t) {
        return std::find(std::begin(known), std::end(known), Atom(t)) != std::end(known);
    });
    if (first != types.end()) {
        if (Atom(*first) != known[0]) return false;
    } else {
        Window owner = 0;
        if (XGetTransientForHint(dpy, w, &owner) && owner) return false;
    }
    const Atom skip = XInternAtom(dpy, "_NET_WM_STATE_SKIP_TASKBAR", False);
    const QList<unsigned long> state = longs(dpy, w, "_NET_WM_STATE", XA_ATOM, 64);
    return std::find(state.begin(), state.end(), skip) == state.end();
}
