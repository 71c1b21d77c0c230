// Capturing a new shortcut from the keyboard.
#include "HotkeyTestFixture.h"
#include "support/TestSupport.h"

namespace {

using namespace KeyCodes;
constexpr qint64 A_KEY = 0, T = 17;

enum class Target { main, translate, pasteLast };

using namespace keyscript;

struct CaptureCase {
    const char* name;
    Target target;
    std::vector<Step> steps;
    qint64 keyCode;
    quint64 modifiers;
    bool isModifierOnly;
    const char* displayName;
};

void PrintTo(const CaptureCase& c, std::ostream* os) {
    *os << c.name;
}

class HotkeyCapture : public HotkeyFixture, public ::testing::WithParamInterface<CaptureCase> {
protected:
    void startCapture(Target t) {
        if (t == Target::main) service->startRecordingHotkey();
        if (t == Target::translate) service->startRecordingTranslateHotkey();
        if (t == Target::pasteLast) service->startRecordingPasteLastHotkey();
    }
    bool capturing() const {
        return service->isRecordingHotkey() || service->isRecordingTranslateHotkey() ||
               service->isRecordingPasteLastHotkey();
    }
};

TEST_P(HotkeyCapture, StoresTheCapturedShortcut) {
    const CaptureCase& c = GetParam();
    makeLive();
    startCapture(c.target);
    run(c.steps);
    EXPECT_FALSE(capturing());
    const char* prefix = c.target == Target::main        ? "hotkey"
                         : c.target == Target::translate ? "translate"
                                                         : "pasteLast";
    EXPECT_EQ(settings.integer(QString(prefix) + "KeyCode"), c.keyCode);
    EXPECT_EQ(settings.integer(QString(prefix) + "Modifiers"), qint64(c.modifiers));
    EXPECT_EQ(settings.boolean(QString(prefix) + "IsModifier"), c.isModifierOnly);
    EXPECT_EQ(HotkeyService::displayName(c.keyCode, c.modifiers, c.isModifierOnly),
              QString::fromUtf8(c.displayName));
    EXPECT_EQ(calls.count("menu"), c.target == Target::pasteLast ? 2 : 1);
    // Capturing never starts a recording.
    EXPECT_TRUE(recorderCalls().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HotkeyCapture,
    ::testing::Values(CaptureCase{"right_option_tapped",
                                  Target::main,
                                  {P(rightOption), A(0.1), R(rightOption)},
                                  61,
                                  0,
                                  true,
                                  "Right Alt"},
                      CaptureCase{"left_command_held_for_the_wait",
                                  Target::translate,
                                  {P(leftCommand), A(0.3)},
                                  55,
                                  0,
                                  true,
                                  "Left Super"},
                      CaptureCase{"modifier_alone_after_the_wait_ignores_a_later_key",
                                  Target::main,
                                  {P(leftControl), A(0.35), P(v), R(v), R(leftControl)},
                                  59,
                                  0,
                                  true,
                                  "Left Ctrl"},
                      CaptureCase{"command_v",
                                  Target::main,
                                  {P(leftCommand), A(0.1), P(v), R(v), R(leftCommand)},
                                  9,
                                  0x100000,
                                  false,
                                  "Super+V"},
                      CaptureCase{"control_shift_v",
                                  Target::pasteLast,
                                  {P(leftControl), A(0.1), P(rightShift), A(0.1), P(v)},
                                  9,
                                  0x60000,
                                  false,
                                  "Ctrl+Shift+V"},
                      // Each further modifier restarts the wait.
                      CaptureCase{"each_modifier_restarts_the_wait",
                                  Target::main,
                                  {P(leftShift), A(0.2), P(leftOption), A(0.2), P(T)},
                                  T,
                                  0xA0000,
                                  false,
                                  "Alt+Shift+T"},
                      // Releasing a modifier other than the pending one is ignored.
                      CaptureCase{
                          "release_of_another_modifier_is_ignored",
                          Target::main,
                          {P(leftControl), P(leftShift), R(leftControl), A(0.1), R(leftShift)},
                          56,
                          0,
                          true,
                          "Left Shift"},
                      CaptureCase{"caps_lock_is_not_a_lone_key",
                                  Target::main,
                                  {P(capsLock), A(0.5), R(capsLock), P(A_KEY)},
                                  0,
                                  0,
                                  false,
                                  "A"},
                      CaptureCase{"escape_with_a_modifier_is_a_shortcut",
                                  Target::translate,
                                  {P(rightShift), P(escape)},
                                  53,
                                  0x20000,
                                  false,
                                  "Shift+Escape"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HotkeyFixture, BareEscapeIsCapturedLikeAnyKey) {
    HotkeyService& s = makeLive();
    s.startRecordingPasteLastHotkey();
    press(escape);
    release(escape);
    EXPECT_FALSE(s.isRecordingPasteLastHotkey());
    EXPECT_EQ(s.pasteLastKeyCode(), 53);
    EXPECT_EQ(settings.integer("pasteLastKeyCode"), 53);
    EXPECT_EQ(settings.integer("pasteLastModifiers"), 0);
}

TEST_F(HotkeyFixture, StartOperationsSetTheirFlagsAndRecreateTheTap) {
    HotkeyService& s = makeLive();
    auto flags = [&] {
        return std::tuple(s.isRecordingHotkey(), s.isRecordingTranslateHotkey(),
                          s.isRecordingPasteLastHotkey());
    };
    const int starts = keys.starts;
    s.startRecordingPasteLastHotkey();
    EXPECT_EQ(flags(), std::tuple(false, false, true));
    s.startRecordingTranslateHotkey();
    EXPECT_EQ(flags(), std::tuple(false, true, false));
    s.startRecordingHotkey();
    EXPECT_EQ(flags(), std::tuple(true, false, false));
    s.cancelRecordingHotkey();
    EXPECT_EQ(flags(), std::tuple(false, false, false));
    EXPECT_EQ(keys.starts, starts + 4);
}

// Cancelling while a lone modifier waits drops it: the wait running out later
// stores nothing.
TEST_F(HotkeyFixture, CancelDropsThePendingModifier) {
    HotkeyService& s = makeLive();
    s.startRecordingHotkey();
    press(leftControl);
    s.cancelRecordingHotkey();
    advance(1);
    release(leftControl);
    EXPECT_EQ(s.currentKeyCode(), 61);
    EXPECT_FALSE(settings.contains("hotkeyKeyCode"));
}

// While capture is on no shortcut fires, and the keys pressed are captured.
TEST_F(HotkeyFixture, CaptureSwallowsShortcuts) {
    appState.setLastTranscribedText("words");
    HotkeyService& s = makeLive();
    s.startRecordingTranslateHotkey();
    hold(rightOption, 0.6);
    EXPECT_EQ(s.translateKeyCode(), 61);
    EXPECT_TRUE(recorderCalls().isEmpty());
    s.startRecordingHotkey();
    for (qint64 k : {leftControl, leftShift, v}) press(k);
    advance(0.5);
    EXPECT_EQ(s.currentKeyCode(), 9);
    EXPECT_EQ(calls.filter("paste").size(), 0);
}

// Two keys that arrive before the first is saved: the first is the shortcut,
// the second must not replace the dictation key.
TEST_F(HotkeyFixture, SecondKeyBeforeSavingChangesNothing) {
    HotkeyService& s = makeLive();
    s.startRecordingPasteLastHotkey();
    keys.press(T);
    keys.press(A_KEY);
    settle();
    EXPECT_EQ(s.pasteLastKeyCode(), T);
    EXPECT_EQ(s.currentKeyCode(), 61);
    EXPECT_FALSE(settings.contains("hotkeyKeyCode"));
}

}  // namespace
