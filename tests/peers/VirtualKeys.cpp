// Key events through the virtual keyboard protocol of a wlroots compositor,
// standing in for the user's keyboard in tests (US keymap).
//   ormil-virtual-keys hold      keeps one keyboard on the seat for as long as
//                                it runs (prints "holding" once it is there):
//                                a seat without any keyboard gives clients no
//                                focus, and a fresh one loses its first keys
//   ormil-virtual-keys SPEC...   SPEC = +CODE (press) | -CODE (release) |
//                                CODE (press and release) | sMS (pause, ms)
// CODE is a Linux evdev key code (KEY_LEFTCTRL 29, KEY_V 47).
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "KeySpecs.h"
#include "virtual-keyboard-client-protocol.h"

namespace {
zwp_virtual_keyboard_manager_v1* g_manager = nullptr;
wl_seat* g_seat = nullptr;

void globalAdded(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0)
        g_manager = static_cast<zwp_virtual_keyboard_manager_v1*>(
            wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
    else if (std::strcmp(interface, wl_seat_interface.name) == 0 && !g_seat)
        g_seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
}
void globalRemoved(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kRegistryListener{globalAdded, globalRemoved};

std::string usKeymap(uint32_t* controlMask, uint32_t* shiftMask) {
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES);
    const xkb_rule_names names{"evdev", "pc105", "us", "", ""};
    xkb_keymap* keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    char* text = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
    std::string result(text);
    std::free(text);
    *controlMask = 1u << xkb_keymap_mod_get_index(keymap, XKB_MOD_NAME_CTRL);
    *shiftMask = 1u << xkb_keymap_mod_get_index(keymap, XKB_MOD_NAME_SHIFT);
    xkb_keymap_unref(keymap);
    xkb_context_unref(context);
    return result;
}
}  // namespace

int main(int argc, char** argv) {
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "no Wayland display\n");
        return 2;
    }
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kRegistryListener, nullptr);
    wl_display_roundtrip(display);
    if (!g_manager || !g_seat) {
        std::fprintf(stderr, "the compositor offers no virtual keyboard\n");
        return 3;
    }
    uint32_t control = 0, shift = 0;
    const std::string keymap = usKeymap(&control, &shift);
    const int fd = memfd_create("keymap", MFD_CLOEXEC);
    if (fd < 0 || write(fd, keymap.c_str(), keymap.size() + 1) < 0) return 4;
    zwp_virtual_keyboard_v1* keyboard =
        zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(g_manager, g_seat);
    zwp_virtual_keyboard_v1_keymap(keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                   static_cast<uint32_t>(keymap.size() + 1));
    close(fd);
    wl_display_roundtrip(display);
    if (argc == 2 && std::strcmp(argv[1], "hold") == 0) {
        std::signal(SIGTERM, [](int) { std::_Exit(0); });
        std::puts("holding");
        std::fflush(stdout);
        while (wl_display_dispatch(display) >= 0) {
        }
        return 0;
    }
    uint32_t time = 0, mods = 0;
    playKeySpecs(
        argc, argv, 1,
        [&](int code, bool press) {
            const uint32_t mask = code == 29 || code == 97   ? control
                                  : code == 42 || code == 54 ? shift
                                                             : 0;
            zwp_virtual_keyboard_v1_key(keyboard, ++time, code, press ? 1 : 0);
            if (mask) {
                mods = press ? (mods | mask) : (mods & ~mask);
                zwp_virtual_keyboard_v1_modifiers(keyboard, mods, 0, 0, 0);
            }
        },
        [&] { wl_display_roundtrip(display); });
    zwp_virtual_keyboard_v1_destroy(keyboard);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
