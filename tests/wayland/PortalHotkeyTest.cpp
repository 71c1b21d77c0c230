// The hotkey on a Wayland desktop: the real executable offers its shortcuts
// to the desktop's global shortcuts portal, and the user's press and release
// of the bound key, while a Wayland window has the focus, record a dictation
// from the virtual microphone, which is pasted into that window with the
// user's clipboard put back, in the tone the user chose for that window's
// application (which KWin tells a script of ours). Runs in
// scripts/with-wayland-env kde (KWin with its portals; the user's keyboard is
// KWin's fake input).
#include <gtest/gtest.h>

#include <QApplication>
#include <QJsonDocument>
#include <QProcess>

#include "../x11/AppProcessTest.h"
#include "WaylandDesktop.h"
#include "platform/Clock.h"
#include "platform/SettingsStore.h"
#include "records/HistoryService.h"
#include "support/DevService.h"
#include "support/TestSupport.h"
#include "support/VirtualMic.h"

namespace {

const QString kScripted = QStringLiteral("Words through the desktop's shortcut");
// Linux key codes, as the fake keyboard takes them.
constexpr int kRightAlt = 100;
constexpr int kF9 = 67;

QString appLog() {
    return apptest::logText();
}

bool fakeKeys(const QStringList& specs) {
    return wltest::pressKeys(specs);
}

// The clipboard as another Wayland client sees it (wl-clipboard goes through
// data-control here, so it takes no focus).
QString clipboardText() {
    int rc = -1;
    return QString::fromUtf8(testsupport::runProgram("wl-paste", {"-n"}, &rc));
}

class PortalHotkeyOnKde : public ::testing::Test {
protected:
    // Shortcuts set before the launch (none: the defaults).
    QJsonObject storedKeys;

    void SetUp() override {
        if (qEnvironmentVariable("ORMIL_WAYLAND_DESKTOP") != "kde")
            GTEST_SKIP() << "not in the headless KDE desktop";
        ASSERT_EQ(QGuiApplication::platformName(), "xcb");
        // Stored before the application starts, which reads them once.
        SettingsStore::shared().setMany(storedKeys);
        // The field's application has a tone of its own.
        SettingsStore::shared().setMany(
            {{"toneStyle", "neutral"},
             {"perAppStylesEnabled", true},
             {"perAppStyles", QJsonObject{{"org.ormil.field", "formal"}}}});
        ASSERT_NO_FATAL_FAILURE(apptest::launchSignedIn(service, "wl@ormil.test", app));
        // The desktop has answered the binding.
        ASSERT_TRUE(testsupport::waitUntil(
            [&] { return appLog().contains("[Hotkey] Desktop bound: dictation="); }, 30000))
            << appLog().toStdString();

        // The sign-in ends by showing the main window, which takes the focus:
        // the field comes after it.
        ASSERT_TRUE(testsupport::waitUntil([] { return apptest::windowShown("^Ormil$"); }))
            << testsupport::runProgram(
                   "xdotool", {"search", "--onlyvisible", "--name", ".", "getwindowname", "%@"})
                   .toStdString()
            << appLog().toStdString();
        // A Wayland-native window takes the focus: the key must reach the
        // application all the same.
        field = std::make_unique<wltest::WaylandField>();
        ASSERT_TRUE(field->waitFocused());
    }

    void TearDown() override {
        field.reset();
        if (app) apptest::stop(*app);
    }

    // Holds the key (a Linux key code) while the microphone hears speech,
    // then checks that the stand-in got the recording and the history kept
    // its text. `from` is then where this dictation's part of the log begins.
    void dictateHolding(int key) {
        service.queue("/transcribe", [] {
            DevService::Answer answer;
            answer.json = QJsonObject{{"success", true},
                                      {"text", kScripted},
                                      {"word_count", 5},
                                      {"weekly_words_used", 5},
                                      {"weekly_words_limit", 2000}};
            return answer;
        }());
        from = appLog().size();
        ASSERT_TRUE(fakeKeys({QStringLiteral("+%1").arg(key)}));
        ASSERT_TRUE(testsupport::waitUntil([&] {
            return appLog().indexOf("[Audio] record() returned: true", from) >= 0;
        })) << appLog().mid(from).toStdString();
        VirtualMic::play(VirtualMic::speech("testing one two three") + VirtualMic::silence(0.5));
        ASSERT_TRUE(fakeKeys({QStringLiteral("-%1").arg(key)}));

        ASSERT_TRUE(testsupport::waitUntil(
            [&] { return service.requests("/transcribe").size() == 1; }, 30000))
            << appLog().mid(from).toStdString();
        // Read once the application has stored it: opening the store meanwhile
        // would hold the application's own opening up.
        ASSERT_TRUE(testsupport::waitUntil([&] {
            return appLog().indexOf("[ClipboardHistory] Added transcription", from) >= 0;
        })) << appLog().mid(from).toStdString();
        HistoryService history(HistoryService::defaultDatabasePath(), Clock::system());
        const auto records = history.fetchTranscriptions(10);
        ASSERT_EQ(records.size(), 1) << appLog().mid(from).toStdString();
        EXPECT_TRUE(records[0].value("text").toString().contains(kScripted));
    }
    qsizetype from = 0;

    DevService service;
    std::unique_ptr<QProcess> app;
    std::unique_ptr<wltest::WaylandField> field;
};

TEST_F(PortalHotkeyOnKde, HoldingTheBoundKeyRecordsADictationPastedIntoTheWaylandField) {
    const QString log = appLog();
    EXPECT_TRUE(
        log.contains("[Session] Wayland session (KDE): windows X11 on XWayland, hotkeys "
                     "GlobalShortcuts portal"))
        << log.toStdString();
    // The three shortcuts were offered with the stored keys as the triggers.
    EXPECT_TRUE(
        log.contains("binding dictation=Alt_R, translation=Super_R, "
                     "paste-last=CTRL+ALT+v"))
        << log.toStdString();
    EXPECT_TRUE(log.contains("paste-last=Ctrl+Alt+V")) << log.toStdString();
    EXPECT_TRUE(log.contains("[FrontmostApp] KWin tells the focused window")) << log.toStdString();
    EXPECT_FALSE(log.contains("[Styles] Wayland session")) << log.toStdString();

    // What the user had copied before, set by another Wayland client.
    testsupport::runProgram("wl-copy", {"held before"});
    ASSERT_TRUE(testsupport::waitUntil([] { return clipboardText() == "held before"; }));

    ASSERT_NO_FATAL_FAILURE(dictateHolding(kRightAlt));
    const QString after = appLog().mid(from);
    EXPECT_EQ(after.count("[Hotkey] PRESSED (translate=false)"), 1) << after.toStdString();
    EXPECT_EQ(after.count("[Hotkey] RELEASED"), 1) << after.toStdString();

    // The text lands in the focused Wayland window, and the clipboard holds
    // the user's contents again.
    EXPECT_TRUE(field->waitText(kScripted + " "))
        << field->text().toStdString() << "\nthe application's log ends:\n"
        << appLog().mid(from).toStdString();
    EXPECT_TRUE(testsupport::waitUntil([] { return clipboardText() == "held before"; }))
        << clipboardText().toStdString() << "\n"
        << appLog().mid(from).toStdString();
    EXPECT_EQ(field->focusIns(), 1) << "the paste moved the focus";
    // In the field's own tone.
    const auto uploads = service.requests("/transcribe");
    ASSERT_EQ(uploads.size(), 1);
    EXPECT_EQ(uploads[0].formField("tone_style"), "formal");
    EXPECT_TRUE(appLog().mid(from).contains(
        "[PerApp] org.ormil.field -> formal (overrides global neutral)"))
        << appLog().mid(from).toStdString();
}

// A key that is not a modifier repeats while held, and the desktop repeats
// its activation with it.
class PortalHotkeyOnKdeF9 : public PortalHotkeyOnKde {
protected:
    void SetUp() override {
        storedKeys = {{"hotkeyKeyCode", 101}, {"hotkeyModifiers", 0}, {"hotkeyIsModifier", false}};
        PortalHotkeyOnKde::SetUp();
    }
};

TEST_F(PortalHotkeyOnKdeF9, AHeldRepeatingKeyRecordsOneDictation) {
    EXPECT_TRUE(appLog().contains("binding dictation=F9,")) << appLog().toStdString();
    ASSERT_NO_FATAL_FAILURE(dictateHolding(kF9));
    const QString after = appLog().mid(from);
    EXPECT_EQ(after.count("[Hotkey] PRESSED (translate=false)"), 1) << after.toStdString();
    EXPECT_EQ(after.count("[Hotkey] RELEASED"), 1) << after.toStdString();
}

}  // namespace
