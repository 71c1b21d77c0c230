#pragma once

#include <QList>
#include <optional>

#include "platform/AppIdentity.h"

// X11 headers last: their macros clash with Qt.
#include <X11/Xlib.h>

// What top-level windows tell about their applications, read on a
// connection of the caller's.
namespace X11AppWindows {
// Errors on this connection (a window that vanished while we looked at it)
// are expected and ignored; any other connection keeps its handler.
// Call once after opening it, and forget() before closing it.
void quietErrors(Display* dpy);
void forget(Display* dpy);

// WM_CLASS of the window, with _NET_WM_PID when the window belongs to this
// machine (WM_CLIENT_MACHINE absent or our host name). Nothing without a
// WM_CLASS.
std::optional<AppWindow> appWindow(Display* dpy, Window w);

// The top-level client windows: _NET_CLIENT_LIST where a window manager
// keeps one, else the mapped children of the root window (or, for a frame
// without WM_CLASS, its child that has one).
QList<Window> clientWindows(Display* dpy);

// An ordinary application window: of type normal (or of no type and not
// transient for another window), not kept off the task bar, and not one of
// this process's own.
bool isRegular(Display* dpy, Window w, const AppWindow& app);
}  // namespace X11AppWindows
