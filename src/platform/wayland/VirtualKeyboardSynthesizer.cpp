#include "platform/wayland/VirtualKeyboardSynthesizer.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdlib>

#include "platform/DebugLog.h"
#include "platform/wayland/WaylandClient.h"
#include "virtual-keyboard-client-protocol.h"

VirtualKeyboardSynthesizer::Keymap VirtualKeyboardSynthesizer::usKeymap() {
    Keymap result;
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES);
    if (!context) return result;
    const xkb_rule_names names{"evdev", "pc105", "us", "", ""};
    xkb_keymap* keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (keymap) {
        if (char* text = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1)) {
            result.text = QByteArray(text);
            std::free(text);
        }
        const xkb_mod_index_t shift = xkb_keymap_mod_get_index(keymap, XKB_MOD_NAME_SHIFT);
        const xkb_mod_index_t control = xkb_keymap_mod_get_index(keymap, XKB_MOD_NAME_CTRL);
        if (shift != XKB_MOD_INVALID) result.shiftMask = 1u << shift;
        if (control != XKB_MOD_INVALID) result.controlMask = 1u << control;
        xkb_keymap_unref(keymap);
    }
    xkb_context_unref(context);
    return result;
}

QList<VirtualKeyboardSynthesizer::KeyEvent> VirtualKeyboardSynthesizer::chordKeys(
    PasteChord chord) {
    switch (chord) {
        case PasteChord::ControlV:
            return {{kLeftControl, true}, {kV, true}, {kV, false}, {kLeftControl, false}};
        case PasteChord::ControlShiftV:
            return {{kLeftControl, true}, {kLeftShift, true},  {kV, true},
                    {kV, false},          {kLeftShift, false}, {kLeftControl, false}};
        case PasteChord::ShiftInsert:
            return {{kLeftShift, true}, {kInsert, true}, {kInsert, false}, {kLeftShift, false}};
    }
    return {};
}

VirtualKeyboardSynthesizer::VirtualKeyboardSynthesizer(WaylandClient& client)
    : m_client(client), m_keymap(usKeymap()) {
    auto* manager = static_cast<zwp_virtual_keyboard_manager_v1*>(
        client.bind(&zwp_virtual_keyboard_manager_v1_interface, 1));
    wl_seat* seat = client.seat();
    if (!manager || !seat || m_keymap.text.isEmpty()) {
        debugLog(
            QStringLiteral("[Paste] No virtual keyboard: the compositor offers no "
                           "zwp_virtual_keyboard_manager_v1 (or no seat)"));
        if (manager) zwp_virtual_keyboard_manager_v1_destroy(manager);
        return;
    }
    // The keymap travels as a file: a sealed memory file of its text and its
    // terminating NUL.
    const int fd = memfd_create("ormil-keymap", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    const qsizetype size = m_keymap.text.size() + 1;
    if (fd < 0 || write(fd, m_keymap.text.constData(), size) != size) {
        if (fd >= 0) close(fd);
        debugLog(QStringLiteral("[Paste] No virtual keyboard: the keymap could not be written"));
        zwp_virtual_keyboard_manager_v1_destroy(manager);
        return;
    }
    fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL);
    m_keyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(manager, seat);
    zwp_virtual_keyboard_v1_keymap(m_keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                   static_cast<uint32_t>(size));
    close(fd);
    zwp_virtual_keyboard_manager_v1_destroy(manager);
    // A refusal (an unauthorized client) arrives as a protocol error.
    if (!m_client.roundtrip()) {
        debugLog(QStringLiteral("[Paste] No virtual keyboard: the compositor refused one"));
        m_keyboard = nullptr;
        return;
    }
    debugLog(QStringLiteral("[Paste] Keys go through the compositor's virtual keyboard"));
}

VirtualKeyboardSynthesizer::~VirtualKeyboardSynthesizer() {
    if (!m_keyboard) return;
    zwp_virtual_keyboard_v1_destroy(m_keyboard);
    m_client.flush();
}

bool VirtualKeyboardSynthesizer::send(const QList<KeyEvent>& keys) {
    if (!m_keyboard) return false;
    uint32_t mods = 0;
    for (const KeyEvent& k : keys) {
        const uint32_t mask = k.key == kLeftControl ? m_keymap.controlMask
                              : k.key == kLeftShift ? m_keymap.shiftMask
                                                    : 0;
        zwp_virtual_keyboard_v1_key(
            m_keyboard, ++m_time, k.key,
            k.press ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
        // The receiving client reads the modifiers from the modifiers event,
        // not from the modifier keys: it follows each of them.
        if (mask) {
            mods = k.press ? (mods | mask) : (mods & ~mask);
            zwp_virtual_keyboard_v1_modifiers(m_keyboard, mods, 0, 0, 0);
        }
    }
    return m_client.flush();
}

bool VirtualKeyboardSynthesizer::postPaste(PasteChord chord) {
    return send(chordKeys(chord));
}

bool VirtualKeyboardSynthesizer::postBackspaces(int count) {
    QList<KeyEvent> keys;
    for (int i = 0; i < count; ++i)
        keys << KeyEvent{kBackspace, true} << KeyEvent{kBackspace, false};
    return send(keys);
}
