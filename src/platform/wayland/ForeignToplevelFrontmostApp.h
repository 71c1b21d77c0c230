#pragma once

#include <QHash>
#include <QString>
#include <mutex>

#include "platform/FrontmostApp.h"

class WaylandClient;
struct zwlr_foreign_toplevel_handle_v1;
struct zwlr_foreign_toplevel_manager_v1;

// The application of the activated toplevel, as the compositor lists its
// windows through the foreign-toplevel protocol (wlroots compositors). Its
// app id is the application's desktop entry id (or, for an X11 window of
// XWayland, its WM_CLASS class), given as both WM_CLASS strings. The list is
// kept up to date on the main thread; identity() may be called from any.
class ForeignToplevelFrontmostApp : public FrontmostApp {
public:
    explicit ForeignToplevelFrontmostApp(WaylandClient& client);
    ~ForeignToplevelFrontmostApp() override;

    // Whether the compositor lists its toplevels.
    bool isAvailable() const { return m_manager != nullptr; }
    std::optional<Identity> identity() const override;

    // What the compositor said last of one toplevel (applied on its "done").
    struct Toplevel {
        QString appId;
        bool activated = false;
    };

private:
    static void onToplevel(void* data, zwlr_foreign_toplevel_manager_v1*,
                           zwlr_foreign_toplevel_handle_v1* handle);
    static void onFinished(void* data, zwlr_foreign_toplevel_manager_v1*);
    // A toplevel's own events, on the state they belong to.
    struct Handle;
    void updateActive();

    zwlr_foreign_toplevel_manager_v1* m_manager = nullptr;
    QHash<zwlr_foreign_toplevel_handle_v1*, Handle*> m_handles;
    mutable std::mutex m_mutex;
    QString m_active;  // the activated toplevel's app id, guarded by m_mutex
};
