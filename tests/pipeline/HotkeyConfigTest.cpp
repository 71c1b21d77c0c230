// Shortcut settings: loading, saving, clearing, the tap's lifecycle and the
// access polling.
#include <QJsonObject>

#include "HotkeyTestFixture.h"
#include "support/TestSupport.h"

namespace {

struct Shortcut {
    qint64 keyCode;
    quint64 modifiers;
    bool isModifierOnly;
    bool operator==(const Shortcut&) const = default;
};

void PrintTo(const Shortcut& s, std::ostream* os) {
    *os << "(" << s.keyCode << ", 0x" << std::hex << s.modifiers << std::dec << ", "
        << s.isModifierOnly << ")";
}

Shortcut mainOf(const HotkeyService& s) {
    return {s.currentKeyCode(), s.currentModifiers(), s.currentIsModifierOnly()};
}
Shortcut translateOf(const HotkeyService& s) {
    return {s.translateKeyCode(), s.translateModifiers(), s.translateIsModifierOnly()};
}
Shortcut pasteLastOf(const HotkeyService& s) {
    return {s.pasteLastKeyCode(), s.pasteLastModifiers(), s.pasteLastIsModifierOnly()};
}

struct LoadCase {
    const char* name;
    QJsonObject stored;
    Shortcut main, translate, pasteLast;
};

void PrintTo(const LoadCase& c, std::ostream* os) {
    *os << c.name;
}

class HotkeyLoadConfig : public HotkeyFixture, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(HotkeyLoadConfig, ReadsPresentKeysAndKeepsDefaultsForAbsentOnes) {
    const LoadCase& c = GetParam();
    for (auto it = c.stored.begin(); it != c.stored.end(); ++it) settings.set(it.key(), it.value());
    HotkeyService& s = make();
    EXPECT_EQ(mainOf(s), c.main);
    EXPECT_EQ(translateOf(s), c.translate);
    EXPECT_EQ(pasteLastOf(s), c.pasteLast);
}

const Shortcut kDefaultMain{61, 0, true};
const Shortcut kNoTranslate{-1, 0, true};
const Shortcut kDefaultPasteLast{9, 0xC0000, false};

INSTANTIATE_TEST_SUITE_P(
    Cases, HotkeyLoadConfig,
    ::testing::Values(
        LoadCase{"nothing_stored", {}, kDefaultMain, kNoTranslate, kDefaultPasteLast},
        LoadCase{"main_all_three",
                 {{"hotkeyKeyCode", 9}, {"hotkeyModifiers", 0x100000}, {"hotkeyIsModifier", false}},
                 {9, 0x100000, false},
                 kNoTranslate,
                 kDefaultPasteLast},
        // A code alone: no modifiers and not a lone modifier.
        LoadCase{"main_code_only",
                 {{"hotkeyKeyCode", 54}},
                 {54, 0, false},
                 kNoTranslate,
                 kDefaultPasteLast},
        // Modifiers without a code are not read.
        LoadCase{"main_modifiers_without_code",
                 {{"hotkeyModifiers", 0x40000}, {"hotkeyIsModifier", false}},
                 kDefaultMain,
                 kNoTranslate,
                 kDefaultPasteLast},
        LoadCase{"first_launch_translate",
                 {{"translateKeyCode", 54}, {"translateIsModifier", true}},
                 kDefaultMain,
                 {54, 0, true},
                 kDefaultPasteLast},
        LoadCase{"translate_combination",
                 {{"translateKeyCode", 17}, {"translateModifiers", 0x80000}},
                 kDefaultMain,
                 {17, 0x80000, false},
                 kDefaultPasteLast},
        // Paste-last without stored modifiers keeps Ctrl+Alt: Ctrl+Shift+V is
        // the paste chord of terminals, so a default there would answer the
        // paste itself.
        LoadCase{"paste_last_code_only",
                 {{"pasteLastKeyCode", 35}},
                 kDefaultMain,
                 kNoTranslate,
                 {35, 0xC0000, false}},
        LoadCase{
            "paste_last_lone_modifier",
            {{"pasteLastKeyCode", 62}, {"pasteLastModifiers", 0}, {"pasteLastIsModifier", true}},
            kDefaultMain,
            kNoTranslate,
            {62, 0, true}},
        LoadCase{"paste_last_disabled",
                 {{"pasteLastKeyCode", -1}},
                 kDefaultMain,
                 kNoTranslate,
                 {-1, 0xC0000, false}},
        // A negative flag set is no flag set: the value in force stays.
        LoadCase{"negative_modifiers_ignored",
                 {{"hotkeyKeyCode", 9},
                  {"hotkeyModifiers", -5},
                  {"translateKeyCode", 3},
                  {"translateModifiers", -1},
                  {"pasteLastKeyCode", 9},
                  {"pasteLastModifiers", -0x60000}},
                 {9, 0, false},
                 {3, 0, false},
                 kDefaultPasteLast},
        // Codes that are no 64-bit integer read as not stored; so do
        // modifiers beyond the range.
        LoadCase{"codes_out_of_range",
                 {{"hotkeyKeyCode", 1e300},
                  {"translateKeyCode", "1e300"},
                  {"pasteLastKeyCode", 35},
                  {"pasteLastModifiers", -1e300}},
                 kDefaultMain,
                 kNoTranslate,
                 {35, 0xC0000, false}},
        LoadCase{"all_three_stored",
                 {{"hotkeyKeyCode", 49},
                  {"hotkeyModifiers", 0x40000},
                  {"hotkeyIsModifier", false},
                  {"translateKeyCode", 62},
                  {"translateModifiers", 0},
                  {"translateIsModifier", true},
                  {"pasteLastKeyCode", 35},
                  {"pasteLastModifiers", 0x100000},
                  {"pasteLastIsModifier", false}},
                 {49, 0x40000, false},
                 {62, 0, true},
                 {35, 0x100000, false}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HotkeyFixture, ConfigLineNamesBothKeys) {
    settings.set("translateKeyCode", 54);
    settings.set("translateIsModifier", true);
    make();
    EXPECT_TRUE(testsupport::debugLogText().contains(
        "[Hotkey] Config: main=61 (Right Alt), translate=54 (Right Super)"));
}

TEST_F(HotkeyFixture, RecordingModeIsToggleOnlyForTheExactString) {
    HotkeyService& s = make();
    const std::pair<QJsonValue, bool> cases[] = {{QJsonValue(QJsonValue::Undefined), false},
                                                 {"toggle", true},
                                                 {"Toggle", false},
                                                 {"pushToTalk", false},
                                                 {true, false},
                                                 {1, false}};
    for (const auto& [value, expected] : cases) {
        if (value.isUndefined())
            settings.remove("recordingMode");
        else
            settings.set("recordingMode", value);
        EXPECT_EQ(s.isToggleMode(), expected) << value.toVariant().toString().toStdString();
    }
}

// Each setter publishes, persists the three keys and builds the tap again.
TEST_F(HotkeyFixture, SettersPersistAndRecreateTheTap) {
    struct Case {
        const char* prefix;
        std::function<void(HotkeyService&)> set;
        std::function<Shortcut(const HotkeyService&)> read;
        bool rebuildsMenu;
    };
    const Case cases[] = {
        {"hotkey", [](HotkeyService& s) { s.setHotkey(9, false, 0x60000); }, mainOf, false},
        {"translate", [](HotkeyService& s) { s.setTranslateHotkey(9, false, 0x60000); },
         translateOf, false},
        {"pasteLast", [](HotkeyService& s) { s.setPasteLastHotkey(9, false, 0x60000); },
         pasteLastOf, true},
    };
    HotkeyService& s = makeLive();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.prefix);
        const int startsBefore = keys.starts;
        calls.clear();
        c.set(s);
        EXPECT_EQ(c.read(s), (Shortcut{9, 0x60000, false}));
        const QString p = c.prefix;
        EXPECT_EQ(settings.integer(p + "KeyCode"), 9);
        EXPECT_EQ(settings.integer(p + "Modifiers"), 0x60000);
        EXPECT_TRUE(settings.isBool(p + "IsModifier"));
        EXPECT_FALSE(settings.boolean(p + "IsModifier"));
        EXPECT_EQ(keys.starts, startsBefore + 1);
        EXPECT_TRUE(keys.isRunning());
        EXPECT_EQ(calls.contains("menu"), c.rebuildsMenu);
    }
    // A new service reads back what was saved.
    service.reset();
    HotkeyService& again = make();
    EXPECT_EQ(mainOf(again), (Shortcut{9, 0x60000, false}));
    EXPECT_EQ(translateOf(again), (Shortcut{9, 0x60000, false}));
    EXPECT_EQ(pasteLastOf(again), (Shortcut{9, 0x60000, false}));
}

TEST_F(HotkeyFixture, TwoArgumentSettersHaveNoModifiers) {
    HotkeyService& s = make();
    s.setHotkey(58, true);
    s.setTranslateHotkey(17, false);
    EXPECT_EQ(mainOf(s), (Shortcut{58, 0, true}));
    EXPECT_TRUE(s.currentIsModifier());
    EXPECT_EQ(translateOf(s), (Shortcut{17, 0, false}));
    EXPECT_FALSE(s.translateIsModifier());
}

TEST_F(HotkeyFixture, ClearTranslateHotkeyRemovesItsKeys) {
    HotkeyService& s = makeLive();
    s.setTranslateHotkey(17, false, 0x80000);
    const int startsBefore = keys.starts;
    calls.clear();
    s.clearTranslateHotkey();
    EXPECT_EQ(translateOf(s), kNoTranslate);
    for (const char* key : {"translateKeyCode", "translateIsModifier", "translateModifiers"})
        EXPECT_FALSE(settings.contains(key)) << key;
    EXPECT_EQ(keys.starts, startsBefore + 1);
    EXPECT_EQ(calls, QStringList{"menu"});
    service.reset();
    EXPECT_EQ(translateOf(make()), kNoTranslate);
}

TEST_F(HotkeyFixture, PublishedPropertiesSignalTheirChanges) {
    HotkeyService& s = make();
    int changes = 0;
    QObject::connect(&s, &HotkeyService::currentKeyCodeChanged, [&] { ++changes; });
    s.setHotkey(9, false, 0);
    s.setHotkey(9, false, 0);
    EXPECT_EQ(changes, 1);
}

// Without a display the tap cannot be made; the service polls every 2 s until
// it can, and logs polls 1, 2, 3 and every 15th.
TEST_F(HotkeyFixture, PollsUntilTheTapCanBeMade) {
    keys.available = false;
    access.trusted = false;
    access.listen = false;
    HotkeyService& s = makeLive();
    EXPECT_FALSE(s.hasEventTap());
    EXPECT_TRUE(s.isPollingPermissions());
    const int startsAfterSetup = keys.starts;

    advance(2.0 * 30);  // polls 1..30, nothing granted: the tap is not tried again
    EXPECT_EQ(keys.starts, startsAfterSetup);
    const QString log = testsupport::debugLogText();
    for (int n : {1, 2, 3, 15, 30})
        EXPECT_TRUE(log.contains(QStringLiteral("[Hotkey] Permission poll #%1:").arg(n))) << n;
    for (int n : {4, 14, 16, 29})
        EXPECT_FALSE(log.contains(QStringLiteral("[Hotkey] Permission poll #%1:").arg(n))) << n;
    EXPECT_EQ(log.count("[Hotkey] Requesting Input Monitoring (ListenEvent) access..."), 1);

    access.listen = true;  // the display came, but the tap still fails once
    advance(2.0);
    EXPECT_EQ(keys.starts, startsAfterSetup + 1);
    EXPECT_TRUE(s.isPollingPermissions());
    keys.available = true;
    advance(2.0);
    EXPECT_TRUE(s.hasEventTap());
    EXPECT_FALSE(s.isPollingPermissions());
    EXPECT_TRUE(testsupport::debugLogText().contains("[Hotkey] Event tap active after poll #32!"));
    EXPECT_EQ(clock.pendingTimers(), 0);
}

TEST_F(HotkeyFixture, SetupWithAccessCreatesTheTapWithoutPolling) {
    HotkeyService& s = makeLive();
    EXPECT_TRUE(s.hasEventTap());
    EXPECT_FALSE(s.isPollingPermissions());
    EXPECT_EQ(clock.pendingTimers(), 0);
    EXPECT_TRUE(testsupport::debugLogText().contains(
        "[Hotkey] Setup: Accessibility trusted=true, ListenEvent=true"));
}

TEST_F(HotkeyFixture, DisabledTapIsEnabledAgain) {
    makeLive();
    for (auto type : {KeyEventType::tapDisabledByTimeout, KeyEventType::tapDisabledByUserInput}) {
        KeyEvent e;
        e.type = type;
        keys.send(e);
    }
    EXPECT_EQ(keys.enables, 2);
    EXPECT_TRUE(testsupport::debugLogText().contains(
        "[Hotkey] Event tap disabled (type=4294967294), re-enabling..."));
}

}  // namespace
