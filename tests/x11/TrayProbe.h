#pragma once

// Finds the real executable's windows on the test display: its icon docked
// in a tray host and its status menu, and drives them with synthetic input.
// Include after Qt and gtest: the X11 headers' macros clash with both.
#include <functional>
#include <optional>
#include <vector>

#include "support/TestSupport.h"
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#undef None
#undef Bool
#undef Status

namespace trayprobe {

struct Found {
    Window window;
    int x, y, width, height;
    bool overrideRedirect;
};

class Display_ {
public:
    Display_() : dpy(XOpenDisplay(nullptr)) {}
    ~Display_() {
        if (dpy) XCloseDisplay(dpy);
    }
    Display* dpy;
};

inline bool isOrmil(Display* dpy, Window w) {
    XClassHint hint{};
    if (!XGetClassHint(dpy, w, &hint)) return false;
    const bool ours = (hint.res_name && QByteArray(hint.res_name) == "ormil");
    if (hint.res_name) XFree(hint.res_name);
    if (hint.res_class) XFree(hint.res_class);
    return ours;
}

// Viewable windows of ormil anywhere in the tree, with their root positions.
inline void collect(Display* dpy, Window w, Window root, std::vector<Found>& out) {
    Window r, parent, *children = nullptr;
    unsigned n = 0;
    if (!XQueryTree(dpy, w, &r, &parent, &children, &n)) return;
    for (unsigned i = 0; i < n; ++i) {
        XWindowAttributes a;
        if (XGetWindowAttributes(dpy, children[i], &a) && a.map_state == IsViewable &&
            isOrmil(dpy, children[i])) {
            int x = 0, y = 0;
            Window child;
            XTranslateCoordinates(dpy, children[i], root, 0, 0, &x, &y, &child);
            out.push_back({children[i], x, y, a.width, a.height, a.override_redirect != 0});
            // A docked icon sits inside the tray's window, not on the root.
            if (w != root) out.back().overrideRedirect = false;
        }
        collect(dpy, children[i], root, out);
    }
    if (children) XFree(children);
}

inline std::vector<Found> ormilWindows(Display* dpy) {
    std::vector<Found> out;
    collect(dpy, DefaultRootWindow(dpy), DefaultRootWindow(dpy), out);
    return out;
}

inline std::optional<Found> dockedIcon(Display* dpy) {
    const Window root = DefaultRootWindow(dpy);
    for (const Found& f : ormilWindows(dpy)) {
        Window r, parent, *children = nullptr;
        unsigned n = 0;
        if (!XQueryTree(dpy, f.window, &r, &parent, &children, &n)) continue;
        if (children) XFree(children);
        if (parent != root && f.width <= 64 && f.height <= 64) return f;
    }
    return std::nullopt;
}

// A click that lands before the icon listens is lost: clicks again until
// `opened` holds. The host may still move a freshly docked icon while it lays
// itself out, so every attempt aims at where the icon is now.
inline bool clickIconUntil(Display* dpy, const Found& icon, const std::function<bool()>& opened) {
    for (int attempt = 0; attempt < 10; ++attempt) {
        const Found at = dockedIcon(dpy).value_or(icon);
        XTestFakeMotionEvent(dpy, -1, at.x + at.width / 2, at.y + at.height / 2, 0);
        XTestFakeButtonEvent(dpy, 1, True, 0);
        XTestFakeButtonEvent(dpy, 1, False, 0);
        XFlush(dpy);
        if (testsupport::waitUntil(opened, 3000)) return true;
    }
    return false;
}

inline void tap(Display* dpy, const char* key) {
    const KeyCode code = XKeysymToKeycode(dpy, XStringToKeysym(key));
    XTestFakeKeyEvent(dpy, code, True, 0);
    XTestFakeKeyEvent(dpy, code, False, 0);
    XFlush(dpy);
}

// Keys go to an open menu once it holds the keyboard.
inline bool menuHoldsKeyboard(Display* dpy) {
    const int r = XGrabKeyboard(dpy, DefaultRootWindow(dpy), False, GrabModeAsync, GrabModeAsync,
                                CurrentTime);
    if (r == GrabSuccess) XUngrabKeyboard(dpy, CurrentTime);
    XSync(dpy, False);
    return r == AlreadyGrabbed;
}

// A tray host on the test display, ended with the object.
class TrayHost {
public:
    // False when no host program is installed or it did not take the tray.
    bool start(Display* dpy, const QString& program) {
        m_process.start(program, {"--edge", "top", "--align", "right", "--widthtype", "request",
                                  "--height", "24", "--SetDockType", "true", "--transparent",
                                  "false"});
        if (!m_process.waitForStarted()) return false;
        const Atom selection = XInternAtom(dpy, "_NET_SYSTEM_TRAY_S0", False);
        return testsupport::waitUntil([&] { return XGetSelectionOwner(dpy, selection) != 0; });
    }
    ~TrayHost() {
        m_process.terminate();
        if (!m_process.waitForFinished(10000)) m_process.kill();
        m_process.waitForFinished(10000);
    }

private:
    QProcess m_process;
};

}  // namespace trayprobe
