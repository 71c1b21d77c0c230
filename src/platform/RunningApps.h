#pragma once

#include <QList>
#include <QString>

// One top-level window of a running application.
struct RunningApp {
    QString identifier;  // AppIdentity::identifier of the window
    QString className;   // the name the application gives itself (WM_CLASS class)
    qint64 pid = 0;
    // An ordinary application window, as opposed to docks, desktops,
    // panels, dialogs and this application's own windows.
    bool regular = true;
};

// The applications whose windows are open. Call from the main thread; the
// changes come from WindowWatcher (clientListChanged, activeWindowChanged).
class RunningApps {
public:
    virtual ~RunningApps() = default;
    // One element per top-level window, in the order the window system
    // lists them; an application with two windows is there twice.
    virtual QList<RunningApp> applications() const = 0;

    static RunningApps& shared();
    static void setShared(RunningApps* apps);
};
