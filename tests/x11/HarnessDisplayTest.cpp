// Proves the test environment: an X window can be created and mapped on the
// test display.
#include <gtest/gtest.h>

#include "support/TestSupport.h"
// X11 headers last: their macros (None, Bool, Status) clash with Qt and gtest.
#include <X11/Xlib.h>

TEST(Harness, OpensWindowOnTestDisplay) {
    if (!testsupport::hasDisplay()) GTEST_SKIP() << "no X display";
    Display* dpy = XOpenDisplay(nullptr);
    ASSERT_NE(dpy, nullptr);
    Window w = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 100, 80, 0, 0, 0);
    XSelectInput(dpy, w, StructureNotifyMask);
    XMapWindow(dpy, w);
    XEvent ev;
    do {
        XNextEvent(dpy, &ev);
    } while (ev.type != MapNotify);
    XWindowAttributes attrs;
    ASSERT_TRUE(XGetWindowAttributes(dpy, w, &attrs));
    EXPECT_EQ(attrs.map_state, IsViewable);
    EXPECT_EQ(attrs.width, 100);
    XDestroyWindow(dpy, w);
    XCloseDisplay(dpy);
}
