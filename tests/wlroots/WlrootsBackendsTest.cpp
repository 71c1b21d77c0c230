// The wlroots back ends on a headless sway: keys through the virtual
// keyboard into a Wayland-native field, the activated toplevel's app id,
// and the pill's window left alone by the compositor.
#include <gtest/gtest.h>

#include <QWidget>

#include "WlrootsDesktop.h"
#include "platform/SessionBackends.h"
#include "platform/wayland/ForeignToplevelFrontmostApp.h"
#include "platform/wayland/VirtualKeyboardSynthesizer.h"
#include "platform/wayland/WaylandClient.h"
#include "platform/x11/X11OverlayWindow.h"

namespace {

class WlrootsBackends : public ::testing::Test {
protected:
    void SetUp() override {
        if (!wlroots::onSway()) GTEST_SKIP() << "not inside scripts/with-wayland-env sway";
        ASSERT_TRUE(client.isConnected());
    }
    WaylandClient client;
};

TEST_F(WlrootsBackends, SwayIsToldByItsProtocols) {
    SessionEnvironment sway = SessionEnvironment::fromProcess();
    sway.waylandGlobals = client.globals();
    EXPECT_EQ(SessionBackends::choose(sway).paste, SessionBackends::Paste::virtualKeyboard);
    EXPECT_EQ(SessionBackends::choose(sway).hotkeys, SessionBackends::Hotkeys::commandsOnly);
}

// Each chord pastes the clipboard into a Wayland field (set here by wl-copy,
// through data-control), and leaves no modifier held: a key the user types
// next comes out as itself.
TEST_F(WlrootsBackends, PasteChordsReachTheFocusedWaylandField) {
    VirtualKeyboardSynthesizer keys(client);
    ASSERT_TRUE(keys.isAvailable());
    wlroots::Field field(QStringLiteral("org.ormil.field"));
    ASSERT_TRUE(field.waitFocused());
    int rc = -1;
    testsupport::runProgram("wl-copy", {"pasted"}, &rc);
    ASSERT_EQ(rc, 0);

    struct Case {
        KeySynthesizer::PasteChord chord;
        const char* want;
    };
    const Case cases[] = {
        {KeySynthesizer::PasteChord::ControlV, "pasted"},
        {KeySynthesizer::PasteChord::ShiftInsert, "pastedpasted"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(keys.postPaste(c.chord));
        EXPECT_TRUE(field.waitText(c.want)) << c.want << ": " << field.text().toStdString();
    }
    ASSERT_TRUE(keys.postBackspaces(3));
    EXPECT_TRUE(field.waitText("pastedpas")) << field.text().toStdString();
    ASSERT_TRUE(wlroots::pressKeys({"45"}));  // x
    EXPECT_TRUE(field.waitText("pastedpasx")) << field.text().toStdString();
}

// The frontmost application follows the toplevel sway activates.
TEST_F(WlrootsBackends, FrontmostAppIsTheActivatedToplevel) {
    ForeignToplevelFrontmostApp frontmost(client);
    ASSERT_TRUE(frontmost.isAvailable());
    wlroots::Field first(QStringLiteral("org.ormil.first"));
    ASSERT_TRUE(first.waitFocused());
    wlroots::Field second(QStringLiteral("org.ormil.second"));
    ASSERT_TRUE(second.waitFocused());
    const auto frontmostIs = [&](const char* app) {
        return testsupport::waitUntil(
            [&] { return frontmost.bundleIdentifier() == std::optional<QString>(app); });
    };
    EXPECT_TRUE(frontmostIs("org.ormil.second"))
        << frontmost.bundleIdentifier().value_or("none").toStdString();
    wlroots::swaymsg({"[app_id=org.ormil.first] focus"});
    EXPECT_TRUE(frontmostIs("org.ormil.first"))
        << frontmost.bundleIdentifier().value_or("none").toStdString();
}

// The pill's window recipe under XWayland: sway tiles and focuses a managed
// window, so it must bypass the window manager; then it stays where it was
// put and the field keeps the focus.
TEST_F(WlrootsBackends, PillWindowIsLeftWhereItIsAndTakesNoFocus) {
    wlroots::Field field(QStringLiteral("org.ormil.field"));
    ASSERT_TRUE(field.waitFocused());
    ASSERT_TRUE(testsupport::waitUntil([] { return wlroots::focusedApp() == "org.ormil.field"; }));

    OverlayWindowSystem::setBypassWindowManager(true);
    QWidget pill;
    pill.setWindowTitle("pill");
    OverlayWindowSystem::makeNonActivating(&pill);
    OverlayWindowSystem::setBypassWindowManager(false);
    pill.setGeometry(600, 700, 120, 40);
    pill.show();
    const QString id = QString::number(pill.winId());
    ASSERT_TRUE(testsupport::waitUntil([&] {
        return testsupport::runProgram("xwininfo", {"-id", id}).contains("IsViewable");
    }));
    EXPECT_EQ(wlroots::focusedApp(), "org.ormil.field");
    EXPECT_TRUE(field.focused());
    // A window sway manages, mapped after the pill: once sway lists it, it
    // has taken in the pill too, had it been one to manage.
    QWidget later;
    later.setWindowTitle("mapped after the pill");
    later.show();
    ASSERT_TRUE(testsupport::waitUntil([] { return wlroots::manages("mapped after the pill"); }));
    EXPECT_FALSE(wlroots::manages("pill"));
    const QString where = testsupport::runProgram("xwininfo", {"-id", id});
    EXPECT_TRUE(where.contains("Absolute upper-left X:  600") &&
                where.contains("Absolute upper-left Y:  700"))
        << where.toStdString();
}

}  // namespace
