// The listen-only key source on the test display: synthetic XTest presses
// arrive as key events in the application's code space, and drive the hotkey
// service end to end.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QStringList>
#include <algorithm>
#include <functional>
#include <vector>

#include "core/AppState.h"
#include "core/OverlayControl.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeOverlay.h"
#include "pipeline/HotkeyService.h"
#include "platform/InputAccess.h"
#include "platform/KeyEventSource.h"
#include "platform/SettingsStore.h"
#include "platform/x11/X11InputAccess.h"
#include "platform/x11/X11KeyEventSource.h"
#include "platform/x11/X11KeySynthesizer.h"
#include "support/TestSupport.h"

// X11 headers last: their macros clash with Qt and gtest.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

// A second connection that types through XTest; it lets go of every key it
// pressed when it ends, so no key stays held on the shared display.
class Typist {
public:
    Typist() : m_dpy(XOpenDisplay(nullptr)) {}
    ~Typist() {
        if (!m_dpy) return;
        for (KeyCode kc : m_held) XTestFakeKeyEvent(m_dpy, kc, False, CurrentTime);
        XSync(m_dpy, False);
        XCloseDisplay(m_dpy);
    }
    bool ok() const { return m_dpy != nullptr; }
    int keycode(KeySym sym) const { return XKeysymToKeycode(m_dpy, sym); }
    void press(KeySym sym) {
        const KeyCode kc = XKeysymToKeycode(m_dpy, sym);
        ASSERT_NE(kc, 0) << "no key for symbol " << sym;
        XTestFakeKeyEvent(m_dpy, kc, True, CurrentTime);
        XSync(m_dpy, False);
        m_held.push_back(kc);
    }
    void release(KeySym sym) {
        const KeyCode kc = XKeysymToKeycode(m_dpy, sym);
        XTestFakeKeyEvent(m_dpy, kc, False, CurrentTime);
        XSync(m_dpy, False);
        std::erase(m_held, kc);
    }

private:
    Display* m_dpy;
    std::vector<KeyCode> m_held;
};

// The hotkey service on a real tap; the recorder and the overlay are fakes.
struct ServiceOnTap {
    explicit ServiceOnTap(KeyEventSource& source)
        : service(settings, clock, source, access, overlay, appState, collaborators()) {
        QObject::connect(&service, &HotkeyService::recordingStartRequested,
                         [this](bool) { calls << "start"; });
        QObject::connect(&service, &HotkeyService::recordingStopRequested,
                         [this] { calls << "stop"; });
        QObject::connect(&service, &HotkeyService::recordingCancelRequested,
                         [this] { calls << "cancel"; });
        service.setup();
    }
    HotkeyService::Collaborators collaborators() {
        HotkeyService::Collaborators c;
        c.insertTextViaPasteboard = [this](const QString& text) {
            if (insert) insert(text);
        };
        return c;
    }
    SettingsStore settings;
    FakeClock clock;
    X11InputAccess access;
    FakeOverlay overlay;
    AppState appState{settings, {}};
    QStringList calls;
    std::function<void(const QString&)> insert;
    HotkeyService service;
};

class KeyEventSourceX11 : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testsupport::hasDisplay()) GTEST_SKIP() << "no X display";
        ASSERT_TRUE(typist.ok());
        ASSERT_TRUE(source.start([this](const KeyEvent& e) { events.push_back(e); }));
    }
    // Waits for the event of `code` going down or up.
    const KeyEvent* waitFor(qint64 code, bool down) {
        const KeyEvent* found = nullptr;
        testsupport::waitUntil([&] {
            for (const KeyEvent& e : events)
                if (e.keyCode == code && e.keyIsDown == down) found = &e;
            return found != nullptr;
        });
        return found;
    }

    Typist typist;
    X11KeyEventSource source;
    std::vector<KeyEvent> events;
};

TEST_F(KeyEventSourceX11, RightAltIsRightOption) {
    EXPECT_EQ(source.codeForXKeycode(typist.keycode(XK_Alt_R)), 61);
    typist.press(XK_Alt_R);
    const KeyEvent* down = waitFor(61, true);
    ASSERT_NE(down, nullptr);
    EXPECT_EQ(down->type, KeyEventType::flagsChanged);
    EXPECT_EQ(down->flags, KeyFlags::option);
    typist.release(XK_Alt_R);
    const KeyEvent* up = waitFor(61, false);
    ASSERT_NE(up, nullptr);
    EXPECT_EQ(up->type, KeyEventType::flagsChanged);
    EXPECT_EQ(up->flags, 0u);
}

// The display's own keyboard map translates into the code space.
TEST_F(KeyEventSourceX11, KeyboardMapOfTheDisplay) {
    const std::pair<KeySym, qint64> cases[] = {
        {XK_Alt_R, 61},     {XK_Super_R, 54}, {XK_Super_L, 55},   {XK_Shift_L, 56},
        {XK_Caps_Lock, 57}, {XK_Alt_L, 58},   {XK_Control_L, 59}, {XK_Shift_R, 60},
        {XK_Control_R, 62}, {XK_v, 9},        {XK_1, 18},         {XK_Escape, 53},
        {XK_F1, 122},       {XK_Return, 36},  {XK_space, 49},     {XK_Left, 123}};
    for (const auto& [sym, code] : cases) {
        const int kc = typist.keycode(sym);
        ASSERT_NE(kc, 0) << "the test display has no key for " << sym;
        EXPECT_EQ(source.codeForXKeycode(kc), code) << sym;
    }
    const int print = typist.keycode(XK_Print);
    if (print != 0) {
        EXPECT_EQ(source.codeForXKeycode(print), KeyCodes::privateCode(XK_Print));
    }
}

// The right Shift's release is seen while the left one still holds the bit.
TEST_F(KeyEventSourceX11, LeftAndRightShiftAreSeenApart) {
    typist.press(XK_Shift_L);
    ASSERT_NE(waitFor(56, true), nullptr);
    typist.press(XK_Shift_R);
    ASSERT_NE(waitFor(60, true), nullptr);
    typist.release(XK_Shift_R);
    const KeyEvent* rightUp = waitFor(60, false);
    ASSERT_NE(rightUp, nullptr);
    EXPECT_EQ(rightUp->flags, KeyFlags::shift);
    typist.release(XK_Shift_L);
    const KeyEvent* leftUp = waitFor(56, false);
    ASSERT_NE(leftUp, nullptr);
    EXPECT_EQ(leftUp->flags, 0u);
}

TEST_F(KeyEventSourceX11, LetterWithControl) {
    typist.press(XK_Control_L);
    typist.press(XK_v);
    const KeyEvent* v = waitFor(9, true);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->type, KeyEventType::keyDown);
    EXPECT_EQ(v->flags, KeyFlags::control);
    typist.release(XK_v);
    typist.release(XK_Control_L);
    const KeyEvent* vUp = waitFor(9, false);
    ASSERT_NE(vUp, nullptr);
    EXPECT_EQ(vUp->type, KeyEventType::keyUp);
}

TEST_F(KeyEventSourceX11, StoppedSourceDeliversNothing) {
    source.stop();
    EXPECT_FALSE(source.isRunning());
    // A second tap shows when the keys have gone by.
    X11KeyEventSource witness;
    bool seen = false;
    ASSERT_TRUE(witness.start(
        [&](const KeyEvent& e) { seen = seen || (e.keyCode == 61 && !e.keyIsDown); }));
    typist.press(XK_Alt_R);
    typist.release(XK_Alt_R);
    ASSERT_TRUE(testsupport::waitUntil([&] { return seen; }));
    EXPECT_TRUE(events.empty());
}

// Keys this process sends are not heard by its own key source; the same
// keys sent through XTest by another client are.
TEST_F(KeyEventSourceX11, OwnSyntheticKeysAreNotHeard) {
    X11KeySynthesizer keys;
    ASSERT_TRUE(keys.isAvailable());
    const std::pair<const char*, std::function<bool()>> sends[] = {
        {"Ctrl+V", [&] { return keys.postPaste(KeySynthesizer::PasteChord::ControlV); }},
        {"Ctrl+Shift+V", [&] { return keys.postPaste(KeySynthesizer::PasteChord::ControlShiftV); }},
        {"Shift+Insert", [&] { return keys.postPaste(KeySynthesizer::PasteChord::ShiftInsert); }},
        {"3 x Backspace", [&] { return keys.postBackspaces(3); }},
    };
    const qint64 f1 = 122;
    for (const auto& [name, send] : sends) {
        events.clear();
        ASSERT_TRUE(send()) << name;
        // Another client's key after ours: once it is here, ours went by.
        typist.press(XK_F1);
        typist.release(XK_F1);
        ASSERT_NE(waitFor(f1, false), nullptr) << name;
        ASSERT_EQ(events.size(), 2u) << name << ": heard our own keys";
    }

    events.clear();
    typist.press(XK_Control_L);
    typist.press(XK_v);
    typist.release(XK_v);
    typist.release(XK_Control_L);
    const KeyEvent* v = waitFor(9, true);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->flags, KeyFlags::control);
}

// A paste-last shortcut that is the chord of our own paste: the user's press
// pastes once; the chord of that paste does not paste again.
TEST_F(KeyEventSourceX11, PasteLastOnThePasteChordPastesOnce) {
    source.stop();
    ServiceOnTap t(source);
    ASSERT_TRUE(t.access.isTrusted());
    t.service.setPasteLastHotkey(9, false, KeyFlags::control | KeyFlags::shift);
    t.appState.setLastTranscribedText("last words");
    X11KeySynthesizer keys;
    int pastes = 0;
    t.insert = [&](const QString&) {
        ++pastes;
        keys.postPaste(KeySynthesizer::PasteChord::ControlShiftV);
    };
    std::vector<std::pair<qint64, bool>> heard;
    X11KeyEventSource witness;
    ASSERT_TRUE(
        witness.start([&](const KeyEvent& e) { heard.emplace_back(e.keyCode, e.keyIsDown); }));
    auto waitHeard = [&](qint64 code, bool down) {
        return testsupport::waitUntil([&] {
            return std::find(heard.begin(), heard.end(), std::pair{code, down}) != heard.end();
        });
    };

    for (KeySym k : {XK_Control_L, XK_Shift_L, XK_v}) typist.press(k);
    for (KeySym k : {XK_v, XK_Shift_L, XK_Control_L}) typist.release(k);
    ASSERT_TRUE(waitHeard(59, false));
    t.clock.advance(0.25);
    ASSERT_EQ(pastes, 1);

    // Whatever our paste sent has been delivered once another client's F1 is.
    heard.clear();
    typist.press(XK_F1);
    typist.release(XK_F1);
    ASSERT_TRUE(waitHeard(122, false));
    t.clock.advance(0.25);
    EXPECT_EQ(pastes, 1);
    EXPECT_EQ(heard.size(), 2u);
}

// A hold of right Alt for 0.8 s (on the service's clock) is one recording,
// started and sent.
TEST_F(KeyEventSourceX11, HoldingRightAltRecordsOnce) {
    source.stop();
    ServiceOnTap t(source);
    ASSERT_TRUE(t.service.hasEventTap());
    QStringList& calls = t.calls;

    typist.press(XK_Alt_R);
    ASSERT_TRUE(testsupport::waitUntil([&] { return calls.contains("start"); }));
    t.clock.advance(0.8);
    typist.release(XK_Alt_R);
    ASSERT_TRUE(testsupport::waitUntil([&] { return calls.contains("stop"); }));
    EXPECT_EQ(calls, (QStringList{"start", "stop"}));
    EXPECT_EQ(t.overlay.states,
              (std::vector<OverlayState>{OverlayState::recording, OverlayState::processing}));
}

// Capture on the real tap: each start and the save build the tap again on a
// new connection, and the keys still arrive.
TEST_F(KeyEventSourceX11, CapturesControlShiftV) {
    source.stop();
    ServiceOnTap t(source);
    HotkeyService& service = t.service;
    service.startRecordingPasteLastHotkey();
    ASSERT_TRUE(service.hasEventTap());
    typist.press(XK_Control_L);
    typist.press(XK_Shift_L);
    typist.press(XK_v);
    ASSERT_TRUE(testsupport::waitUntil([&] { return !service.isRecordingPasteLastHotkey(); }));
    EXPECT_EQ(service.pasteLastKeyCode(), 9);
    EXPECT_EQ(service.pasteLastModifiers(), 0x60000u);
    EXPECT_FALSE(service.pasteLastIsModifierOnly());
    EXPECT_TRUE(service.hasEventTap());
    typist.release(XK_v);
    typist.release(XK_Shift_L);
    typist.release(XK_Control_L);
}

// Keys given new symbols while the tap runs: AltGr is right Option, and a
// layout whose first group is Cyrillic still names the key by its Latin
// group.
TEST_F(KeyEventSourceX11, FollowsKeyboardMapChanges) {
    Display* dpy = XOpenDisplay(nullptr);
    ASSERT_NE(dpy, nullptr);
    int minKc = 0, maxKc = 0, perCode = 0;
    XDisplayKeycodes(dpy, &minKc, &maxKc);
    KeySym* syms =
        XGetKeyboardMapping(dpy, static_cast<KeyCode>(minKc), maxKc - minKc + 1, &perCode);
    ASSERT_NE(syms, nullptr);
    ASSERT_GE(perCode, 4);
    std::vector<int> free;
    for (int kc = maxKc; kc >= minKc && free.size() < 2; --kc) {
        const KeySym* row = syms + (kc - minKc) * perCode;
        if (std::all_of(row, row + perCode, [](KeySym k) { return k == NoSymbol; }))
            free.push_back(kc);
    }
    XFree(syms);
    ASSERT_EQ(free.size(), 2u) << "no unused key codes on the test display";

    struct Case {
        std::vector<KeySym> symbols;
        qint64 code;
    };
    const Case cases[] = {{{XK_ISO_Level3_Shift, NoSymbol, NoSymbol, NoSymbol}, 61},
                          {{XK_Cyrillic_em, XK_Cyrillic_EM, XK_v, XK_V}, 9}};
    for (size_t i = 0; i < 2; ++i) {
        std::vector<KeySym> row(perCode, NoSymbol);
        std::copy(cases[i].symbols.begin(), cases[i].symbols.end(), row.begin());
        XChangeKeyboardMapping(dpy, free[i], perCode, row.data(), 1);
    }
    XSync(dpy, False);
    const bool followed = testsupport::waitUntil([&] {
        return source.codeForXKeycode(free[0]) == cases[0].code &&
               source.codeForXKeycode(free[1]) == cases[1].code;
    });
    std::vector<KeySym> none(perCode, NoSymbol);
    for (int kc : free) XChangeKeyboardMapping(dpy, kc, perCode, none.data(), 1);
    XSync(dpy, False);
    XCloseDisplay(dpy);
    EXPECT_TRUE(followed);
}

TEST(InputAccessX11, DisplayHasXInput2AndXTest) {
    if (!testsupport::hasDisplay()) GTEST_SKIP() << "no X display";
    X11InputAccess access;
    EXPECT_TRUE(access.hasListenAccess());
    EXPECT_TRUE(access.isTrusted());
}

}  // namespace
