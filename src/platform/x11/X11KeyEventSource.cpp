#include <QCoreApplication>
#include <QSocketNotifier>
#include <vector>

#include "platform/KeyEventSource.h"
#include "platform/x11/X11KeyEventSource.h"

// X11 headers last: their macros (None, Bool, Status) clash with Qt.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

struct X11KeyEventSource::Impl {
    Display* dpy = nullptr;
    int xiOpcode = 0;
    int xkbEventBase = -1;
    QSocketNotifier* notifier = nullptr;
    Callback callback;
    KeyStateTracker keys;
    int minKeycode = 0;
    std::vector<std::optional<qint64>> codes;  // by X key code - minKeycode
    quint64 generation = 0;                    // raised by every stop()

    void buildMap();
    void drain();
    void deliver(int xkeycode, bool press);
};

void X11KeyEventSource::Impl::buildMap() {
    int minKc = 0, maxKc = 0;
    XDisplayKeycodes(dpy, &minKc, &maxKc);
    int perCode = 0;
    KeySym* syms =
        XGetKeyboardMapping(dpy, static_cast<KeyCode>(minKc), maxKc - minKc + 1, &perCode);
    minKeycode = minKc;
    codes.assign(static_cast<size_t>(maxKc - minKc + 1), std::nullopt);
    if (!syms) return;
    for (int kc = minKc; kc <= maxKc; ++kc) {
        const KeySym* row = syms + static_cast<size_t>(kc - minKc) * static_cast<size_t>(perCode);
        // The first level of the first group names the key; a layout whose
        // first group has no counterpart (Cyrillic letters) is looked up in
        // its second group, so V stays V under "ru,us".
        std::optional<qint64> code;
        for (int column : {0, 2}) {
            if (column >= perCode || row[column] == NoSymbol) continue;
            code = KeyCodes::fromKeysym(static_cast<quint32>(row[column]));
            if (code) break;
        }
        if (!code && perCode > 0 && row[0] != NoSymbol)
            code = KeyCodes::privateCode(static_cast<quint32>(row[0]));
        codes[static_cast<size_t>(kc - minKc)] = code;
    }
    XFree(syms);
}

void X11KeyEventSource::Impl::deliver(int xkeycode, bool press) {
    const auto index = static_cast<size_t>(xkeycode - minKeycode);
    if (xkeycode < minKeycode || index >= codes.size() || !codes[index]) return;
    const qint64 code = *codes[index];
    std::optional<KeyEvent> event = press ? keys.press(code) : keys.release(code);
    if (!event || !callback) return;
    Callback cb = callback;  // the receiver may recreate the tap from inside
    cb(*event);
}

void X11KeyEventSource::Impl::drain() {
    const quint64 gen = generation;
    while (dpy && XPending(dpy) > 0) {
        XEvent ev;
        XNextEvent(dpy, &ev);
        // A new keyboard or layout: XKB tells clients that use it, the core
        // protocol tells the others.
        if (ev.type == MappingNotify) {
            XRefreshKeyboardMapping(&ev.xmapping);
            buildMap();
            continue;
        }
        if (xkbEventBase >= 0 && ev.type == xkbEventBase) {
            buildMap();
            continue;
        }
        if (ev.type != GenericEvent || ev.xcookie.extension != xiOpcode) continue;
        if (!XGetEventData(dpy, &ev.xcookie)) continue;
        const int evtype = ev.xcookie.evtype;
        int detail = 0;
        if (evtype == XI_RawKeyPress || evtype == XI_RawKeyRelease)
            detail = static_cast<const XIRawEvent*>(ev.xcookie.data)->detail;
        XFreeEventData(dpy, &ev.xcookie);
        if (detail == 0) continue;
        deliver(detail, evtype == XI_RawKeyPress);
        if (gen != generation) return;  // stopped or restarted by the receiver
    }
}

X11KeyEventSource::X11KeyEventSource() : d(std::make_unique<Impl>()) {}

X11KeyEventSource::~X11KeyEventSource() {
    stop();
}

bool X11KeyEventSource::start(Callback callback) {
    stop();
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) return false;
    int opcode = 0, firstEvent = 0, firstError = 0;
    int major = 2, minor = 2;
    if (!XQueryExtension(dpy, "XInputExtension", &opcode, &firstEvent, &firstError) ||
        XIQueryVersion(dpy, &major, &minor) != Success || major < 2) {
        XCloseDisplay(dpy);
        return false;
    }
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawKeyPress);
    XISetMask(bits, XI_RawKeyRelease);
    XIEventMask mask;
    mask.deviceid = XIAllMasterDevices;
    mask.mask_len = sizeof(bits);
    mask.mask = bits;
    XISelectEvents(dpy, DefaultRootWindow(dpy), &mask, 1);
    int xkbOpcode = 0, xkbEventBase = -1, xkbError = 0;
    int xkbMajor = XkbMajorVersion, xkbMinor = XkbMinorVersion;
    if (XkbQueryExtension(dpy, &xkbOpcode, &xkbEventBase, &xkbError, &xkbMajor, &xkbMinor)) {
        const unsigned int xkbMask = XkbNewKeyboardNotifyMask | XkbMapNotifyMask;
        XkbSelectEvents(dpy, XkbUseCoreKbd, xkbMask, xkbMask);
    } else {
        xkbEventBase = -1;
    }
    XSync(dpy, False);

    d->dpy = dpy;
    d->xiOpcode = opcode;
    d->xkbEventBase = xkbEventBase;
    d->callback = std::move(callback);
    d->keys.reset();
    d->buildMap();
    d->notifier = new QSocketNotifier(ConnectionNumber(dpy), QSocketNotifier::Read);
    Impl* impl = d.get();
    QObject::connect(d->notifier, &QSocketNotifier::activated, d->notifier,
                     [impl] { impl->drain(); });
    d->drain();
    return true;
}

void X11KeyEventSource::stop() {
    ++d->generation;
    if (d->notifier) {
        d->notifier->setEnabled(false);
        // It may be the notifier whose signal is running now.
        d->notifier->deleteLater();
        d->notifier = nullptr;
    }
    if (d->dpy) {
        XCloseDisplay(d->dpy);
        d->dpy = nullptr;
    }
    d->callback = {};
}

bool X11KeyEventSource::isRunning() const {
    return d->dpy != nullptr;
}

std::optional<qint64> X11KeyEventSource::codeForXKeycode(int xkeycode) const {
    const auto index = static_cast<size_t>(xkeycode - d->minKeycode);
    if (xkeycode < d->minKeycode || index >= d->codes.size()) return std::nullopt;
    return d->codes[index];
}
