#include <QCoreApplication>
#include <QPointer>
#include <QSocketNotifier>
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/KeyEventSource.h"
#include "platform/x11/X11KeyEventSource.h"
#include "platform/x11/X11SyntheticKeys.h"
#include "platform/Threading.h"

// X11 headers last: their macros (None, Bool, Status) clash with Qt.
#include <X11/XKBlib.h>
#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

namespace {

// The one listening connection of the process. Every X11KeyEventSource that
// runs is a subscriber of it: the hotkeys and the text expansion see the
// same keys without a second connection. Main thread only.
class Connection {
public:
    static Connection& instance() {
        // Never destroyed: a key source held by a static service stops (and
        // so unsubscribes) during the exit, after a static Connection would
        // already be gone. The X server closes the connection when the
        // process ends.
        static Connection* c = new Connection;
        return *c;
    }

    bool subscribe(const X11KeyEventSource* owner, KeyEventSource::Callback callback);
    void unsubscribe(const X11KeyEventSource* owner);
    bool isSubscribed(const X11KeyEventSource* owner) const {
        return std::any_of(m_subscribers.begin(), m_subscribers.end(),
                           [owner](const Subscriber& s) { return s.owner == owner; });
    }
    std::optional<qint64> codeFor(int xkeycode) const {
        const auto index = static_cast<size_t>(xkeycode - m_minKeycode);
        if (xkeycode < m_minKeycode || index >= m_codes.size()) return std::nullopt;
        return m_codes[index];
    }

private:
    struct Subscriber {
        const X11KeyEventSource* owner;
        KeyEventSource::Callback callback;
    };

    bool open();
    void close();
    void buildMap();
    void loadKeymap();
    void drain();
    void deliver(int xkeycode, bool press);
    void findXTestDevices();
    QString textOf(int xkeycode) const;

    Display* m_dpy = nullptr;
    int m_xiOpcode = 0;
    int m_xkbEventBase = -1;
    // The slave keyboards through which XTest keys of every client arrive.
    std::vector<int> m_xtestDevices;
    QSocketNotifier* m_notifier = nullptr;
    std::vector<Subscriber> m_subscribers;
    KeyStateTracker m_keys;
    int m_minKeycode = 0;
    std::vector<std::optional<qint64>> m_codes;  // by X key code - m_minKeycode
    quint64 m_generation = 0;                    // raised by every close()
    // The typed text of a key: xkbcommon's copy of the keymap, with the
    // modifiers and group kept current from XKB state events.
    xkb_context* m_xkbContext = nullptr;
    xkb_keymap* m_keymap = nullptr;
    xkb_state* m_state = nullptr;
};

void Connection::buildMap() {
    int minKc = 0, maxKc = 0;
    XDisplayKeycodes(m_dpy, &minKc, &maxKc);
    int perCode = 0;
    KeySym* syms =
        XGetKeyboardMapping(m_dpy, static_cast<KeyCode>(minKc), maxKc - minKc + 1, &perCode);
    m_minKeycode = minKc;
    m_codes.assign(static_cast<size_t>(maxKc - minKc + 1), std::nullopt);
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
        m_codes[static_cast<size_t>(kc - minKc)] = code;
    }
    XFree(syms);
}

void Connection::loadKeymap() {
    if (m_state) xkb_state_unref(m_state);
    if (m_keymap) xkb_keymap_unref(m_keymap);
    m_state = nullptr;
    m_keymap = nullptr;
    if (!m_xkbContext) return;
    xcb_connection_t* xcb = XGetXCBConnection(m_dpy);
    const int32_t device = xkb_x11_get_core_keyboard_device_id(xcb);
    if (device < 0) return;
    m_keymap =
        xkb_x11_keymap_new_from_device(m_xkbContext, xcb, device, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (m_keymap) m_state = xkb_x11_state_new_from_device(m_keymap, xcb, device);
}

QString Connection::textOf(int xkeycode) const {
    if (!m_state) return {};
    char buffer[16];
    const int n = xkb_state_key_get_utf8(m_state, static_cast<xkb_keycode_t>(xkeycode), buffer,
                                         sizeof buffer);
    if (n <= 0 || n >= int(sizeof buffer)) return {};
    return QString::fromUtf8(buffer, n);
}

void Connection::deliver(int xkeycode, bool press) {
    const std::optional<qint64> code = codeFor(xkeycode);
    if (!code) return;
    std::optional<KeyEvent> event = press ? m_keys.press(*code) : m_keys.release(*code);
    if (!event) return;
    if (event->type == KeyEventType::keyDown) event->text = textOf(xkeycode);
    // A receiver may stop or start taps from inside its call: walk a copy and
    // skip those that left meanwhile.
    const std::vector<Subscriber> subscribers = m_subscribers;
    const quint64 gen = m_generation;
    for (const Subscriber& s : subscribers) {
        if (gen != m_generation) return;
        if (!isSubscribed(s.owner) || !s.callback) continue;
        s.callback(*event);
    }
}

void Connection::drain() {
    const quint64 gen = m_generation;
    while (m_dpy && XPending(m_dpy) > 0) {
        XEvent ev;
        XNextEvent(m_dpy, &ev);
        // A new keyboard or layout: XKB tells clients that use it, the core
        // protocol tells the others.
        if (ev.type == MappingNotify) {
            XRefreshKeyboardMapping(&ev.xmapping);
            buildMap();
            loadKeymap();
            continue;
        }
        if (m_xkbEventBase >= 0 && ev.type == m_xkbEventBase) {
            const auto* xkb = reinterpret_cast<const XkbAnyEvent*>(&ev);
            if (xkb->xkb_type == XkbStateNotify) {
                const auto* s = reinterpret_cast<const XkbStateNotifyEvent*>(&ev);
                if (m_state)
                    xkb_state_update_mask(m_state, s->base_mods, s->latched_mods, s->locked_mods,
                                          s->base_group, s->latched_group, s->locked_group);
            } else {
                buildMap();
                loadKeymap();
            }
            continue;
        }
        if (ev.type != GenericEvent || ev.xcookie.extension != m_xiOpcode) continue;
        if (!XGetEventData(m_dpy, &ev.xcookie)) continue;
        const int evtype = ev.xcookie.evtype;
        int detail = 0;
        int source = 0;
        if (evtype == XI_RawKeyPress || evtype == XI_RawKeyRelease) {
            const auto* raw = static_cast<const XIRawEvent*>(ev.xcookie.data);
            detail = raw->detail;
            source = raw->sourceid;
        }
        XFreeEventData(m_dpy, &ev.xcookie);
        if (detail == 0) continue;
        const bool press = evtype == XI_RawKeyPress;
        // Our own paste chord must not reach our own shortcuts: a paste
        // shortcut that is also the chord would paste again and again.
        const bool viaXTest = m_xtestDevices.empty() ||
                              std::find(m_xtestDevices.begin(), m_xtestDevices.end(), source) !=
                                  m_xtestDevices.end();
        if (viaXTest && X11SyntheticKeys::consume(detail, press)) continue;
        deliver(detail, press);
        if (gen != m_generation) return;  // closed or reopened by a receiver
    }
}

void Connection::findXTestDevices() {
    m_xtestDevices.clear();
    int count = 0;
    XIDeviceInfo* devices = XIQueryDevice(m_dpy, XIAllDevices, &count);
    if (!devices) return;
    for (int i = 0; i < count; ++i) {
        const XIDeviceInfo& dev = devices[i];
        if (dev.use == XISlaveKeyboard && dev.name && std::strstr(dev.name, "XTEST"))
            m_xtestDevices.push_back(dev.deviceid);
    }
    XIFreeDeviceInfo(devices);
}

bool Connection::open() {
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
        const unsigned long stateDetails = XkbModifierStateMask | XkbGroupStateMask;
        XkbSelectEventDetails(dpy, XkbUseCoreKbd, XkbStateNotify, stateDetails, stateDetails);
    } else {
        xkbEventBase = -1;
    }
    XSync(dpy, False);

    m_dpy = dpy;
    m_xiOpcode = opcode;
    m_xkbEventBase = xkbEventBase;
    m_keys.reset();
    findXTestDevices();
    buildMap();
    if (xkbEventBase >= 0) {
        m_xkbContext = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
        loadKeymap();
    }
    m_notifier = new QSocketNotifier(ConnectionNumber(dpy), QSocketNotifier::Read);
    QObject::connect(m_notifier, &QSocketNotifier::activated, m_notifier, [this] { drain(); });
    return true;
}

void Connection::close() {
    ++m_generation;
    if (m_notifier) {
        m_notifier->setEnabled(false);
        // It may be the notifier whose signal is running now.
        m_notifier->deleteLater();
        m_notifier = nullptr;
    }
    if (m_state) xkb_state_unref(m_state);
    if (m_keymap) xkb_keymap_unref(m_keymap);
    if (m_xkbContext) xkb_context_unref(m_xkbContext);
    m_state = nullptr;
    m_keymap = nullptr;
    m_xkbContext = nullptr;
    if (m_dpy) {
        XCloseDisplay(m_dpy);
        m_dpy = nullptr;
    }
}

bool Connection::subscribe(const X11KeyEventSource* owner, KeyEventSource::Callback callback) {
    ORMIL_ASSERT_MAIN_THREAD();
    if (!m_dpy && !open()) return false;
    m_subscribers.push_back({owner, std::move(callback)});
    drain();
    return true;
}

void Connection::unsubscribe(const X11KeyEventSource* owner) {
    ORMIL_ASSERT_MAIN_THREAD();
    std::erase_if(m_subscribers, [owner](const Subscriber& s) { return s.owner == owner; });
    if (m_subscribers.empty() && m_dpy) close();
}

}  // namespace

struct X11KeyEventSource::Impl {};

X11KeyEventSource::X11KeyEventSource() : d(std::make_unique<Impl>()) {}

X11KeyEventSource::~X11KeyEventSource() {
    stop();
}

bool X11KeyEventSource::start(Callback callback) {
    stop();
    return Connection::instance().subscribe(this, std::move(callback));
}

void X11KeyEventSource::stop() {
    Connection::instance().unsubscribe(this);
}

bool X11KeyEventSource::isRunning() const {
    return Connection::instance().isSubscribed(this);
}

std::optional<qint64> X11KeyEventSource::codeForXKeycode(int xkeycode) const {
    return Connection::instance().codeFor(xkeycode);
}
