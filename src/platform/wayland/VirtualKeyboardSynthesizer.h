#pragma once

#include <QByteArray>
#include <QList>

#include "platform/KeySynthesizer.h"

class WaylandClient;
struct zwp_virtual_keyboard_v1;

// Keys pressed into the focused client through the compositor's virtual
// keyboard protocol (wlroots compositors). The keyboard is made once, with a
// US keymap of its own, so that the chords mean the same whatever layout the
// user types with; it lives as long as this object, which keeps the seat's
// keyboard (and the clients' focus) in place between pastes. Main thread
// only.
class VirtualKeyboardSynthesizer : public KeySynthesizer {
public:
    explicit VirtualKeyboardSynthesizer(WaylandClient& client);
    ~VirtualKeyboardSynthesizer() override;

    bool isAvailable() const override { return m_keyboard != nullptr; }
    // The compositor tells no client which keys the user holds.
    bool modifiersHeld() const override { return false; }
    bool postPaste(PasteChord chord) override;
    bool postBackspaces(int count) override;

    // Linux key codes of the keys the chords use.
    enum Key : uint32_t {
        kBackspace = 14,
        kLeftControl = 29,
        kLeftShift = 42,
        kV = 47,
        kInsert = 110,
    };
    struct KeyEvent {
        uint32_t key;
        bool press;
        bool operator==(const KeyEvent&) const = default;
    };
    // The presses and releases of a chord, modifiers first.
    static QList<KeyEvent> chordKeys(PasteChord chord);
    // The US keymap uploaded to the compositor (xkbcommon's text format),
    // and the modifier masks of Shift and Control in it.
    struct Keymap {
        QByteArray text;
        uint32_t shiftMask = 0;
        uint32_t controlMask = 0;
    };
    static Keymap usKeymap();

private:
    bool send(const QList<KeyEvent>& keys);

    WaylandClient& m_client;
    zwp_virtual_keyboard_v1* m_keyboard = nullptr;
    Keymap m_keymap;
    uint32_t m_time = 0;
};
