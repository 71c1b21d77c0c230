// The listen-only key source on the test display: synthetic XTest presses
// arrive as key events in the application's code space, and drive the hotkey
// service end to end.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QStringList>
#include <vector>

#include "overlay/OverlayControl.h"
#include "pipeline/AppState.h"
#include "pipeline/HotkeyService.h"
#include "platform/FakeClock.h"
#include "platform/InputAccess.h"
#include "platform/KeyEventSource.h"
#include "platform/SettingsStore.h"
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

// A hold of right Alt for 0.8 s (on the service's clock) is one recording,
// started and sent.
TEST_F(KeyEventSourceX11, HoldingRightAltRecordsOnce) {
    source.stop();
    SettingsStore settings;
    FakeClock clock;
    X11InputAccess access;
    FakeOverlay overlay;
    AppState appState(settings, {});
    QStringList calls;
    HotkeyService::Collaborators c;
    c.startRecording = [&] { calls << "start"; };
    c.stopRecording = [&] { calls << "stop"; };
    c.cancelRecording = [&] { calls << "cancel"; };
    HotkeyService service(settings, clock, source, access, overlay, appState, c);
    service.setup();
    ASSERT_TRUE(service.hasEventTap());

    typist.press(XK_Alt_R);
    ASSERT_TRUE(testsupport::waitUntil([&] { return calls.contains("start"); }));
    clock.advance(0.8);
    typist.release(XK_Alt_R);
    ASSERT_TRUE(testsupport::waitUntil([&] { return calls.contains("stop"); }));
    EXPECT_EQ(calls, (QStringList{"start", "stop"}));
    EXPECT_EQ(overlay.states,
              (std::vector<OverlayState>{OverlayState::recording, OverlayState::processing}));
}

TEST(InputAccessX11, DisplayHasXInput2AndXTest) {
    if (!testsupport::hasDisplay()) GTEST_SKIP() << "no X display";
    X11InputAccess access;
    EXPECT_TRUE(access.hasListenAccess());
    EXPECT_TRUE(access.isTrusted());
}

}  // namespace
