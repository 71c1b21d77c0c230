// A dictation through the real executable on the headless GNOME desktop:
// started and stopped with the commands a desktop's own shortcuts run, the
// stand-in's answer pasted into a Wayland window through the remote-desktop
// portal once the user allowed it, and the clipboard put back.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>

#include "WaylandDesktop.h"
#include "platform/SettingsStore.h"
#include "platform/x11/X11Pasteboard.h"
#include "support/DevService.h"
#include "support/VirtualMic.h"
// X11 headers (through AppInput.h) last: their macros clash with Qt and gtest.
#include "../x11/AppInput.h"

namespace {

const QString kScripted = QStringLiteral("Words from the stand-in");

class AppPasteOnGnome : public ::testing::Test {
protected:
    void SetUp() override {
        if (wltest::desktop() != "gnome") GTEST_SKIP() << "not in the headless GNOME desktop";
        ASSERT_TRUE(testsupport::hasPulse());
    }
    void TearDown() override {
        if (app) apptest::stop(*app);
    }
    std::unique_ptr<QProcess> app;
};

}  // namespace

TEST_F(AppPasteOnGnome, CommandedDictationIsPastedThroughThePortalAndTheClipboardComesBack) {
    DevService service;
    service.exportBases();
    const DevService::Tokens tokens =
        service.createSignedInAccount({{"email", "wl@ormil.test"}, {"password", "pw"}});
    SettingsStore(SettingsStore::defaultFilePath())
        .setMany({{"hasSeenOnboarding", true},
                  {"ormil_auth_fallback_access_token", tokens.access},
                  {"ormil_auth_fallback_refresh_token", tokens.refresh}});
    service.queue("/transcribe", apptest::transcript(kScripted));

    app = apptest::launch();
    ASSERT_TRUE(app->waitForStarted());
    ASSERT_TRUE(testsupport::waitUntil(
        [] { return apptest::logText().contains("[TextExpansion] Started"); }));
    const QString log = apptest::logText();
    EXPECT_TRUE(log.contains("[Session] Wayland session"));
    // What the desktop does not allow is said once; the rest goes on.
    EXPECT_EQ(log.count("[TextExpansion] Wayland session"), 1) << log.toStdString();
    EXPECT_EQ(log.count("[Styles] Wayland session"), 1) << log.toStdString();
    // The main window opens once the launch is done and takes the keyboard:
    // the user's window comes after it.
    ASSERT_TRUE(testsupport::waitUntil([] { return apptest::windowShown("^Ormil$"); }))
        << testsupport::runProgram("xwininfo", {"-root", "-tree"}).toStdString();

    // The user's window, focused after the main window.
    wltest::WaylandField field;
    ASSERT_TRUE(field.waitFocused());
    X11Pasteboard clipboard;
    clipboard.setString("held before");

    apptest::dictateWith([] { apptest::handOver("--start-dictation"); },
                         [] { apptest::handOver("--stop-dictation"); },
                         VirtualMic::speech("testing one two three") + VirtualMic::silence(0.5));
    // The first paste asks the user.
    ASSERT_TRUE(field.waitUnfocused()) << apptest::logText().right(3000).toStdString();
    ASSERT_TRUE(wltest::pressKeys({"answer-dialog"}));
    EXPECT_TRUE(field.waitText(kScripted + " "))
        << field.text().toStdString() << "\nthe application's log ends:\n"
        << apptest::logText().right(4000).toStdString();
    EXPECT_TRUE(testsupport::waitUntil([&] { return clipboard.string() == "held before"; }))
        << clipboard.string().toStdString();
}
