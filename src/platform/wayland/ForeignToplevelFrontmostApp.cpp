#include "platform/wayland/ForeignToplevelFrontmostApp.h"

#include <wayland-client.h>

#include "platform/DebugLog.h"
#include "platform/wayland/WaylandClient.h"
#include "wlr-foreign-toplevel-management-client-protocol.h"

struct ForeignToplevelFrontmostApp::Handle {
    ForeignToplevelFrontmostApp* owner = nullptr;
    zwlr_foreign_toplevel_handle_v1* proxy = nullptr;
    Toplevel pending;  // as the events since the last "done" left it
    Toplevel current;

    static Handle* of(void* data) { return static_cast<Handle*>(data); }
    static void title(void*, zwlr_foreign_toplevel_handle_v1*, const char*) {}
    static void appId(void* data, zwlr_foreign_toplevel_handle_v1*, const char* id) {
        of(data)->pending.appId = QString::fromUtf8(id);
    }
    static void outputEnter(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
    static void outputLeave(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
    static void state(void* data, zwlr_foreign_toplevel_handle_v1*, wl_array* states) {
        bool activated = false;
        const auto* begin = static_cast<const uint32_t*>(states->data);
        for (size_t i = 0; i < states->size / sizeof(uint32_t); ++i)
            if (begin[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED) activated = true;
        of(data)->pending.activated = activated;
    }
    static void done(void* data, zwlr_foreign_toplevel_handle_v1*) {
        Handle* h = of(data);
        h->current = h->pending;
        h->owner->updateActive();
    }
    static void closed(void* data, zwlr_foreign_toplevel_handle_v1* proxy) {
        Handle* h = of(data);
        ForeignToplevelFrontmostApp* owner = h->owner;
        owner->m_handles.remove(proxy);
        zwlr_foreign_toplevel_handle_v1_destroy(proxy);
        delete h;
        owner->updateActive();
    }
    static void parent(void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {}
};

ForeignToplevelFrontmostApp::ForeignToplevelFrontmostApp(WaylandClient& client) {
    m_manager = static_cast<zwlr_foreign_toplevel_manager_v1*>(
        client.bind(&zwlr_foreign_toplevel_manager_v1_interface, 3));
    if (!m_manager) {
        debugLog(
            QStringLiteral("[FrontmostApp] The compositor does not list its windows "
                           "(no zwlr_foreign_toplevel_manager_v1): per-app styles are off"));
        return;
    }
    static const zwlr_foreign_toplevel_manager_v1_listener listener{&onToplevel, &onFinished};
    zwlr_foreign_toplevel_manager_v1_add_listener(m_manager, &listener, this);
    // The toplevels that exist now, and their state.
    client.roundtrip();
    client.roundtrip();
}

ForeignToplevelFrontmostApp::~ForeignToplevelFrontmostApp() {
    for (auto it = m_handles.begin(); it != m_handles.end(); ++it) {
        zwlr_foreign_toplevel_handle_v1_destroy(it.key());
        delete it.value();
    }
    if (m_manager) zwlr_foreign_toplevel_manager_v1_destroy(m_manager);
}

void ForeignToplevelFrontmostApp::onToplevel(void* data, zwlr_foreign_toplevel_manager_v1*,
                                             zwlr_foreign_toplevel_handle_v1* proxy) {
    auto* self = static_cast<ForeignToplevelFrontmostApp*>(data);
    static const zwlr_foreign_toplevel_handle_v1_listener listener{
        &Handle::title, &Handle::appId, &Handle::outputEnter, &Handle::outputLeave,
        &Handle::state, &Handle::done,  &Handle::closed,      &Handle::parent};
    auto* h = new Handle;
    h->owner = self;
    h->proxy = proxy;
    self->m_handles.insert(proxy, h);
    zwlr_foreign_toplevel_handle_v1_add_listener(proxy, &listener, h);
}

void ForeignToplevelFrontmostApp::onFinished(void* data, zwlr_foreign_toplevel_manager_v1*) {
    auto* self = static_cast<ForeignToplevelFrontmostApp*>(data);
    zwlr_foreign_toplevel_manager_v1_destroy(self->m_manager);
    self->m_manager = nullptr;
}

void ForeignToplevelFrontmostApp::updateActive() {
    QString active;
    for (const Handle* h : std::as_const(m_handles))
        if (h->current.activated) active = h->current.appId;
    std::lock_guard lock(m_mutex);
    m_active = active;
}

std::optional<FrontmostApp::Identity> ForeignToplevelFrontmostApp::identity() const {
    std::lock_guard lock(m_mutex);
    if (m_active.isEmpty()) return std::nullopt;
    return Identity{m_active, m_active, 0};
}
