#include "platform/InputAccess.h"
#include "platform/x11/X11InputAccess.h"

// X11 headers last: their macros clash with Qt.
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>

InputAccess& InputAccess::shared() {
    static X11InputAccess access;
    return access;
}

bool X11InputAccess::isTrusted() const {
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) return false;
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    const bool present = XTestQueryExtension(dpy, &eventBase, &errorBase, &major, &minor);
    XCloseDisplay(dpy);
    return present;
}

bool X11InputAccess::hasListenAccess() const {
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) return false;
    int opcode = 0, firstEvent = 0, firstError = 0;
    bool ok = false;
    if (XQueryExtension(dpy, "XInputExtension", &opcode, &firstEvent, &firstError)) {
        int major = 2, minor = 0;
        ok = XIQueryVersion(dpy, &major, &minor) == Success && major >= 2;
    }
    XCloseDisplay(dpy);
    return ok;
}
