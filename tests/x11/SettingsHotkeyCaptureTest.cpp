// The Settings page on the test display: "Change Hotkey", then keys typed
// through XTest reach the hotkey service's tap, which stores them, and the
// page shows them.
#include <gtest/gtest.h>

#include <QPushButton>

#include "fakes/FakeInputAccess.h"
#include "fakes/FakeOverlay.h"
#include "mainwindow/MainWindowFixture.h"
#include "mainwindow/SettingsSection.h"
#include "pipeline/HotkeyService.h"
#include "platform/x11/X11KeyEventSource.h"
#include "support/Screenshots.h"
#include "ui/Badge.h"

// X11 headers last: their macros clash with Qt and gtest.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

class SettingsCaptureX11 : public MainWindowFixture {
protected:
    void SetUp() override {
        if (!testsupport::hasDisplay()) GTEST_SKIP() << "no X display";
        m_dpy = XOpenDisplay(nullptr);
        ASSERT_NE(m_dpy, nullptr);
    }
    void TearDown() override {
        if (m_dpy) XCloseDisplay(m_dpy);
    }
    // One key down and up on a connection of its own.
    void tap(KeySym sym) {
        const KeyCode kc = XKeysymToKeycode(m_dpy, sym);
        ASSERT_NE(kc, 0);
        XTestFakeKeyEvent(m_dpy, kc, True, CurrentTime);
        XTestFakeKeyEvent(m_dpy, kc, False, CurrentTime);
        XSync(m_dpy, False);
    }

    X11KeyEventSource source;
    FakeInputAccess access;
    FakeOverlay overlay;
    Display* m_dpy = nullptr;
};

TEST_F(SettingsCaptureX11, TypedKeysBecomeTheShortcutsThePageShows) {
    SettingsStore& store = SettingsStore::shared();
    HotkeyService hotkeys(store, clock, source, access, overlay, appState);
    hotkeys.setup();
    ASSERT_TRUE(hotkeys.hasEventTap());
    context.hotkeys = &hotkeys;

    SettingsSection page(context);
    page.resize(760, 760);
    page.show();
    page.notifyAppeared();
    auto* dictation = page.findChild<QPushButton*>("dictationChange");
    auto* translate = page.findChild<QPushButton*>("translateChange");
    auto* dictationBadge = page.findChild<Badge*>("dictationBadge");
    auto* translateBadge = page.findChild<Badge*>("translateBadge");
    ASSERT_TRUE(dictation && translate && dictationBadge && translateBadge);

    dictation->click();
    ASSERT_EQ(dictationBadge->text(), "Press any key...");
    tap(XK_F5);
    ASSERT_TRUE(testsupport::waitUntil([&] { return !hotkeys.isRecordingHotkey(); }));
    EXPECT_EQ(store.value("hotkeyKeyCode"), 96.0);
    EXPECT_EQ(dictationBadge->text(), "F5");

    // A lone modifier: Right Ctrl pressed and let go.
    translate->click();
    tap(XK_Control_R);
    ASSERT_TRUE(testsupport::waitUntil([&] { return !hotkeys.isRecordingTranslateHotkey(); }));
    EXPECT_EQ(store.value("translateKeyCode"), 62.0);
    EXPECT_EQ(store.value("translateIsModifier"), true);
    EXPECT_EQ(translateBadge->text(), HotkeyService::displayName(62, 0, true));
    testsupport::saveScreenshot(&page, "settings-keys-captured-x11");
}

}  // namespace
