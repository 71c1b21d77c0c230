// The key code table and the per-key state behind the key events.
#include <gtest/gtest.h>

#include <QString>
#include <set>

#include "platform/KeyCodes.h"
#include "platform/KeyEventSource.h"

// X11 headers last: their macros clash with gtest.
#include <X11/XF86keysym.h>
#include <X11/keysym.h>

namespace {

TEST(KeyCodes, ModifiersAndAltGr) {
    const std::pair<quint32, qint64> cases[] = {
        {XK_Alt_R, 61},     {XK_Super_R, 54},
        {XK_Super_L, 55},   {XK_Shift_L, 56},
        {XK_Caps_Lock, 57}, {XK_Alt_L, 58},
        {XK_Control_L, 59}, {XK_Shift_R, 60},
        {XK_Control_R, 62}, {XK_ISO_Level3_Shift, 61},  // AltGr is the right Option key
        {XK_Meta_L, 58},    {XK_Meta_R, 61},
    };
    for (const auto& [keysym, code] : cases)
        EXPECT_EQ(KeyCodes::fromKeysym(keysym), code) << keysym;
}

TEST(KeyCodes, OrdinaryKeys) {
    const std::pair<quint32, qint64> cases[] = {
        {XK_a, 0},          {XK_A, 0},          {XK_v, 9},        {XK_V, 9},    {XK_q, 12},
        {XK_m, 46},         {XK_1, 18},         {XK_5, 23},       {XK_0, 29},   {XK_minus, 27},
        {XK_grave, 50},     {XK_backslash, 42}, {XK_Return, 36},  {XK_Tab, 48}, {XK_space, 49},
        {XK_BackSpace, 51}, {XK_Escape, 53},    {XK_Delete, 117}, {XK_F1, 122}, {XK_F12, 111},
        {XK_F20, 90},       {XK_Home, 115},     {XK_Prior, 116},  {XK_Up, 126}, {XK_KP_Enter, 76},
        {XK_KP_Home, 89},   {XK_KP_7, 89},
    };
    for (const auto& [keysym, code] : cases)
        EXPECT_EQ(KeyCodes::fromKeysym(keysym), code) << keysym;
    for (quint32 none : {quint32(XK_Print), quint32(XK_Pause), quint32(XK_F21),
                         quint32(XK_Cyrillic_ef), quint32(XF86XK_AudioPlay)})
        EXPECT_FALSE(KeyCodes::fromKeysym(none).has_value()) << none;
}

TEST(KeyCodes, PrivateCodes) {
    const qint64 print = KeyCodes::privateCode(XK_Print);
    EXPECT_TRUE(KeyCodes::isPrivate(print));
    EXPECT_FALSE(KeyCodes::isPrivate(61));
    EXPECT_EQ(KeyCodes::privateKeyName(print), "Print");
    EXPECT_EQ(KeyCodes::privateKeyName(KeyCodes::privateCode(XF86XK_AudioPlay)), "XF86AudioPlay");
    EXPECT_EQ(KeyCodes::privateKeyName(61), "");
}

// A shortcut as it is offered to a desktop's shortcut settings.
TEST(KeyCodes, TriggerTexts) {
    using namespace KeyCodes;
    const struct {
        qint64 code;
        quint64 modifiers;
        const char* text;
    } cases[] = {
        {rightOption, 0, "Alt_R"},
        {2, KeyFlags::control | KeyFlags::option, "CTRL+ALT+d"},
        {v, KeyFlags::control | KeyFlags::option | KeyFlags::shift | KeyFlags::command,
         "CTRL+ALT+SHIFT+LOGO+v"},
        {49, KeyFlags::command, "LOGO+space"},
        {101, 0, "F9"},
        {privateCode(0xff61), 0, "Print"},
        {-1, 0, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(triggerText(c.code, c.modifiers), QString::fromLatin1(c.text)) << c.code;
}

TEST(KeyStateTracker, LeftAndRightModifiersAreTrackedApart) {
    KeyStateTracker t;
    auto e = t.press(KeyCodes::leftOption);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->type, KeyEventType::flagsChanged);
    EXPECT_EQ(e->flags, KeyFlags::option);
    EXPECT_TRUE(e->keyIsDown);

    e = t.press(KeyCodes::rightOption);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->keyCode, 61);
    EXPECT_TRUE(e->keyIsDown);

    KeyEvent up = t.release(KeyCodes::rightOption);
    EXPECT_EQ(up.type, KeyEventType::flagsChanged);
    EXPECT_EQ(up.keyCode, 61);
    EXPECT_FALSE(up.keyIsDown);
    EXPECT_EQ(up.flags, KeyFlags::option);  // the left key still holds the bit

    up = t.release(KeyCodes::leftOption);
    EXPECT_EQ(up.flags, 0u);
}

TEST(KeyStateTracker, FlagsOfEveryModifier) {
    KeyStateTracker t;
    for (qint64 code : {54, 56, 57, 59}) t.press(code);
    EXPECT_EQ(t.flags(), KeyFlags::command | KeyFlags::shift | KeyFlags::control);
    auto caps = t.release(KeyCodes::capsLock);
    EXPECT_EQ(caps.type, KeyEventType::flagsChanged);
    EXPECT_FALSE(caps.keyIsDown);
}

TEST(KeyStateTracker, RepeatsAndModifierRepeats) {
    KeyStateTracker t;
    t.press(KeyCodes::leftControl);
    EXPECT_FALSE(t.press(KeyCodes::leftControl)) << "modifiers do not repeat";
    auto first = t.press(KeyCodes::v);
    auto again = t.press(KeyCodes::v);
    ASSERT_TRUE(first && again);
    EXPECT_EQ(first->type, KeyEventType::keyDown);
    EXPECT_FALSE(first->isAutorepeat);
    EXPECT_TRUE(again->isAutorepeat);
    EXPECT_EQ(again->flags, KeyFlags::control);
    KeyEvent up = t.release(KeyCodes::v);
    EXPECT_EQ(up.type, KeyEventType::keyUp);
    EXPECT_FALSE(t.isDown(KeyCodes::v)) << "one release ends a repeated key";
}

}  // namespace
