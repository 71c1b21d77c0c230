#include "platform/SessionBackends.h"

#include <QStringList>

namespace {

QString env(const char* name) {
    return qEnvironmentVariable(name);
}

bool desktopIs(const SessionEnvironment& e, std::initializer_list<const char*> names) {
    // XDG_CURRENT_DESKTOP is a colon-separated list ("ubuntu:GNOME").
    const QStringList parts = e.currentDesktop.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString& part : parts)
        for (const char* name : names)
            if (part.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) return true;
    return false;
}

const char* name(SessionBackends::Windows w) {
    switch (w) {
        case SessionBackends::Windows::x11:
            return "X11";
        case SessionBackends::Windows::xwayland:
            return "X11 on XWayland";
        case SessionBackends::Windows::wayland:
            return "Wayland (no XWayland)";
    }
    return "?";
}

}  // namespace

SessionEnvironment SessionEnvironment::fromProcess() {
    SessionEnvironment e;
    e.sessionType = env("XDG_SESSION_TYPE");
    e.waylandDisplay = env("WAYLAND_DISPLAY");
    e.display = env("DISPLAY");
    e.currentDesktop = env("XDG_CURRENT_DESKTOP");
    return e;
}

bool SessionEnvironment::isWayland() const {
    // A session that says it is X11 stays X11 even with a Wayland socket
    // around (a nested compositor); without a socket there is no Wayland.
    if (sessionType.compare(QLatin1String("x11"), Qt::CaseInsensitive) == 0) return false;
    return !waylandDisplay.isEmpty();
}

namespace {
SessionBackends g_current;
}

const SessionBackends& SessionBackends::current() {
    return g_current;
}

void SessionBackends::setCurrent(const SessionBackends& backends) {
    g_current = backends;
}

bool SessionEnvironment::offersWlrootsProtocols() const {
    const auto has = [this](const char* name) {
        return waylandGlobals.contains(QLatin1String(name));
    };
    return has("zwp_virtual_keyboard_manager_v1") && has("zwlr_layer_shell_v1") &&
           (has("zwlr_data_control_manager_v1") || has("ext_data_control_manager_v1"));
}

SessionBackends SessionBackends::choose(const SessionEnvironment& e) {
    SessionBackends b;
    if (!e.isWayland()) return b;
    b.wayland = true;
    const bool xwayland = !e.display.isEmpty();
    b.windows = xwayland ? Windows::xwayland : Windows::wayland;
    b.hotkeys =
        e.globalShortcutsVersion > 0 ? Hotkeys::globalShortcutsPortal : Hotkeys::commandsOnly;
    if (e.remoteDesktopVersion > 0)
        b.paste = Paste::remoteDesktopPortal;
    else if (e.offersWlrootsProtocols())
        b.paste = Paste::virtualKeyboard;
    else
        b.paste = Paste::none;
    // Mutter has no data-control, but bridges an XWayland client's
    // clipboard to Wayland clients without the focus.
    b.clipboard =
        desktopIs(e, {"GNOME"}) && xwayland ? Clipboard::xwaylandBridge : Clipboard::dataControl;
    // KWin runs scripts that can tell; wlroots compositors list their
    // toplevels; mutter tells nothing.
    if (desktopIs(e, {"KDE"}))
        b.frontmost = Frontmost::kwinScript;
    else if (e.offersWlrootsProtocols())
        b.frontmost = Frontmost::foreignToplevel;
    else
        b.frontmost = Frontmost::none;
    return b;
}

QString SessionBackends::describe(const SessionEnvironment& e) const {
    if (!wayland)
        return QStringLiteral(
            "[Session] X11 session: windows, hotkeys (X11 keys), paste (XTest) "
            "and clipboard on X11");
    const QString desktop = e.currentDesktop.isEmpty() ? QStringLiteral("?") : e.currentDesktop;
    QString keys;
    switch (hotkeys) {
        case Hotkeys::globalShortcutsPortal:
            keys = QStringLiteral("GlobalShortcuts portal v%1").arg(e.globalShortcutsVersion);
            break;
        case Hotkeys::commandsOnly:
            keys = QStringLiteral("commands only (no GlobalShortcuts portal)");
            break;
        case Hotkeys::x11:
            keys = QStringLiteral("X11 keys");
            break;
    }
    QString pasteName;
    switch (paste) {
        case Paste::remoteDesktopPortal:
            pasteName = QStringLiteral("RemoteDesktop portal v%1").arg(e.remoteDesktopVersion);
            break;
        case Paste::virtualKeyboard:
            pasteName = QStringLiteral("virtual keyboard");
            break;
        case Paste::none:
            pasteName = QStringLiteral("none (no RemoteDesktop portal)");
            break;
        case Paste::xtest:
            pasteName = QStringLiteral("XTest");
            break;
    }
    const char* clip = clipboard == Clipboard::xwaylandBridge ? "X11 under XWayland"
                       : clipboard == Clipboard::dataControl  ? "data-control"
                                                              : "X11";
    return QStringLiteral(
               "[Session] Wayland session (%1): windows %2, hotkeys %3, paste %4, "
               "clipboard %5")
        .arg(desktop, QLatin1String(name(windows)), keys, pasteName, QLatin1String(clip));
}

bool prepareQtPlatformForSession() {
    const SessionBackends b = SessionBackends::choose(SessionEnvironment::fromProcess());
    if (b.windows != SessionBackends::Windows::xwayland) return false;
    qputenv("QT_QPA_PLATFORM", "xcb");
    return true;
}
