#include "platform/wayland/WaylandClient.h"

#include <wayland-client.h>

#include <QSocketNotifier>
#include <cstring>

#include "platform/DebugLog.h"

WaylandClient::WaylandClient(QObject* parent) : QObject(parent) {
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) return;
    m_display = wl_display_connect(nullptr);
    if (!m_display) {
        debugLog(QStringLiteral("[Wayland] Cannot connect to the compositor at ") +
                 qEnvironmentVariable("WAYLAND_DISPLAY"));
        return;
    }
    static const wl_registry_listener listener{&WaylandClient::globalAdded,
                                               &WaylandClient::globalRemoved};
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &listener, this);
    if (wl_display_roundtrip(m_display) < 0) {
        wl_display_disconnect(m_display);
        m_display = nullptr;
        return;
    }
    m_notifier =
        std::make_unique<QSocketNotifier>(wl_display_get_fd(m_display), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &WaylandClient::readEvents);
}

WaylandClient::~WaylandClient() {
    m_notifier.reset();
    if (!m_display) return;
    if (m_seat) wl_seat_destroy(m_seat);
    wl_registry_destroy(m_registry);
    wl_display_disconnect(m_display);
}

void WaylandClient::globalAdded(void* data, wl_registry*, uint32_t name, const char* interface,
                                uint32_t version) {
    auto* self = static_cast<WaylandClient*>(data);
    self->m_list.append({name, QString::fromLatin1(interface), version});
    self->m_globals.insert(QString::fromLatin1(interface));
}

void WaylandClient::globalRemoved(void* data, wl_registry*, uint32_t name) {
    auto* self = static_cast<WaylandClient*>(data);
    self->m_list.removeIf([name](const Global& g) { return g.name == name; });
    self->m_globals.clear();
    for (const Global& g : self->m_list) self->m_globals.insert(g.interface);
}

bool WaylandClient::has(const char* interface) const {
    return m_globals.contains(QString::fromLatin1(interface));
}

void* WaylandClient::bind(const wl_interface* interface, uint32_t maxVersion) {
    if (!m_display) return nullptr;
    for (const Global& g : m_list)
        if (g.interface == QLatin1String(interface->name))
            return wl_registry_bind(m_registry, g.name, interface, std::min(g.version, maxVersion));
    return nullptr;
}

wl_seat* WaylandClient::seat() {
    if (!m_seat) m_seat = static_cast<wl_seat*>(bind(&wl_seat_interface, 1));
    return m_seat;
}

bool WaylandClient::flush() {
    return m_display && wl_display_flush(m_display) >= 0;
}

bool WaylandClient::roundtrip() {
    return m_display && wl_display_roundtrip(m_display) >= 0;
}

void WaylandClient::readEvents() {
    if (wl_display_dispatch(m_display) >= 0) return;
    // The compositor is gone: stop listening instead of spinning on the
    // closed socket.
    debugLog(QStringLiteral("[Wayland] The connection to the compositor broke"));
    m_notifier->setEnabled(false);
}
