#include "platform/KeyCodes.h"

#include <QHash>

// X11 headers last: their macros clash with Qt.
#include <X11/XF86keysym.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace {

// XF86XK_Fn: the header spells it with a macro that it undefines again.
constexpr quint32 kFnKeysym = 0x10081000 + 0x1D0;

struct Entry {
    quint32 keysym;
    qint64 code;
};

// Unshifted key symbols and the code of the key at that place. Letters and
// digits are named by their lower-case, unshifted symbol; keypad keys by both
// symbols of their two levels, so Num Lock does not change the code.
constexpr Entry kTable[] = {
    // Letters
    {XK_a, 0},
    {XK_s, 1},
    {XK_d, 2},
    {XK_f, 3},
    {XK_h, 4},
    {XK_g, 5},
    {XK_z, 6},
    {XK_x, 7},
    {XK_c, 8},
    {XK_v, 9},
    {XK_b, 11},
    {XK_q, 12},
    {XK_w, 13},
    {XK_e, 14},
    {XK_r, 15},
    {XK_y, 16},
    {XK_t, 17},
    {XK_o, 31},
    {XK_u, 32},
    {XK_i, 34},
    {XK_p, 35},
    {XK_l, 37},
    {XK_j, 38},
    {XK_k, 40},
    {XK_n, 45},
    {XK_m, 46},
    // Digits and punctuation
    {XK_1, 18},
    {XK_2, 19},
    {XK_3, 20},
    {XK_4, 21},
    {XK_6, 22},
    {XK_5, 23},
    {XK_equal, 24},
    {XK_9, 25},
    {XK_7, 26},
    {XK_minus, 27},
    {XK_8, 28},
    {XK_0, 29},
    {XK_bracketright, 30},
    {XK_bracketleft, 33},
    {XK_apostrophe, 39},
    {XK_semicolon, 41},
    {XK_backslash, 42},
    {XK_comma, 43},
    {XK_slash, 44},
    {XK_period, 47},
    {XK_grave, 50},
    {XK_less, 10},
    // Editing and whitespace
    {XK_Return, 36},
    {XK_Tab, 48},
    {XK_ISO_Left_Tab, 48},
    {XK_space, 49},
    {XK_BackSpace, 51},
    {XK_Escape, 53},
    {XK_Delete, 117},
    {XK_Insert, 114},
    {XK_Help, 114},
    {XK_Menu, 110},
    // Modifiers; AltGr is the right Option key
    {XK_Super_R, 54},
    {XK_Super_L, 55},
    {XK_Meta_R, 61},
    {XK_Meta_L, 58},
    {XK_Shift_L, 56},
    {XK_Caps_Lock, 57},
    {XK_Alt_L, 58},
    {XK_Control_L, 59},
    {XK_Shift_R, 60},
    {XK_Alt_R, 61},
    {XK_ISO_Level3_Shift, 61},
    {XK_Mode_switch, 61},
    {XK_Control_R, 62},
    {kFnKeysym, 63},
    // Function keys
    {XK_F1, 122},
    {XK_F2, 120},
    {XK_F3, 99},
    {XK_F4, 118},
    {XK_F5, 96},
    {XK_F6, 97},
    {XK_F7, 98},
    {XK_F8, 100},
    {XK_F9, 101},
    {XK_F10, 109},
    {XK_F11, 103},
    {XK_F12, 111},
    {XK_F13, 105},
    {XK_F14, 107},
    {XK_F15, 113},
    {XK_F16, 106},
    {XK_F17, 64},
    {XK_F18, 79},
    {XK_F19, 80},
    {XK_F20, 90},
    // Navigation
    {XK_Home, 115},
    {XK_Prior, 116},
    {XK_End, 119},
    {XK_Next, 121},
    {XK_Left, 123},
    {XK_Right, 124},
    {XK_Down, 125},
    {XK_Up, 126},
    // Keypad
    {XK_KP_Decimal, 65},
    {XK_KP_Delete, 65},
    {XK_KP_Separator, 65},
    {XK_KP_Multiply, 67},
    {XK_KP_Add, 69},
    {XK_Num_Lock, 71},
    {XK_KP_Divide, 75},
    {XK_KP_Enter, 76},
    {XK_KP_Subtract, 78},
    {XK_KP_Equal, 81},
    {XK_KP_0, 82},
    {XK_KP_Insert, 82},
    {XK_KP_1, 83},
    {XK_KP_End, 83},
    {XK_KP_2, 84},
    {XK_KP_Down, 84},
    {XK_KP_3, 85},
    {XK_KP_Next, 85},
    {XK_KP_4, 86},
    {XK_KP_Left, 86},
    {XK_KP_5, 87},
    {XK_KP_Begin, 87},
    {XK_KP_6, 88},
    {XK_KP_Right, 88},
    {XK_KP_7, 89},
    {XK_KP_Home, 89},
    {XK_KP_8, 91},
    {XK_KP_Up, 91},
    {XK_KP_9, 92},
    {XK_KP_Prior, 92},
    // Volume
    {XF86XK_AudioRaiseVolume, 72},
    {XF86XK_AudioLowerVolume, 73},
    {XF86XK_AudioMute, 74},
};

const QHash<quint32, qint64>& table() {
    static const QHash<quint32, qint64> map = [] {
        QHash<quint32, qint64> m;
        for (const Entry& e : kTable) m.insert(e.keysym, e.code);
        return m;
    }();
    return map;
}

}  // namespace

bool KeyCodes::isModifierKey(qint64 code) {
    return code >= rightCommand && code <= rightControl;
}

quint64 KeyCodes::modifierFlag(qint64 code) {
    switch (code) {
        case rightCommand:
        case leftCommand:
            return KeyFlags::command;
        case leftShift:
        case rightShift:
            return KeyFlags::shift;
        case leftOption:
        case rightOption:
            return KeyFlags::option;
        case leftControl:
        case rightControl:
            return KeyFlags::control;
        default:
            return 0;
    }
}

std::optional<qint64> KeyCodes::fromKeysym(quint32 keysym) {
    // Upper-case letters come from layouts that put them on the first level.
    if (keysym >= XK_A && keysym <= XK_Z) keysym += XK_a - XK_A;
    const auto& t = table();
    auto it = t.constFind(keysym);
    if (it == t.constEnd()) return std::nullopt;
    return it.value();
}

std::optional<quint32> KeyCodes::toKeysym(qint64 code) {
    if (isPrivate(code)) return quint32(code - privateBase);
    for (const Entry& e : kTable)
        // Right Option is named Alt_R, as desktops name it, not Meta_R.
        if (e.code == code && e.keysym != XK_Meta_R && e.keysym != XK_Meta_L) return e.keysym;
    return std::nullopt;
}

QString KeyCodes::triggerText(qint64 code, quint64 modifiers) {
    const auto keysym = toKeysym(code);
    const char* name = keysym ? XKeysymToString(static_cast<KeySym>(*keysym)) : nullptr;
    if (!name) return {};
    QString text;
    const std::pair<quint64, const char*> names[] = {{KeyFlags::control, "CTRL+"},
                                                     {KeyFlags::option, "ALT+"},
                                                     {KeyFlags::shift, "SHIFT+"},
                                                     {KeyFlags::command, "LOGO+"}};
    for (const auto& [flag, prefix] : names)
        if (modifiers & flag) text += QLatin1String(prefix);
    return text + QLatin1String(name);
}

qint64 KeyCodes::privateCode(quint32 keysym) {
    return privateBase + keysym;
}

bool KeyCodes::isPrivate(qint64 code) {
    return code >= privateBase && code < privateBase + (qint64(1) << 32);
}

QString KeyCodes::privateKeyName(qint64 code) {
    if (!isPrivate(code)) return {};
    const char* name = XKeysymToString(static_cast<KeySym>(code - privateBase));
    if (!name) return {};
    return QString::fromLatin1(name).replace(QLatin1Char('_'), QLatin1Char(' '));
}
