// Which back ends start-up picks for a session, from its environment and
// the portals on its bus.
#include <gtest/gtest.h>

#include "platform/SessionBackends.h"

namespace {

using B = SessionBackends;

struct Case {
    const char* name;
    SessionEnvironment environment;
    SessionBackends expected;
};

B backends(B::Windows w, B::Hotkeys h, B::Paste p, B::Clipboard c, B::Frontmost f) {
    return {true, w, h, p, c, f};
}

TEST(SessionBackends, ChoiceFollowsTheSessionAndItsPortals) {
    const B x11{};
    const QSet<QString> kWlroots{"wl_seat", "zwp_virtual_keyboard_manager_v1",
                                 "zwlr_layer_shell_v1", "zwlr_data_control_manager_v1"};
    const Case cases[] = {
        {"x11 session", {"x11", "", ":0", "KDE", 1, 2, {}}, x11},
        {"x11 session with a nested compositor's socket",
         {"x11", "wayland-1", ":0", "GNOME", 1, 2, {}},
         x11},
        {"no session type, no wayland socket", {"", "", ":5", "", 0, 0, {}}, x11},
        {"wayland type but no socket", {"wayland", "", ":0", "GNOME", 0, 0, {}}, x11},
        {"kde 6",
         {"wayland", "wayland-0", ":1", "KDE", 1, 2, {}},
         backends(B::Windows::xwayland, B::Hotkeys::globalShortcutsPortal,
                  B::Paste::remoteDesktopPortal, B::Clipboard::dataControl,
                  B::Frontmost::kwinScript)},
        {"gnome 48+",
         {"wayland", "wayland-0", ":0", "ubuntu:GNOME", 1, 2, {}},
         backends(B::Windows::xwayland, B::Hotkeys::globalShortcutsPortal,
                  B::Paste::remoteDesktopPortal, B::Clipboard::xwaylandBridge, B::Frontmost::none)},
        {"gnome before 48",
         {"wayland", "wayland-0", ":0", "GNOME", 0, 2, {}},
         backends(B::Windows::xwayland, B::Hotkeys::commandsOnly, B::Paste::remoteDesktopPortal,
                  B::Clipboard::xwaylandBridge, B::Frontmost::none)},
        {"gnome without xwayland",
         {"wayland", "wayland-0", "", "GNOME", 1, 2, {}},
         backends(B::Windows::wayland, B::Hotkeys::globalShortcutsPortal,
                  B::Paste::remoteDesktopPortal, B::Clipboard::dataControl, B::Frontmost::none)},
        {"sway",
         {"wayland", "wayland-1", ":0", "sway", 0, 0, kWlroots},
         backends(B::Windows::xwayland, B::Hotkeys::commandsOnly, B::Paste::virtualKeyboard,
                  B::Clipboard::dataControl, B::Frontmost::foreignToplevel)},
        // Told by the protocols, not the name.
        {"a compositor of another name with the wlroots protocols",
         {"wayland", "wayland-1", ":0", "", 0, 0, kWlroots},
         backends(B::Windows::xwayland, B::Hotkeys::commandsOnly, B::Paste::virtualKeyboard,
                  B::Clipboard::dataControl, B::Frontmost::foreignToplevel)},
        {"named sway but without the virtual keyboard",
         {"wayland",
          "wayland-1",
          ":0",
          "sway",
          0,
          0,
          {"zwlr_layer_shell_v1", "zwlr_data_control_manager_v1"}},
         backends(B::Windows::xwayland, B::Hotkeys::commandsOnly, B::Paste::none,
                  B::Clipboard::dataControl, B::Frontmost::none)},
        {"ext data-control in place of wlr's",
         {"wayland",
          "wayland-1",
          ":0",
          "",
          0,
          0,
          {"zwp_virtual_keyboard_manager_v1", "zwlr_layer_shell_v1",
           "ext_data_control_manager_v1"}},
         backends(B::Windows::xwayland, B::Hotkeys::commandsOnly, B::Paste::virtualKeyboard,
                  B::Clipboard::dataControl, B::Frontmost::foreignToplevel)},
        {"unknown wayland desktop without portals",
         {"", "wayland-0", ":0", "", 0, 0, {}},
         backends(B::Windows::xwayland, B::Hotkeys::commandsOnly, B::Paste::none,
                  B::Clipboard::dataControl, B::Frontmost::none)},
    };
    for (const Case& c : cases) {
        const B got = SessionBackends::choose(c.environment);
        EXPECT_EQ(got, c.expected) << c.name << ": " << got.describe(c.environment).toStdString();
    }
}

TEST(SessionBackends, TheLogLineNamesEveryChoice) {
    const SessionEnvironment kde{"wayland", "wayland-0", ":1", "KDE", 1, 0, {}};
    EXPECT_EQ(SessionBackends::choose(kde).describe(kde),
              "[Session] Wayland session (KDE): windows X11 on XWayland, hotkeys GlobalShortcuts "
              "portal v1, paste none (no RemoteDesktop portal), clipboard data-control");
}

TEST(SessionBackends, QtIsToldToUseXcbOnlyWhenXWaylandIsThere) {
    struct Env {
        const char* type;
        const char* wayland;
        const char* display;
        bool xcb;
    };
    const QByteArray saved[] = {qgetenv("XDG_SESSION_TYPE"), qgetenv("WAYLAND_DISPLAY"),
                                qgetenv("DISPLAY"), qgetenv("QT_QPA_PLATFORM")};
    for (const Env& e : {Env{"wayland", "wayland-0", ":1", true},
                         Env{"wayland", "wayland-0", "", false}, Env{"x11", "", ":0", false}}) {
        qputenv("XDG_SESSION_TYPE", e.type);
        qputenv("WAYLAND_DISPLAY", e.wayland);
        qputenv("DISPLAY", e.display);
        qputenv("QT_QPA_PLATFORM", "wayland");
        EXPECT_EQ(prepareQtPlatformForSession(), e.xcb) << e.type << " " << e.display;
        EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), e.xcb ? "xcb" : "wayland");
    }
    const char* names[] = {"XDG_SESSION_TYPE", "WAYLAND_DISPLAY", "DISPLAY", "QT_QPA_PLATFORM"};
    for (int i = 0; i < 4; ++i) qputenv(names[i], saved[i]);
}

}  // namespace
