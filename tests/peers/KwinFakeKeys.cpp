// Key events into KWin through its fake-input protocol, standing in for the
// user's keyboard in tests (the compositor must run with
// KWIN_WAYLAND_NO_PERMISSION_CHECKS=1).
//   ormil-kwin-fake-keys SPEC...   SPEC = +CODE (press) | -CODE (release) |
//                                  CODE (press and release) | sMS (pause, ms)
// CODE is a Linux evdev key code (KEY_LEFTCTRL 29, KEY_V 47).
#include <wayland-client.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "KeySpecs.h"
#include "fake-input-client-protocol.h"

namespace {
org_kde_kwin_fake_input* g_fake = nullptr;

void globalAdded(void*, wl_registry* registry, uint32_t name, const char* interface,
                 uint32_t version) {
    if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 4)
        g_fake = static_cast<org_kde_kwin_fake_input*>(
            wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4));
}
void globalRemoved(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kRegistryListener{globalAdded, globalRemoved};
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
    if (!g_fake) {
        std::fprintf(stderr, "the compositor offers no fake input (version 4)\n");
        return 3;
    }
    org_kde_kwin_fake_input_authenticate(g_fake, "ormil-tests", "test keyboard");
    playKeySpecs(
        argc, argv, 1,
        [&](int code, bool press) {
            org_kde_kwin_fake_input_keyboard_key(g_fake, code, press ? 1 : 0);
        },
        [&] { wl_display_roundtrip(display); });
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
