#include "platform/x11/X11WindowWatcher.h"

#include <QSocketNotifier>

// X11 headers last: their macros clash with Qt.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

struct X11WindowWatcher::Private {
    Display* dpy = nullptr;
    Atom activeWindow = 0;
    Atom clientList = 0;
    unsigned long lastActive = 0;
    QSocketNotifier* notifier = nullptr;

    unsigned long readActive() const {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        unsigned long window = 0;
        if (XGetWindowProperty(dpy, DefaultRootWindow(dpy), activeWindow, 0, 1, False, XA_WINDOW,
                               &type, &format, &count, &after, &data) == Success &&
            data && type == XA_WINDOW && format == 32 && count == 1)
            window = *reinterpret_cast<unsigned long*>(data);
        if (data) XFree(data);
        return window;
    }
};

X11WindowWatcher::X11WindowWatcher(QObject* parent)
    : WindowWatcher(parent), d(std::make_unique<Private>()) {}

X11WindowWatcher::~X11WindowWatcher() {
    delete d->notifier;
    if (d->dpy) XCloseDisplay(d->dpy);
}

bool X11WindowWatcher::start() {
    if (d->dpy) return true;
    d->dpy = XOpenDisplay(nullptr);
    if (!d->dpy) return false;
    d->activeWindow = XInternAtom(d->dpy, "_NET_ACTIVE_WINDOW", False);
    d->clientList = XInternAtom(d->dpy, "_NET_CLIENT_LIST", False);
    XSelectInput(d->dpy, DefaultRootWindow(d->dpy), PropertyChangeMask);
    d->lastActive = d->readActive();
    XSync(d->dpy, False);
    d->notifier = new QSocketNotifier(ConnectionNumber(d->dpy), QSocketNotifier::Read, this);
    connect(d->notifier, &QSocketNotifier::activated, this, [this] { drain(); });
    return true;
}

void X11WindowWatcher::drain() {
    bool activeChanged = false;
    bool listChanged = false;
    while (XPending(d->dpy) > 0) {
        XEvent ev;
        XNextEvent(d->dpy, &ev);
        if (ev.type != PropertyNotify) continue;
        if (ev.xproperty.atom == d->activeWindow) activeChanged = true;
        if (ev.xproperty.atom == d->clientList) listChanged = true;
    }
    if (activeChanged) {
        // A window manager may rewrite the same value; only a new window counts.
        const unsigned long active = d->readActive();
        if (active != d->lastActive) {
            d->lastActive = active;
            emit activeWindowChanged();
        }
    }
    if (listChanged) emit clientListChanged();
}
