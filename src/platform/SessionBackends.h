#pragma once

#include <QSet>
#include <QString>

// What start-up knows of the desktop session: its environment and which of
// the desktop portals answer on the session bus (their interface versions,
// 0 where a portal is missing).
struct SessionEnvironment {
    QString sessionType;     // XDG_SESSION_TYPE
    QString waylandDisplay;  // WAYLAND_DISPLAY
    QString display;         // DISPLAY: XWayland's, on a Wayland session
    QString currentDesktop;  // XDG_CURRENT_DESKTOP ("KDE", "ubuntu:GNOME", "sway")
    uint globalShortcutsVersion = 0;
    uint remoteDesktopVersion = 0;
    // The interface names of the compositor's Wayland globals (empty when
    // it was not asked).
    QSet<QString> waylandGlobals;

    // The environment of this process; the portal versions are left at 0.
    static SessionEnvironment fromProcess();
    // Whether the session is a Wayland one; only then are the portals asked.
    bool isWayland() const;
    // Whether the compositor offers what wlroots compositors do: the virtual
    // keyboard, data-control and layer-shell (with them a client pastes into
    // the focused one and floats a pill without the focus), whatever its
    // name.
    bool offersWlrootsProtocols() const;
};

// The back ends each facility uses in a session, chosen once at start-up.
// X11 sessions keep the X11 back ends throughout. On a Wayland session the
// windows stay X11 clients of XWayland (placed where asked, on top, never
// taking the focus, which a Wayland window of this kind cannot do), while
// keys and paste go through what the desktop offers.
struct SessionBackends {
    enum class Windows { x11, xwayland, wayland };
    // Hotkeys: X11 raw keys, the desktop's global shortcuts portal, or only
    // the start/stop commands bound by the desktop.
    enum class Hotkeys { x11, globalShortcutsPortal, commandsOnly };
    // The paste chord: XTest, the remote desktop portal, the virtual
    // keyboard protocol (wlroots), or none.
    enum class Paste { xtest, remoteDesktopPortal, virtualKeyboard, none };
    // The clipboard set without the focus: X11's, X11's under XWayland that
    // the compositor bridges to Wayland clients (GNOME), or data-control.
    enum class Clipboard { x11, xwaylandBridge, dataControl };
    // Which application has the focus (for per-app styles): X11's active
    // window, the compositor's list of toplevels (wlroots), KWin through a
    // script of ours, or nothing the desktop tells (GNOME).
    enum class Frontmost { x11, foreignToplevel, kwinScript, none };

    bool wayland = false;
    Windows windows = Windows::x11;
    Hotkeys hotkeys = Hotkeys::x11;
    Paste paste = Paste::xtest;
    Clipboard clipboard = Clipboard::x11;
    Frontmost frontmost = Frontmost::x11;
    // Keys typed in other applications reach ours (for text expansion): on
    // X11 only; a Wayland desktop gives them to no client.
    bool hearsTypedKeys() const { return !wayland; }
    // Whether per-app styles can tell the focused application everywhere
    // (on a Wayland session without, they apply in X11 applications only).
    bool knowsFocusedApp() const { return frontmost != Frontmost::none; }

    static SessionBackends choose(const SessionEnvironment& environment);
    // The choice start-up made for this process (X11's until it made one).
    static const SessionBackends& current();
    static void setCurrent(const SessionBackends& backends);
    // One line for the log: the session and every choice.
    QString describe(const SessionEnvironment& environment) const;

    bool operator==(const SessionBackends&) const = default;
};

// Before QApplication is made: on a Wayland session with XWayland the Qt
// platform is set to xcb, so that every window is an X11 client. Returns
// whether it did.
bool prepareQtPlatformForSession();
