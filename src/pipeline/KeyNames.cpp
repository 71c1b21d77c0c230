#include "pipeline/KeyNames.h"

#include <QStringList>
#include <iterator>

#include "platform/KeyCodes.h"

namespace {

QString loneModifierName(qint64 code) {
    switch (code) {
        case KeyCodes::rightCommand:
            return QStringLiteral("Right Super");
        case KeyCodes::leftCommand:
            return QStringLiteral("Left Super");
        case KeyCodes::leftShift:
            return QStringLiteral("Left Shift");
        case KeyCodes::leftOption:
            return QStringLiteral("Left Alt");
        case KeyCodes::leftControl:
            return QStringLiteral("Left Ctrl");
        case KeyCodes::rightShift:
            return QStringLiteral("Right Shift");
        case KeyCodes::rightOption:
            return QStringLiteral("Right Alt");
        case KeyCodes::rightControl:
            return QStringLiteral("Right Ctrl");
        default:
            return {};
    }
}

// Names of codes 0..126 as a Linux keyboard labels the key at that place
// (code 51 is Backspace, 117 is Delete); an empty entry has no name.
const char* const kNames[] = {
    // 0-9
    "A", "S", "D", "F", "H", "G", "Z", "X", "C", "V",
    // 10-17
    "", "B", "Q", "W", "E", "R", "Y", "T",
    // 18-29
    "1", "2", "3", "4", "6", "5", "=", "9", "7", "-", "8", "0",
    // 30-36
    "]", "O", "U", "[", "I", "P", "Return",
    // 37-47
    "L", "J", "'", "K", ";", "\\", ",", "/", "N", "M", ".",
    // 48-53
    "Tab", "Space", "`", "Backspace", "", "Escape",
    // 54-62
    "Super", "Super", "Shift", "Caps Lock", "Alt", "Ctrl", "Shift", "Alt", "Ctrl",
    // 63-79
    "Fn", "F17", "", "", "", "", "", "", "", "", "", "", "", "Enter", "", "", "F18",
    // 80-95
    "F19", "", "", "", "", "", "", "", "", "", "F20", "", "", "", "", "",
    // 96-111
    "F5", "F6", "F7", "F3", "F8", "F9", "", "F11", "", "F13", "F16", "F14", "", "F10", "Menu", "F12",
    // 112-126
    "", "F15", "Insert", "Home", "PageUp", "Delete", "F4", "End", "F2", "PageDown", "F1", "←",
    "→", "↓", "↑"};
static_assert(std::size(kNames) == 127);

}  // namespace

QString KeyNames::regularKeyName(qint64 keyCode) {
    if (keyCode >= 0 && keyCode < static_cast<qint64>(std::size(kNames)) &&
        kNames[keyCode][0] != '\0')
        return QString::fromUtf8(kNames[keyCode]);
    if (QString name = KeyCodes::privateKeyName(keyCode); !name.isEmpty()) return name;
    return QStringLiteral("Key ") + QString::number(keyCode);
}

QString KeyNames::displayName(qint64 keyCode, quint64 modifiers, bool isModifierOnly) {
    if (isModifierOnly) {
        QString name = loneModifierName(keyCode);
        return name.isEmpty() ? regularKeyName(keyCode) : name;
    }
    QStringList parts;
    if (modifiers & KeyFlags::control) parts << QStringLiteral("Ctrl");
    if (modifiers & KeyFlags::option) parts << QStringLiteral("Alt");
    if (modifiers & KeyFlags::shift) parts << QStringLiteral("Shift");
    if (modifiers & KeyFlags::command) parts << QStringLiteral("Super");
    parts << regularKeyName(keyCode);
    return parts.join(QLatin1Char('+'));
}
