#pragma once

#include <QObject>
#include <QSet>
#include <QString>
#include <functional>
#include <memory>

struct wl_display;
struct wl_interface;
struct wl_registry;
struct wl_seat;

// A Wayland connection of this process's own, beside Qt's windows (which may
// well be X11 clients of XWayland): the compositor's globals, the first
// seat, and events dispatched on the main thread. Main thread only.
class WaylandClient : public QObject {
    Q_OBJECT
public:
    // Connects to WAYLAND_DISPLAY and reads the globals; isConnected() tells
    // whether that worked.
    explicit WaylandClient(QObject* parent = nullptr);
    ~WaylandClient() override;

    bool isConnected() const { return m_display != nullptr; }
    // The interface names of every global the compositor offers.
    const QSet<QString>& globals() const { return m_globals; }
    bool has(const char* interface) const;
    // Binds the global named `interface` (the first one) at
    // min(its version, maxVersion); nullptr when there is none.
    void* bind(const wl_interface* interface, uint32_t maxVersion);
    wl_seat* seat();
    wl_display* display() const { return m_display; }

    // Sends what is queued now, and waits until the compositor has handled
    // it (and its answers are dispatched). False when the connection broke.
    bool flush();
    bool roundtrip();

private:
    struct Global {
        uint32_t name;
        QString interface;
        uint32_t version;
    };
    static void globalAdded(void* data, wl_registry* registry, uint32_t name, const char* interface,
                            uint32_t version);
    static void globalRemoved(void* data, wl_registry* registry, uint32_t name);
    void readEvents();

    wl_display* m_display = nullptr;
    wl_registry* m_registry = nullptr;
    wl_seat* m_seat = nullptr;
    QList<Global> m_list;
    QSet<QString> m_globals;
    std::unique_ptr<class QSocketNotifier> m_notifier;
};
