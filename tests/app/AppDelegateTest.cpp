#include <gtest/gtest.h>

#include <QStringList>
#include <QSystemTrayIcon>
#include <functional>
#include <utility>
#include <vector>

#include "app/AppDelegate.h"
#include "core/AppState.h"
#include "fakes/FakeClock.h"
#include "fakes/FakePasteboard.h"
#include "fakes/FakeInputAccess.h"
#include "fakes/FakeMicrophoneAccess.h"
#include "fakes/FakeNotifier.h"
#include "platform/InputAccess.h"
#include "platform/MicrophoneAccess.h"
#include "platform/NotificationCenter.h"
#include "platform/Notifier.h"
#include "platform/SettingsStore.h"
#include "records/SavedPromptTab.h"
#include "support/TestSupport.h"

namespace {

class AppDelegateTest : public ::testing::Test {
protected:
    // The interface texts read the process-wide store.
    void SetUp() override { SettingsStore::setSharedForTesting(&settings); }
    void TearDown() override { SettingsStore::setSharedForTesting(nullptr); }

    AppDelegate::Collaborators collaborators() {
        AppDelegate::Collaborators c;
        c.settings = &settings;
        c.notifier = &notifier;
        c.microphone = &microphone;
        c.inputAccess = &access;
        c.notifications = &NotificationCenter::shared();
        c.menu.appState = &appState;
        c.menu.clock = &clock;
        c.menu.pasteboard = &pasteboard;
        c.createTrayIcon = false;
        c.preferredLanguages = [this] { return languages; };
        c.hasAccessToken = [this] { return signedIn; };
        c.runInBackground = [this](std::function<void()> job) { background.push_back(job); };
        const auto record = [this](const char* name) {
            return [this, name] { calls << QString::fromLatin1(name); };
        };
        c.errorReportStart = record("errorReportStart");
        c.installCrashHook = record("installCrashHook");
        c.setupSync = record("setupSync");
        c.overlaySetup = record("overlaySetup");
        c.hotkeySetup = record("hotkeySetup");
        c.pullAll = record("pullAll");
        c.warmUpTonePrompts = record("warmUp");
        c.clipboardHistoryStart = record("clipboardHistoryStart");
        c.textExpansionStart = record("textExpansionStart");
        c.checkForUpdatesAfterDelay = [this](double s) {
            calls << QStringLiteral("checkForUpdatesAfterDelay(%1)").arg(s);
        };
        c.showLoginWindow = record("showLoginWindow");
        c.showOnboardingWindow = record("showOnboardingWindow");
        c.openMainWindow = record("openMainWindow");
        c.handleURL = [this](const QString& url) { calls << QStringLiteral("handleURL ") + url; };
        return c;
    }

    SettingsStore settings;
    AppState appState{settings, {}};
    FakeClock clock;
    FakePasteboard pasteboard;
    FakeNotifier notifier;
    FakeMicrophoneAccess microphone;
    FakeInputAccess access;
    QStringList languages{QStringLiteral("en-US")};
    bool signedIn = true;
    QStringList calls;
    // Jobs the delegate left for a worker, run when the test says.
    std::vector<std::function<void()>> background;
    void runBackground() {
        for (auto& job : std::exchange(background, {})) job();
    }
};

TEST_F(AppDelegateTest, LaunchStartsServicesInOrderAndLogsEachStep) {
    settings.set("hasSeenOnboarding", true);
    AppDelegate delegate(collaborators());
    delegate.applicationDidFinishLaunching();

    EXPECT_EQ(AppDelegate::shared(), &delegate);
    EXPECT_EQ(calls, (QStringList{"errorReportStart", "installCrashHook", "setupSync",
                                  "overlaySetup", "hotkeySetup", "pullAll", "warmUp",
                                  "clipboardHistoryStart", "textExpansionStart",
                                  "checkForUpdatesAfterDelay(5)", "openMainWindow"}));
    QStringList order{"[App] Ormil launching...",
                      "[App] Defaults set:",
                      "[App] Activation policy set",
                      "[App] Status item created",
                      "[App] Menu built",
                      "[App] Overlay initialized",
                      "[App] Hotkey service initialized",
                      "[App] Accessibility: granted",
                      "[App] Permission requests sent",
                      "[App] Открываем главное окно при запуске",
                      "[App] Microphone access: granted"};
    // Asking the audio server for the microphone does not hold up the launch:
    // its answer is logged whenever it comes.
    EXPECT_FALSE(testsupport::debugLogText().contains("[App] Microphone access"));
    runBackground();
    const QString log = testsupport::debugLogText();
    qsizetype at = 0;
    for (const QString& line : order) {
        const qsizetype found = log.indexOf(line, at);
        EXPECT_GE(found, 0) << "missing or out of order: " << line.toStdString();
        if (found >= 0) at = found;
    }
    ASSERT_NE(delegate.statusMenu(), nullptr);
}

TEST_F(AppDelegateTest, SignedOutLaunchSkipsAccountTasksAndReportsDeniedAccess) {
    signedIn = false;
    microphone.status = MicrophoneAccess::denied;
    access.trusted = false;
    AppDelegate delegate(collaborators());
    delegate.applicationDidFinishLaunching();
    runBackground();
    EXPECT_FALSE(calls.contains("pullAll"));
    EXPECT_FALSE(calls.contains("warmUp"));
    EXPECT_EQ(calls.last(), "showLoginWindow");
    const QString log = testsupport::debugLogText();
    EXPECT_TRUE(log.contains("[App] Microphone access: DENIED"));
    EXPECT_TRUE(log.contains("[App] Accessibility: NOT GRANTED"));
    EXPECT_TRUE(log.contains("[App] Не авторизован — показываем окно входа"));
}

TEST_F(AppDelegateTest, RunsWithoutATrayHostAndSaysSo) {
    auto c = collaborators();
    c.createTrayIcon = true;
    c.trayAvailable = [] { return false; };
    AppDelegate delegate(c);
    delegate.applicationDidFinishLaunching();
    ASSERT_NE(delegate.statusItem(), nullptr);
    EXPECT_EQ(delegate.statusItem()->contextMenu(), delegate.statusMenu()->menu());
    EXPECT_TRUE(testsupport::debugLogText().contains("[App] No system tray found"));
    // The launch went on to its end.
    EXPECT_EQ(calls.last(), "showOnboardingWindow");
}

TEST_F(AppDelegateTest, FirstLaunchDefaultsFollowThePreferredLanguage) {
    struct Case {
        QStringList languages;
        const char *interface, *recognition, *target;
    };
    const Case cases[] = {
        {{"pt-BR"}, "pt", "pt", "en"}, {{"en-US", "ru"}, "en", "en", "ru"},
        {{"sv-SE"}, "en", "en", "en"}, {{"hi-IN"}, "hi", "en", "en"},
        {{"de-AT"}, "de", "de", "en"}, {{}, "en", "en", "ru"},
        {{"uk"}, "uk", "en", "en"},    {{"zh-Hans-CN"}, "zh", "zh", "en"},
    };
    for (const Case& c : cases) {
        SettingsStore fresh;
        languages = c.languages;
        auto collab = collaborators();
        collab.settings = &fresh;
        AppDelegate delegate(collab);
        delegate.setupFirstLaunchDefaults();
        const std::string label = c.languages.join(',').toStdString();
        EXPECT_EQ(fresh.string("interfaceLanguage"), c.interface) << label;
        EXPECT_EQ(fresh.string("recognitionLanguage"), c.recognition) << label;
        EXPECT_EQ(fresh.string("translateTargetLanguage"), c.target) << label;
        EXPECT_EQ(fresh.value("translateKeyCode"), QJsonValue(54)) << label;
        for (const char* key : {"translateIsModifier", "autoSwitchLayout", "audioNormalization",
                                "firstLaunchDefaultsSet"})
            EXPECT_EQ(fresh.value(key), QJsonValue(true)) << label << " " << key;
    }
}

TEST_F(AppDelegateTest, FirstLaunchDefaultsNeverRunTwice) {
    AppDelegate delegate(collaborators());
    delegate.setupFirstLaunchDefaults();
    settings.set("recognitionLanguage", "ko");
    settings.set("autoSwitchLayout", false);
    languages = {"fr-FR"};
    delegate.setupFirstLaunchDefaults();
    EXPECT_EQ(settings.string("interfaceLanguage"), "en");
    EXPECT_EQ(settings.string("recognitionLanguage"), "ko");
    EXPECT_EQ(settings.value("autoSwitchLayout"), QJsonValue(false));
    EXPECT_TRUE(testsupport::debugLogText().contains("[App] First launch defaults already set"));
}

TEST_F(AppDelegateTest, RetiredTonesBecomeNeutralAtLaunch) {
    struct Case {
        QJsonValue stored, expected;
    };
    const Case cases[] = {{"grammar", "neutral"},
                          {"cultured", "neutral"},
                          {"casual", "neutral"},
                          {"formal", "formal"},
                          {"Grammar", "Grammar"},
                          {QJsonValue(3), QJsonValue(3)},
                          {QJsonValue(QJsonValue::Undefined), QJsonValue(QJsonValue::Undefined)}};
    for (const Case& c : cases) {
        settings.remove("toneStyle");
        if (!c.stored.isUndefined()) settings.set("toneStyle", c.stored);
        AppDelegate delegate(collaborators());
        delegate.applicationDidFinishLaunching();
        EXPECT_EQ(settings.value("toneStyle"), c.expected)
            << c.stored.toVariant().toString().toStdString();
    }
}

TEST_F(AppDelegateTest, SavedPromptsTextOfAnEarlierEditorBecomesTheStoredBytesAtLaunch) {
    settings.set("savedPrompts", QString(R"([{"name":"Mail","prompt":"Write"}])"));
    AppDelegate delegate(collaborators());
    delegate.applicationDidFinishLaunching();
    EXPECT_EQ(settings.data("savedPrompts"),
              SavedPrompts::encode({{"Mail", "Write", true, false}}));
    EXPECT_TRUE(
        testsupport::debugLogText().contains("[SavedPrompts] Converted 1 saved prompts from text"));
}

TEST_F(AppDelegateTest, StartupWindowDecision) {
    const QJsonValue absent(QJsonValue::Undefined);
    struct Case {
        bool signedIn;
        bool hasSeenOnboarding;
        QJsonValue openWindowOnLaunch;
        bool hasSeenStartupWindow;
        const char* window;  // nullptr: no window
        QJsonValue openWindowAfter;
    };
    const Case cases[] = {
        // Signed out: the login window, whatever the rest says.
        {false, true, false, true, "showLoginWindow", false},
        {false, false, absent, false, "showLoginWindow", absent},
        {true, false, absent, false, "showOnboardingWindow", true},
        {true, false, false, true, "showOnboardingWindow", false},
        {true, true, absent, true, "openMainWindow", true},
        {true, true, true, true, "openMainWindow", true},
        // The first decision opens the main window even when asked not to.
        {true, true, false, false, "openMainWindow", false},
        {true, true, false, true, nullptr, false},
    };
    for (const Case& c : cases) {
        SettingsStore fresh;
        fresh.set("hasSeenOnboarding", c.hasSeenOnboarding);
        if (!c.openWindowOnLaunch.isUndefined())
            fresh.set("openWindowOnLaunch", c.openWindowOnLaunch);
        if (c.hasSeenStartupWindow) fresh.set("hasSeenStartupWindow", true);
        signedIn = c.signedIn;
        calls.clear();
        auto collab = collaborators();
        collab.settings = &fresh;
        AppDelegate delegate(collab);
        delegate.showStartupWindowIfNeeded();
        const std::string label = QStringLiteral("signedIn=%1 onboarding=%2 open=%3 seen=%4")
                                      .arg(c.signedIn)
                                      .arg(c.hasSeenOnboarding)
                                      .arg(c.openWindowOnLaunch.toVariant().toString())
                                      .arg(c.hasSeenStartupWindow)
                                      .toStdString();
        EXPECT_EQ(calls, c.window ? QStringList{c.window} : QStringList{}) << label;
        EXPECT_EQ(fresh.value("hasSeenStartupWindow"), QJsonValue(true)) << label;
        EXPECT_EQ(fresh.value("openWindowOnLaunch"), c.openWindowAfter) << label;
    }
}

TEST_F(AppDelegateTest, SessionExpiredNoticeThenLoginWindow) {
    AppDelegate delegate(collaborators());
    delegate.applicationDidFinishLaunching();
    calls.clear();
    settings.set("interfaceLanguage", "ru");
    NotificationCenter::shared().postSessionExpired();
    ASSERT_TRUE(testsupport::waitUntil([&] { return !notifier.notices.empty(); }));
    EXPECT_EQ(notifier.notices[0].title, "Сессия истекла");
    EXPECT_EQ(calls, QStringList{"showLoginWindow"});
}

TEST_F(AppDelegateTest, HandOverRunsCommandsPassesLinksOnOrReopens) {
    struct Case {
        bool signedIn;
        QStringList arguments;
        QStringList expected;
    };
    const Case cases[] = {
        {true, {}, {"openMainWindow"}},
        {false, {}, {"showLoginWindow"}},
        {true, {"--verbose"}, {"openMainWindow"}},
        {true, {"ormil://auth?token=abc123"}, {"handleURL ormil://auth?token=abc123"}},
        {true, {"ORMIL://Auth?Token=x"}, {"handleURL ORMIL://Auth?Token=x"}},
        // A command drives the recording and opens no window.
        {true, {"--start-dictation"}, {"command --start-dictation"}},
        {false, {"--toggle-translation"}, {"command --toggle-translation"}},
        {true,
         {"--verbose", "--stop-translation", "--start-dictation"},
         {"command --stop-translation"}},
        {true,
         {"--start-dictation", "ormil://auth?token=t"},
         {"command --start-dictation", "handleURL ormil://auth?token=t"}},
        {true, {"--start-dictation=now", "start-dictation"}, {"openMainWindow"}},
    };
    for (const Case& c : cases) {
        signedIn = c.signedIn;
        calls.clear();
        auto collab = collaborators();
        collab.runDictationCommand = [this](const DictationCommand& command) {
            calls << "command " + command.option();
        };
        AppDelegate delegate(collab);
        delegate.handleHandOver(c.arguments);
        EXPECT_EQ(calls, c.expected) << c.arguments.join(' ').toStdString();
    }
    // The one-time token never reaches the log.
    EXPECT_FALSE(testsupport::debugLogText().contains("abc123"));
}

}  // namespace
