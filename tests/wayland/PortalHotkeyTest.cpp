// The hotkey on a Wayland desktop: the real executable offers its shortcuts
// to the desktop's global shortcuts portal, and the user's press and release
// of the bound key, while a Wayland window has the focus, record a dictation
// from the virtual microphone. Runs in scripts/with-wayland-env kde (KWin with
// its portal; the user's keyboard is KWin's fake input).
#include <gtest/gtest.h>

#include <QApplication>
#include <QJsonDocument>
#include <QProcess>

#include "../x11/AppProcessTest.h"
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
    int rc = -1;
    testsupport::runProgram(QStringLiteral(ORMIL_KWIN_FAKE_KEYS), specs, &rc);
    return rc == 0;
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
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "wayland");
        field.setProcessEnvironment(env);
        field.start(QStringLiteral(ORMIL_TEXTFIELD_PEER), {});
        ASSERT_TRUE(testsupport::waitUntil([&] {
            fieldOutput += field.readAllStandardOutput();
            return fieldOutput.contains("focused\n");
        }));
    }

    void TearDown() override {
        if (field.state() != QProcess::NotRunning) {
            field.kill();
            field.waitForFinished();
        }
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
    QProcess field;
    QByteArray fieldOutput;
};

TEST_F(PortalHotkeyOnKde, HoldingTheBoundKeyRecordsADictation) {
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

    ASSERT_NO_FATAL_FAILURE(dictateHolding(kRightAlt));
    const QString after = appLog().mid(from);
    EXPECT_EQ(after.count("[Hotkey] PRESSED (translate=false)"), 1) << after.toStdString();
    EXPECT_EQ(after.count("[Hotkey] RELEASED"), 1) << after.toStdString();
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
