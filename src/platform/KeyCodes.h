#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

// Key codes and modifier flags in the application's own code space: the
// codes stored in the settings and synchronised with the account. The X11
// layer translates physical keys into them.

// Modifier flag bits of a key event; only the four in `mask` are compared.
namespace KeyFlags {
constexpr quint64 shift = 0x20000;
constexpr quint64 control = 0x40000;
constexpr quint64 option = 0x80000;
constexpr quint64 command = 0x100000;
constexpr quint64 mask = 0x1E0000;
}  // namespace KeyFlags

namespace KeyCodes {
constexpr qint64 v = 9;
constexpr qint64 escape = 53;
constexpr qint64 rightCommand = 54;
constexpr qint64 leftCommand = 55;
constexpr qint64 leftShift = 56;
constexpr qint64 capsLock = 57;
constexpr qint64 leftOption = 58;
constexpr qint64 leftControl = 59;
constexpr qint64 rightShift = 60;
constexpr qint64 rightOption = 61;
constexpr qint64 rightControl = 62;

// Keys without a counterpart in the code space get a code of their own above
// this base: the base plus the key's X keysym, so the code is the same on
// every keyboard that produces that symbol.
constexpr qint64 privateBase = qint64(1) << 32;

// The nine modifier keys (54..62) whose presses are flag changes, not key
// downs.
bool isModifierKey(qint64 code);
// The flag bit held while that modifier key is down (Caps Lock has none).
quint64 modifierFlag(qint64 code);

// The code of a key whose unshifted symbol is `keysym`, when the code space
// has one.
std::optional<qint64> fromKeysym(quint32 keysym);
// The unshifted symbol of the key with this code (the first one the table
// names, for keypad keys); none for codes without one.
std::optional<quint32> toKeysym(qint64 code);
// A shortcut as a desktop's shortcut settings spell it: the modifier names
// and the key's symbol joined by "+" ("CTRL+ALT+d", "Alt_R", "F9"); empty
// when the key has no symbol.
QString triggerText(qint64 code, quint64 modifiers);
// The private code of a key without a counterpart.
qint64 privateCode(quint32 keysym);
bool isPrivate(qint64 code);
// A readable name of a private code ("Print", "Scroll Lock"), or empty when
// the code is not a private one or its symbol has no name.
QString privateKeyName(qint64 code);
}  // namespace KeyCodes
