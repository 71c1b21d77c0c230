// Shortcut labels.
#include <gtest/gtest.h>

#include <QStringList>
#include <set>

#include "pipeline/HotkeyService.h"
#include "pipeline/KeyNames.h"
#include "platform/KeyCodes.h"

namespace {

// Rows of consecutive codes and their names, separated by single spaces.
struct Row {
    qint64 first;
    const char* names;
};

TEST(KeyNames, RegularKeyNames) {
    const Row rows[] = {
        {0, "A S D F H G Z X C V"},
        {11, "B Q W E R Y T 1 2 3 4 6 5 = 9 7 - 8 0 ] O U [ I P Return L J ' K ; \\ , / N M ."},
        {48, "Tab Space `"},
        {51, "Backspace"},
        {53, "Escape Super Super Shift"},
        {58, "Alt Ctrl Shift Alt Ctrl Fn F17"},
        {76, "Enter"},
        {79, "F18 F19"},
        {90, "F20"},
        {96, "F5 F6 F7 F3 F8 F9"},
        {103, "F11"},
        {105, "F13 F16 F14"},
        {109, "F10 Menu F12"},
        {113, "F15 Insert Home PageUp Delete"},
        {118, "F4 End F2 PageDown F1 ← → ↓ ↑"},
    };
    for (const Row& r : rows) {
        const QStringList names = QString::fromUtf8(r.names).split(' ');
        for (int i = 0; i < names.size(); ++i)
            EXPECT_EQ(KeyNames::regularKeyName(r.first + i), names[i]) << r.first + i;
    }
    const std::pair<qint64, const char*> singles[] = {
        {57, "Caps Lock"}, {10, "Key 10"}, {52, "Key 52"},   {127, "Key 127"},
        {-1, "Key -1"},    {82, "Key 82"}, {1000, "Key 1000"}};
    for (const auto& [code, name] : singles)
        EXPECT_EQ(KeyNames::regularKeyName(code), QString::fromUtf8(name)) << code;
}

TEST(KeyNames, DisplayNames) {
    struct Case {
        qint64 code;
        quint64 modifiers;
        bool modifierOnly;
        const char* name;
    };
    const Case cases[] = {
        {54, 0, true, "Right Super"},
        {55, 0, true, "Left Super"},
        {56, 0, true, "Left Shift"},
        {58, 0, true, "Left Alt"},
        {59, 0, true, "Left Ctrl"},
        {60, 0, true, "Right Shift"},
        {61, 0, true, "Right Alt"},
        {62, 0, true, "Right Ctrl"},
        // Modifier-only with a code that is no modifier: the plain key name.
        {9, 0, true, "V"},
        {57, 0, true, "Caps Lock"},
        {9, 0x60000, false, "Ctrl+Shift+V"},
        {9, 0x100000, false, "Super+V"},
        {49, 0, false, "Space"},
        {0, 0x1E0000, false, "Ctrl+Alt+Shift+Super+A"},
        // Bits outside the four modifiers do not show.
        {122, 0x10000 | 0x80000, false, "Alt+F1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HotkeyService::displayName(c.code, c.modifiers, c.modifierOnly),
                  QString::fromUtf8(c.name))
            << c.code << " " << c.modifiers;
}

TEST(KeyNames, PrivateCodesHaveReadableNames) {
    // 0xff61 is the X symbol of the Print key, 0xff14 of Scroll Lock.
    EXPECT_EQ(KeyNames::regularKeyName(KeyCodes::privateCode(0xff61)), "Print");
    EXPECT_EQ(KeyNames::regularKeyName(KeyCodes::privateCode(0xff14)), "Scroll Lock");
    EXPECT_EQ(HotkeyService::displayName(KeyCodes::privateCode(0xff61), 0x40000, false), "Ctrl+Print");
}

// Every key that has a name can be reached from some key symbol.
TEST(KeyCodes, EveryNamedKeyIsReachable) {
    std::set<qint64> reached;
    auto scan = [&](quint32 from, quint32 to) {
        for (quint32 k = from; k <= to; ++k)
            if (auto c = KeyCodes::fromKeysym(k)) reached.insert(*c);
    };
    scan(0x20, 0x7e);
    scan(0xfe00, 0xffff);
    scan(0x100811D0, 0x100811D0);  // XF86XK_Fn
    for (qint64 code = 0; code < 127; ++code) {
        if (KeyNames::regularKeyName(code).startsWith("Key ")) continue;
        EXPECT_TRUE(reached.count(code))
            << code << " " << KeyNames::regularKeyName(code).toStdString();
    }
}

}  // namespace
