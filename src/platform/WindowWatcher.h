#pragma once

#include <QObject>

// Tells when another window takes the focus and when top-level windows come
// and go. Signals arrive on the main thread. The base class is the test
// double: a test emits the signals itself.
class WindowWatcher : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~WindowWatcher() override = default;

    // Starts watching; false when it cannot (no display). Further calls do
    // nothing.
    virtual bool start() { return true; }

    static WindowWatcher& shared();
    static void setShared(WindowWatcher* watcher);

signals:
    // The focused top-level window changed (on X11: _NET_ACTIVE_WINDOW).
    void activeWindowChanged();
    // A top-level window was mapped or went away (_NET_CLIENT_LIST).
    void clientListChanged();
};
