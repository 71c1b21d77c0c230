#include "platform/x11/X11OverlayWindow.h"

#include <QGuiApplication>
#include <QSocketNotifier>

#include "platform/DebugLog.h"
// X11 headers last: their macros clash with Qt.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#undef None
#undef Bool
#undef Status
#undef Always

namespace {
bool g_bypassWindowManager = false;

Display* qtDisplay() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}
}  // namespace

void OverlayWindowSystem::setBypassWindowManager(bool bypass) {
    g_bypassWindowManager = bypass;
}

void OverlayWindowSystem::makeNonActivating(QWidget* w) {
    Qt::WindowFlags flags = Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                            Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint;
    if (g_bypassWindowManager) flags |= Qt::X11BypassWindowManagerHint;
    w->setWindowFlags(flags);
    w->setAttribute(Qt::WA_ShowWithoutActivating);
    w->setFocusPolicy(Qt::NoFocus);
}

bool OverlayWindowSystem::compositingActive() {
    Display* dpy = qtDisplay();
    if (!dpy) return false;
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(DefaultScreen(dpy));
    const Atom sel = XInternAtom(dpy, name.constData(), False);
    return XGetSelectionOwner(dpy, sel) != 0;
}

void OverlayWindowSystem::showOnAllWorkspaces(QWidget* w) {
    Display* dpy = qtDisplay();
    if (!dpy || !w) return;
    const Window win = static_cast<Window>(w->winId());
    const Atom desktop = XInternAtom(dpy, "_NET_WM_DESKTOP", False);
    const long all = 0xFFFFFFFF;
    XChangeProperty(dpy, win, desktop, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&all), 1);
    if (w->isVisible()) {
        // A mapped window moves only on request to the root window.
        XEvent ev{};
        ev.xclient.type = ClientMessage;
        ev.xclient.window = win;
        ev.xclient.message_type = desktop;
        ev.xclient.format = 32;
        ev.xclient.data.l[0] = all;
        ev.xclient.data.l[1] = 2;
        XSendEvent(dpy, DefaultRootWindow(dpy), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &ev);
    }
    XFlush(dpy);
}

struct X11RawButtonMonitor::Impl {
    Display* dpy = nullptr;
    int xiOpcode = 0;
    std::unique_ptr<QSocketNotifier> notifier;
    std::function<void(QPointF)> onPress;

    void drain() {
        while (dpy && XPending(dpy) > 0) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            XGenericEventCookie* cookie = &ev.xcookie;
            if (cookie->type != GenericEvent || cookie->extension != xiOpcode) continue;
            if (!XGetEventData(dpy, cookie)) continue;
            const bool press = cookie->evtype == XI_RawButtonPress;
            XFreeEventData(dpy, cookie);
            if (!press) continue;
            // Raw events carry no position: ask where the pointer is.
            Window root, child;
            int rx = 0, ry = 0, wx = 0, wy = 0;
            unsigned int mask = 0;
            XQueryPointer(dpy, DefaultRootWindow(dpy), &root, &child, &rx, &ry, &wx, &wy, &mask);
            // The callback may stop the monitor: keep it alive while it runs.
            const auto callback = onPress;
            if (callback) callback(QPointF(rx, ry));
        }
    }
};

X11RawButtonMonitor::X11RawButtonMonitor() : d(std::make_unique<Impl>()) {}
X11RawButtonMonitor::~X11RawButtonMonitor() {
    stop();
}

bool X11RawButtonMonitor::start(std::function<void(QPointF)> onPress) {
    stop();
    d->dpy = XOpenDisplay(nullptr);
    if (!d->dpy) return false;
    int event = 0, error = 0, major = 2, minor = 0;
    if (!XQueryExtension(d->dpy, "XInputExtension", &d->xiOpcode, &event, &error) ||
        XIQueryVersion(d->dpy, &major, &minor) != Success) {
        debugLog(QStringLiteral("[Overlay] XInput2 unavailable; outside clicks not watched"));
        XCloseDisplay(d->dpy);
        d->dpy = nullptr;
        return false;
    }
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawButtonPress);
    XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof bits), bits};
    XISelectEvents(d->dpy, DefaultRootWindow(d->dpy), &mask, 1);
    XFlush(d->dpy);
    d->onPress = std::move(onPress);
    d->notifier =
        std::make_unique<QSocketNotifier>(ConnectionNumber(d->dpy), QSocketNotifier::Read);
    Impl* impl = d.get();
    QObject::connect(d->notifier.get(), &QSocketNotifier::activated, [impl] { impl->drain(); });
    return true;
}

void X11RawButtonMonitor::stop() {
    if (d->notifier) {
        // stop() may run inside the notifier's own signal.
        d->notifier->setEnabled(false);
        d->notifier.release()->deleteLater();
    }
    d->onPress = nullptr;
    if (d->dpy) {
        XCloseDisplay(d->dpy);
        d->dpy = nullptr;
    }
}

bool X11RawButtonMonitor::isRunning() const {
    return d->dpy != nullptr;
}
