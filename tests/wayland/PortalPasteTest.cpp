// The paste on a Wayland desktop: the text on a clipboard any Wayland window
// can read without our having the focus, one Control+V through the desktop's
// remote-desktop portal, and the user's clipboard back afterwards. Runs in
// scripts/with-wayland-env (mutter with its portal: the user's answer to the
// remote-interaction dialog is driven like a keyboard).
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QGuiApplication>

#include "WaylandDesktop.h"
#include "fakes/FakeFrontmostApp.h"
#include "fakes/FakeNotifier.h"
#include "pipeline/KeyboardSimulator.h"
#include "platform/Clock.h"
#include "platform/SettingsStore.h"
#include "platform/wayland/PortalKeySynthesizer.h"
#include "platform/x11/X11Pasteboard.h"
#include "support/TestSupport.h"

namespace {

// The paste stack of a GNOME session: the X11 clipboard of XWayland (mutter
// hands it to Wayland windows without the focus) and the portal's keys.
class PortalPasteOnGnome : public ::testing::Test {
protected:
    void SetUp() override {
        if (wltest::desktop() != "gnome") GTEST_SKIP() << "not in the headless GNOME desktop";
        ASSERT_EQ(QGuiApplication::platformName(), "xcb");
        ASSERT_TRUE(field.waitFocused());
    }
    PortalKeySynthesizer::Options options() {
        PortalKeySynthesizer::Options o;
        o.noticeTitle = "Text is ready";
        o.noticeBody = "press Ctrl+V";
        return o;
    }

    wltest::WaylandField field;
    X11Pasteboard clipboard;
    SettingsStore settings;
    FakeNotifier notifier;
    FakeFrontmostApp frontmost;
    PortalKeySynthesizer keys{settings, notifier, Clock::system(), options()};
    KeyboardSimulator paste{clipboard, keys, frontmost, notifier, settings, Clock::system()};
};

}  // namespace

TEST_F(PortalPasteOnGnome, PastedIntoTheWaylandFieldOnceTheUserAllowsItThenClipboardBack) {
    clipboard.setString("keep me");
    paste.insertText(QString::fromUtf8("Привет, Wayland "));
    // The desktop's dialog takes the focus; the user allows remote interaction.
    ASSERT_TRUE(field.waitUnfocused()) << "no dialog";
    ASSERT_TRUE(wltest::pressKeys({"answer-dialog"}));
    EXPECT_TRUE(field.waitText(QString::fromUtf8("Привет, Wayland ")))
        << field.text().toStdString();
    EXPECT_TRUE(testsupport::waitUntil([&] { return !paste.isInserting(); }));
    EXPECT_EQ(clipboard.string(), "keep me");

    // The session is kept: the next text goes without a dialog.
    const int focusIns = field.focusIns();
    paste.insertText("again");
    EXPECT_TRUE(field.waitText(QString::fromUtf8("Привет, Wayland again")))
        << field.text().toStdString();
    EXPECT_TRUE(testsupport::waitUntil([&] { return !paste.isInserting(); }));
    EXPECT_EQ(clipboard.string(), "keep me");
    EXPECT_EQ(field.focusIns(), focusIns) << "the second paste showed a dialog";
    EXPECT_TRUE(notifier.notices.empty());
}

TEST_F(PortalPasteOnGnome, RefusedDialogLeavesTheTextOnTheClipboardWithOneNotice) {
    clipboard.setString("keep me");
    paste.insertText("not pasted");
    ASSERT_TRUE(field.waitUnfocused()) << "no dialog";
    ASSERT_TRUE(wltest::pressKeys({"1"}));  // Escape: the user says no
    ASSERT_TRUE(testsupport::waitUntil([&] { return !paste.isInserting(); }));
    EXPECT_EQ(clipboard.string(), "not pasted");
    ASSERT_EQ(notifier.notices.size(), 1u);
    EXPECT_EQ(notifier.notices[0].title, "Text is ready");
    EXPECT_TRUE(testsupport::debugLogText().contains(
        "[Paste] the desktop does not let Ormil press keys (the user did not allow it)"));

    // Not asked again in this run; the next text waits on the clipboard too.
    ASSERT_TRUE(field.waitFocused());
    paste.insertText("second");
    ASSERT_TRUE(testsupport::waitUntil([&] { return !paste.isInserting(); }));
    EXPECT_EQ(clipboard.string(), "second");
    EXPECT_TRUE(field.focused());
    EXPECT_EQ(field.text(), "");
    EXPECT_EQ(notifier.notices.size(), 1u);
}

TEST_F(PortalPasteOnGnome, MissingPortalLeavesTheTextOnTheClipboardWithOneNotice) {
    PortalKeySynthesizer::Options o = options();
    o.service = "org.ormil.test.NoPortalHere";
    PortalKeySynthesizer absent{settings, notifier, Clock::system(), o};
    KeyboardSimulator noKeys{clipboard, absent, frontmost, notifier, settings, Clock::system()};
    clipboard.setString("keep me");
    noKeys.insertText("dictated");
    ASSERT_TRUE(testsupport::waitUntil([&] { return !noKeys.isInserting(); }));
    EXPECT_EQ(clipboard.string(), "dictated");
    EXPECT_EQ(notifier.notices.size(), 1u);
    EXPECT_TRUE(testsupport::debugLogText().contains("no remote-desktop portal"));
    EXPECT_EQ(absent.state(), PortalKeySynthesizer::State::refused);
}
