// Press handling: which key sequences start, stop, cancel, paste or open the
// editor, and what the start and stop sequences do.
#include <QJsonObject>
#include <optional>

#include "HotkeyTestFixture.h"
#include "support/TestSupport.h"

namespace {

using namespace KeyCodes;
constexpr qint64 T = 17, SPACE = 49;

using namespace keyscript;
using Cmd = DictationCommand::Action;

struct Scenario {
    const char* name;
    QJsonObject stored;
    std::vector<Step> steps;
    QStringList expected;  // start, stop, cancel, editor, paste ...
    std::optional<bool> translateMode = std::nullopt;
    bool admin = false;
};

void PrintTo(const Scenario& s, std::ostream* os) {
    *os << s.name;
}

const QJsonObject kToggle{{"recordingMode", "toggle"}};
const QJsonObject kTranslateRightCommand{{"translateKeyCode", 54}, {"translateIsModifier", true}};
QJsonObject with(QJsonObject a, const QJsonObject& b) {
    for (auto it = b.begin(); it != b.end(); ++it) a.insert(it.key(), it.value());
    return a;
}
QJsonObject mainKey(qint64 code, quint64 mods, bool modOnly) {
    return {
        {"hotkeyKeyCode", code}, {"hotkeyModifiers", double(mods)}, {"hotkeyIsModifier", modOnly}};
}

class HotkeyPress : public HotkeyFixture, public ::testing::WithParamInterface<Scenario> {
protected:
    QStringList outcome() const {
        QStringList out;
        for (const QString& c : calls)
            if (c == "start" || c == "stop" || c == "cancel" || c == "editor" ||
                c.startsWith("paste "))
                out << c;
        return out;
    }
};

TEST_P(HotkeyPress, Sequence) {
    const Scenario& sc = GetParam();
    for (auto it = sc.stored.begin(); it != sc.stored.end(); ++it)
        settings.set(it.key(), it.value());
    appState.setIsAdmin(sc.admin);
    appState.setLastTranscribedText("last words");
    makeLive();
    run(sc.steps);
    advance(1.0);  // lets a pending paste or hold timer run out
    EXPECT_EQ(outcome(), sc.expected);
    if (sc.translateMode) {
        EXPECT_EQ(service->isTranslateMode(), *sc.translateMode);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HotkeyPress,
    ::testing::Values(
        // Hold mode
        Scenario{"hold_0_4s_is_cancelled", {}, {P(61), A(0.4), R(61)}, {"start", "cancel"}, false},
        Scenario{"hold_0_6s_is_sent", {}, {P(61), A(0.6), R(61)}, {"start", "stop"}, false},
        Scenario{"left_option_does_nothing", {}, {P(58), A(1), R(58)}, {}},
        // Left and right Option share a flag bit; the right key's own release
        // still ends the recording.
        Scenario{"right_option_released_while_left_held",
                 {},
                 {P(58), A(0.1), P(61), A(0.6), R(61), A(0.1), R(58)},
                 {"start", "stop"}},
        Scenario{"left_option_released_while_right_held",
                 {},
                 {P(61), P(58), A(0.6), R(58), A(0.6), R(61)},
                 {"start", "stop"}},
        Scenario{"caps_lock_as_hold_key_stops",
                 mainKey(capsLock, 0, true),
                 {P(capsLock), A(0.6), R(capsLock)},
                 {"start", "stop"}},
        Scenario{"auto_repeat_starts_once",
                 mainKey(SPACE, 0, false),
                 {P(SPACE), A(0.1), P(SPACE), P(SPACE), A(0.5), R(SPACE)},
                 {"start", "stop"}},
        Scenario{"regular_key_ignores_held_modifiers",
                 mainKey(SPACE, 0, false),
                 {P(leftControl), P(SPACE), A(0.6), R(SPACE), R(leftControl)},
                 {"start", "stop"}},
        Scenario{"combination_needs_its_modifiers",
                 mainKey(v, 0x40000, false),
                 {P(v), A(0.6), R(v), P(leftShift), P(v), A(0.6), R(v), R(leftShift)},
                 {}},
        Scenario{"combination_allows_extra_modifiers",
                 mainKey(v, 0x40000, false),
                 {P(rightControl), P(leftShift), P(v), A(0.6), R(v), R(leftShift), R(rightControl)},
                 {"start", "stop"}},
        // Toggle mode
        Scenario{"toggle_second_press_stops_even_when_short",
                 kToggle,
                 {P(61), R(61), A(0.2), P(61), R(61)},
                 {"start", "stop"}},
        Scenario{"toggle_other_key_stops",
                 with(kToggle, kTranslateRightCommand),
                 {P(61), R(61), A(1), P(54), R(54)},
                 {"start", "stop"},
                 false},
        Scenario{"toggle_has_no_sticky_and_no_admin_delay",
                 with(kToggle, kTranslateRightCommand),
                 {P(61), A(0.05), P(54), R(54), R(61)},
                 {"start", "stop"},
                 std::nullopt,
                 true},
        // Translate key
        Scenario{"translate_key_records_in_translate_mode",
                 kTranslateRightCommand,
                 {P(54), A(0.6), R(54)},
                 {"start", "stop"},
                 true},
        Scenario{"translate_unset_ignores_that_key", {}, {P(54), A(0.6), R(54)}, {}},
        Scenario{
            "translate_combination_without_modifier_is_the_main_key",
            with(mainKey(T, 0, false), {{"translateKeyCode", T}, {"translateModifiers", 0x80000}}),
            {P(T), A(0.6), R(T)},
            {"start", "stop"},
            false},
        Scenario{
            "translate_combination_with_modifier",
            with(mainKey(T, 0, false), {{"translateKeyCode", T}, {"translateModifiers", 0x80000}}),
            {P(leftOption), P(T), A(0.6), R(T), R(leftOption)},
            {"start", "stop"},
            true},
        Scenario{"translate_regular_key",
                 {{"translateKeyCode", T}, {"translateIsModifier", false}},
                 {P(T), A(0.6), R(T)},
                 {"start", "stop"},
                 true},
        // Sticky (hands-free): the recording keeps the starting key's mode.
        Scenario{"sticky_engaged_by_main_then_translate",
                 kTranslateRightCommand,
                 {P(61), A(0.3), P(54), A(0.3), R(54), R(61), A(1), P(61), R(61)},
                 {"start", "stop"},
                 false},
        Scenario{"sticky_engaged_by_translate_then_main",
                 kTranslateRightCommand,
                 {P(54), A(0.3), P(61), R(61), R(54), A(1), P(54), R(54)},
                 {"start", "stop"},
                 true},
        // Paste-last
        Scenario{"paste_last_with_extra_modifier",
                 {},
                 {P(leftControl), P(leftOption), P(rightShift), P(v), R(v)},
                 {"paste last words"}},
        Scenario{"paste_last_repeat_pastes_once",
                 {},
                 {P(leftControl), P(leftOption), P(v), P(v), P(v), R(v)},
                 {"paste last words"}},
        Scenario{"paste_last_without_modifiers_reaches_main_key",
                 mainKey(v, 0, false),
                 {P(v), A(0.6), R(v)},
                 {"start", "stop"}},
        Scenario{"paste_last_disabled",
                 {{"pasteLastKeyCode", -1}},
                 {P(leftControl), P(leftOption), P(v), R(v)},
                 {}},
        Scenario{
            "paste_last_lone_modifier",
            {{"pasteLastKeyCode", 62}, {"pasteLastModifiers", 0}, {"pasteLastIsModifier", true}},
            {P(rightControl), R(rightControl), P(rightControl), R(rightControl)},
            {"paste last words", "paste last words"}},
        // Commands from the command line: a start is the key's press, a stop
        // its release.
        Scenario{"command_start_then_stop",
                 {},
                 {C(Cmd::start), A(0.6), C(Cmd::stop)},
                 {"start", "stop"},
                 false},
        Scenario{"command_translation_starts_in_translate_mode",
                 {},
                 {C(Cmd::start, true), A(0.6), C(Cmd::stop, true)},
                 {"start", "stop"},
                 true},
        Scenario{"command_short_recording_is_cancelled",
                 {},
                 {C(Cmd::start), A(0.2), C(Cmd::stop)},
                 {"start", "cancel"}},
        Scenario{"command_second_start_and_stray_stop_are_ignored",
                 {},
                 {C(Cmd::stop), C(Cmd::start), A(0.3), C(Cmd::start, true), A(0.3), C(Cmd::stop),
                  C(Cmd::stop)},
                 {"start", "stop"},
                 false},
        Scenario{"command_toggle_starts_then_stops",
                 {},
                 {C(Cmd::toggle, true), A(1), C(Cmd::toggle), A(1), C(Cmd::toggle)},
                 {"start", "stop", "start"}},
        Scenario{"command_start_then_key_press_in_toggle_mode_stops",
                 kToggle,
                 {C(Cmd::start), A(1), P(61), R(61), A(1), P(61), R(61)},
                 {"start", "stop", "start"}},
        Scenario{"command_stop_ends_a_held_key_recording",
                 {},
                 {P(61), A(1), C(Cmd::stop), A(0.5), R(61)},
                 {"start", "stop"}},
        Scenario{"command_stop_ends_a_sticky_recording",
                 kTranslateRightCommand,
                 {P(61), A(0.3), P(54), A(0.3), R(54), R(61), A(1), C(Cmd::stop)},
                 {"start", "stop"}},
        Scenario{"command_start_has_no_admin_delay",
                 {},
                 {C(Cmd::start), A(0.05), C(Cmd::toggle)},
                 {"start", "cancel"},
                 std::nullopt,
                 true},
        // Administrator: a short tap records nothing, two open the editor.
        Scenario{"admin_tap_records_nothing", {}, {P(61), A(0.1), R(61)}, {}, std::nullopt, true},
        Scenario{"admin_double_tap_opens_editor",
                 {},
                 {P(61), A(0.1), R(61), A(0.2), P(61), A(0.1), R(61)},
                 {"editor"},
                 std::nullopt,
                 true},
        Scenario{"admin_third_tap_starts_a_new_pair",
                 {},
                 {P(61), A(0.1), R(61), A(0.2), P(61), A(0.1), R(61), A(0.05), P(61), A(0.1), R(61),
                  A(0.05), P(61), A(0.1), R(61)},
                 {"editor", "editor"},
                 std::nullopt,
                 true},
        Scenario{"admin_taps_too_far_apart",
                 {},
                 {P(61), A(0.1), R(61), A(0.5), P(61), A(0.1), R(61)},
                 {},
                 std::nullopt,
                 true},
        Scenario{"admin_hold_records_after_the_threshold",
                 {},
                 {P(61), A(0.7), R(61)},
                 {"start", "stop"},
                 false,
                 true},
        Scenario{"admin_translate_key_starts_at_once",
                 kTranslateRightCommand,
                 {P(54), A(0.1), R(54)},
                 {"start", "cancel"},
                 false,
                 true}),
    [](const auto& info) { return std::string(info.param.name); });

// The start and stop sequences in order, with tones, ducking, overlay and the
// shared state.
TEST_F(HotkeyFixture, StartAndStopSequences) {
    struct Case {
        const char* name;
        double heldFor;
        bool sound;
        QStringList calls;
        std::vector<OverlayState> overlay;
    };
    const Case cases[] = {
        {"sent",
         0.6,
         true,
         {"duck", "tone 880", "start", "unduck", "tone 440", "stop"},
         {OverlayState::recording, OverlayState::processing}},
        {"cancelled",
         0.4,
         true,
         {"duck", "tone 880", "start", "unduck", "cancel"},
         {OverlayState::recording}},
        {"silent",
         0.6,
         false,
         {"duck", "start", "unduck", "stop"},
         {OverlayState::recording, OverlayState::processing}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        calls.clear();
        overlay.states.clear();
        soundEnabled = c.sound;
        makeLive();
        press(rightOption);
        EXPECT_TRUE(appState.isRecording());
        advance(c.heldFor);
        release(rightOption);
        EXPECT_EQ(calls, c.calls);
        EXPECT_EQ(overlay.states, c.overlay);
        EXPECT_FALSE(appState.isRecording());
        EXPECT_FALSE(service->isRecordingRunning());
    }
}

TEST_F(HotkeyFixture, StickyShowsOnTheOverlayAndIgnoresReleases) {
    settings.set("translateKeyCode", 54);
    settings.set("translateIsModifier", true);
    makeLive();
    press(rightOption);
    press(rightCommand);
    EXPECT_TRUE(overlay.sticky);
    EXPECT_TRUE(service->isStickyRecording());
    release(rightCommand);
    release(rightOption);
    EXPECT_EQ(recorderCalls(), QStringList{"start"});
    advance(2);
    press(rightCommand);
    EXPECT_FALSE(overlay.sticky);
    EXPECT_EQ(recorderCalls(), (QStringList{"start", "stop"}));
    release(rightCommand);
    const QString log = testsupport::debugLogText();
    EXPECT_EQ(log.count("[Hotkey] RELEASED игнорируется (залипание активно)"), 2);
    EXPECT_TRUE(log.contains("[Hotkey] STICKY: стоп-тап -> завершаю запись"));
    EXPECT_TRUE(log.contains("[Hotkey] finalizeRecording: записи нет — пропуск"));
}

// The recorder ends a recording at its length cap by itself: the service
// forgets it, so the key-up neither stops it again nor shows processing.
TEST_F(HotkeyFixture, RecordingEndedByRecorderNeedsNoSecondStop) {
    struct Case {
        const char* name;
        bool toggle;
        bool sticky;
    };
    for (const Case& c :
         {Case{"hold", false, false}, Case{"toggle", true, false}, Case{"sticky", false, true}}) {
        SCOPED_TRACE(c.name);
        calls.clear();
        overlay.states.clear();
        if (c.toggle) setToggleMode();
        settings.set("translateKeyCode", 54);
        settings.set("translateIsModifier", true);
        makeLive();
        press(rightOption);
        if (c.sticky) press(rightCommand);
        if (c.toggle) release(rightOption);
        advance(1500);
        calls.clear();
        service->recordingEndedByRecorder();
        EXPECT_EQ(calls, QStringList{"unduck"});
        EXPECT_FALSE(overlay.sticky);
        if (c.sticky) release(rightCommand);
        if (!c.toggle) release(rightOption);
        EXPECT_EQ(recorderCalls(), QStringList{});
        EXPECT_EQ(overlay.states, std::vector<OverlayState>{OverlayState::recording});
        // The next press is a new recording.
        hold(rightOption, 0.6);
        if (c.toggle) hold(rightOption, 0.1);
        EXPECT_EQ(recorderCalls(), (QStringList{"start", "stop"}));
        settings.remove("recordingMode");
    }
}

TEST_F(HotkeyFixture, PasteLastNeedsTextAndTrust) {
    makeLive();
    auto pasteLast = [&] {
        for (qint64 k : {leftControl, leftOption, v}) press(k);
        for (qint64 k : {v, leftOption, leftControl}) release(k);
    };
    pasteLast();
    advance(0.19);
    EXPECT_TRUE(calls.isEmpty());
    advance(0.02);
    EXPECT_TRUE(calls.isEmpty()) << "nothing transcribed yet";

    appState.setLastTranscribedText("hello");
    access.trusted = false;
    pasteLast();
    advance(0.3);
    EXPECT_TRUE(calls.isEmpty());
    EXPECT_EQ(appState.lastError(), std::optional<QString>("Accessibility permission required"));

    access.trusted = true;
    pasteLast();
    advance(0.3);
    EXPECT_EQ(calls, QStringList{"paste hello"});
}

// The recorder learns from the start itself which key started the dictation,
// and the mode does not leak into the next one.
TEST_F(HotkeyFixture, StartCarriesWhichKeyStartedTheDictation) {
    settings.set("translateKeyCode", 54);
    settings.set("translateIsModifier", true);
    makeLive();
    hold(54, 0.6);
    advance(0.5);
    hold(61, 0.6);
    EXPECT_EQ(recorderCalls(), (QStringList{"start", "stop", "start", "stop"}));
    EXPECT_EQ(startFlags, (std::vector<bool>{true, false}));
    EXPECT_FALSE(service->isTranslateMode());
}

}  // namespace
