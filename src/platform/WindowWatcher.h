#pragma once

#include <QObject>
#include <memory>

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

// Property changes of the root window of $DISPLAY, on a connection of its
// own read through a socket notifier.
class X11WindowWatcher : public WindowWatcher {
    Q_OBJECT
public:
    explicit X11WindowWatcher(QObject* parent = nullptr);
    ~X11WindowWatcher() override;
    bool start() override;

private:
    struct Private;
    std::unique_ptr<Private> d;
    void drain();
};
