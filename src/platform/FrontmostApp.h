#pragma once

#include <QString>
#include <optional>

// The application that has the keyboard focus: the WM_CLASS and process of
// its window, and from them its identifier (AppIdentity). Safe to call from
// any thread.
class FrontmostApp {
public:
    struct Identity {
        QString instanceName;  // first WM_CLASS string
        QString className;     // second WM_CLASS string
        qint64 pid = 0;        // _NET_WM_PID of a local window, else 0
    };

    virtual ~FrontmostApp() = default;
    // Nothing when no window is active or it carries no WM_CLASS.
    virtual std::optional<Identity> identity() const = 0;

    // The application's identifier (AppIdentity::identifier), or nothing
    // when no window is active or it tells nothing.
    std::optional<QString> bundleIdentifier() const;

    // The top-level window of another application that has the keyboard
    // focus, to hand the focus back to it later; 0 when no window has it or
    // the window is one of this process's own.
    virtual quint64 focusedWindow() const { return 0; }
    // Gives the keyboard focus back to such a window, through the window
    // manager where there is one. False when the window is gone or hidden.
    virtual bool refocus(quint64 window) {
        (void)window;
        return false;
    }

    static FrontmostApp& shared();
    static void setShared(FrontmostApp* app);
};
