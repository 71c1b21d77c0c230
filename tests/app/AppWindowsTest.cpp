#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <vector>

#include "app/AppWindows.h"
#include "core/AppState.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeFrontmostApp.h"
#include "fakes/FakeInputAccess.h"
#include "fakes/FakeOverlay.h"
#include "fakes/FakePasteboard.h"
#include "fakes/FakeSecretStore.h"
#include "platform/NotificationCenter.h"
#include "platform/SettingsStore.h"
#include "service/AuthService.h"
#include "service/HttpClient.h"
#include "support/DevService.h"
#include "support/TestSupport.h"

namespace {

using Policy = ActivationPolicy::Policy;

class CountingOverlay : public FakeOverlay {
public:
    void ensureVisibleIfNeeded() override { ++ensured; }
    int ensured = 0;
};

// The five windows as plain widgets whose ways of finishing the test holds.
class AppWindowsTest : public ::testing::Test {
protected:
    SettingsStore settings;
    AppState appState{settings, [](const QString&) { return TokenReadResult{}; }};
    FakeClock clock;
    FakePasteboard pasteboard;
    FakeInputAccess input;
    CountingOverlay overlay;
    FakeFrontmostApp frontmost;
    std::optional<bool> newestIsDictation;
    QStringList pasted;
    std::function<void()> finishOnboarding, dismissLogin;
    std::function<void(const QString&)> applyEditor;
    QString editorSource;
    std::vector<std::function<void()>> closeStyleEditor;
    struct Alert {
        QWidget* parent;
        QString message, details;
    };
    std::vector<Alert> alerts;
    std::unique_ptr<AppWindows> windows;

    AppWindows::Collaborators collaborators() {
        AppWindows::Collaborators c;
        c.settings = &settings;
        c.appState = &appState;
        c.clock = &clock;
        c.pasteboard = &pasteboard;
        c.inputAccess = &input;
        c.notifications = &NotificationCenter::shared();
        c.overlay = &overlay;
        c.frontmost = &frontmost;
        c.newestClipboardEntryIsDictation = [this] { return newestIsDictation; };
        c.insertTextViaPasteboard = [this](const QString& text) { pasted << text; };
        c.makeMainWindow = [] { return new QWidget; };
        c.makeOnboardingWindow = [this](std::function<void()> onFinish) {
            finishOnboarding = onFinish;
            return new QWidget;
        };
        c.makeLoginWindow = [this](std::function<void()> onDismiss) {
            dismissLogin = onDismiss;
            // A field the user types into, empty in a new window.
            auto* window = new QWidget;
            new QLineEdit(window);
            return window;
        };
        c.makeEditorWindow = [this](const QString& source,
                                    std::function<void(const QString&)> onApply) {
            editorSource = source;
            applyEditor = onApply;
            return new QWidget;
        };
        c.makeStyleEditorWindow = [this](const QString&, const QString&,
                                         std::function<void()> onClose) {
            closeStyleEditor.push_back(onClose);
            return new QWidget;
        };
        c.showAlert = [this](QWidget* parent, const QString& message, const QString& details) {
            alerts.push_back({parent, message, details});
        };
        return c;
    }

    void SetUp() override { windows = std::make_unique<AppWindows>(collaborators()); }

    // Lets deleteLater and queued notifications run.
    static void settle() {
        testsupport::processEvents(20);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

TEST_F(AppWindowsTest, EachWindowHasItsTitleAndSize) {
    appState.setIsAdmin(true);
    const struct {
        const char* name;
        std::function<void()> open;
        std::function<QWidget*()> window;
        const char* title;
        QSize size, minimum;
    } cases[] = {
        {"main", [&] { windows->openMainWindow(); }, [&] { return windows->mainWindow(); },
         "Ormil", {1000, 700}, {800, 600}},
        {"onboarding", [&] { windows->showOnboardingWindow(); },
         [&] { return windows->onboardingWindow(); }, "Ormil", {480, 420}, {0, 0}},
        {"sign-in", [&] { windows->showLoginWindow(); }, [&] { return windows->loginWindow(); },
         "Ormil Login", {360, 520}, {0, 0}},
        {"editor", [&] { windows->openEditorWindow(); }, [&] { return windows->editorWindow(); },
         "AI-обработка текста", {1160, 700}, {720, 460}},
        {"style editor", [&] { windows->openBuiltinStyleEditor("formal", "Formal style"); },
         [&] { return windows->styleEditorWindow(); }, "Formal style", {560, 560}, {0, 0}},
    };
    for (const auto& c : cases) {
        c.open();
        QWidget* w = c.window();
        ASSERT_NE(w, nullptr) << c.name;
        EXPECT_TRUE(w->isVisible()) << c.name;
        EXPECT_EQ(w->windowTitle(), QString::fromUtf8(c.title)) << c.name;
        EXPECT_EQ(w->size(), c.size) << c.name;
        EXPECT_EQ(w->minimumSize(), c.minimum) << c.name;
    }
    EXPECT_EQ(windows->activationPolicy().current(), Policy::regular);
}

TEST_F(AppWindowsTest, MainWindowIsOneWindowKeptAcrossClose) {
    windows->openMainWindow();
    QPointer<QWidget> first = windows->mainWindow();
    windows->openMainWindow();
    EXPECT_EQ(windows->mainWindow(), first);

    first->close();
    settle();
    ASSERT_TRUE(first);
    EXPECT_FALSE(first->isVisible());
    windows->openMainWindow();
    EXPECT_EQ(windows->mainWindow(), first);
    EXPECT_TRUE(first->isVisible());
    // Showing a window brings the recording pill back over it.
    EXPECT_GE(overlay.ensured, 3);
}

TEST_F(AppWindowsTest, ClosingTheLastVisibleWindowReturnsToTheTrayOnly) {
    windows->openMainWindow();
    windows->showLoginWindow();
    windows->loginWindow()->close();
    clock.advance(0.1);
    // The main window is still up.
    EXPECT_EQ(windows->activationPolicy().current(), Policy::regular);

    // A minimised window keeps the policy; it counts as not visible when
    // the next check comes.
    const int ensuredBefore = overlay.ensured;
    windows->mainWindow()->setWindowState(Qt::WindowMinimized);
    QEvent change(QEvent::WindowStateChange);
    QCoreApplication::sendEvent(windows->mainWindow(), &change);
    EXPECT_EQ(windows->activationPolicy().current(), Policy::regular);
    EXPECT_GT(overlay.ensured, ensuredBefore);
    windows->restoreAccessoryModeIfNeeded();
    EXPECT_EQ(windows->activationPolicy().current(), Policy::accessory);

    windows->openMainWindow();
    windows->mainWindow()->close();
    clock.advance(0.09);
    EXPECT_EQ(windows->activationPolicy().current(), Policy::regular);
    clock.advance(0.01);
    EXPECT_EQ(windows->activationPolicy().current(), Policy::accessory);
}

TEST_F(AppWindowsTest, OpenSettingsSelectsTheSectionAfterATenthOfASecond) {
    QSignalSpy navigated(&NotificationCenter::shared(),
                         &NotificationCenter::ormilNavigateToSection);
    windows->openSettings();
    ASSERT_NE(windows->mainWindow(), nullptr);
    EXPECT_TRUE(windows->mainWindow()->isVisible());
    clock.advance(0.09);
    settle();
    EXPECT_EQ(navigated.count(), 0);
    clock.advance(0.01);
    settle();
    ASSERT_EQ(navigated.count(), 1);
    EXPECT_EQ(navigated[0][0].toString(), "Settings");
}

TEST_F(AppWindowsTest, StyleEditorForAnotherToneReplacesTheOpenOne) {
    windows->openBuiltinStyleEditor("formal", "Formal");
    QPointer<QWidget> a = windows->styleEditorWindow();
    windows->openBuiltinStyleEditor("friendly", "Friendly");
    QPointer<QWidget> b = windows->styleEditorWindow();
    settle();
    EXPECT_FALSE(a);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->windowTitle(), "Friendly");

    // A late close from the replaced editor leaves its successor alone.
    closeStyleEditor[0]();
    EXPECT_EQ(windows->styleEditorWindow(), b);
    closeStyleEditor[1]();
    settle();
    EXPECT_EQ(windows->styleEditorWindow(), nullptr);
    EXPECT_FALSE(b);
    EXPECT_EQ(windows->activationPolicy().current(), Policy::accessory);
}

TEST_F(AppWindowsTest, OnboardingFinishRecordsItAndOpensTheMainWindow) {
    windows->showOnboardingWindow();
    QPointer<QWidget> onboarding = windows->onboardingWindow();
    finishOnboarding();
    settle();
    EXPECT_EQ(settings.value("hasSeenOnboarding"), QJsonValue(true));
    EXPECT_FALSE(onboarding);
    EXPECT_EQ(windows->onboardingWindow(), nullptr);
    ASSERT_NE(windows->mainWindow(), nullptr);
    EXPECT_TRUE(windows->mainWindow()->isVisible());
}

TEST_F(AppWindowsTest, SignInDismissLetsTheWindowGo) {
    windows->showLoginWindow();
    QPointer<QWidget> login = windows->loginWindow();
    dismissLogin();
    settle();
    EXPECT_FALSE(login);
    EXPECT_EQ(windows->activationPolicy().current(), Policy::accessory);
    windows->showLoginWindow();
    EXPECT_NE(windows->loginWindow(), nullptr);
}

TEST_F(AppWindowsTest, SignInWindowClosedByItsCloseButtonStartsAfreshNextTime) {
    windows->showLoginWindow();
    QPointer<QWidget> first = windows->loginWindow();
    first->findChild<QLineEdit*>()->setText("secret password");
    first->close();
    settle();
    EXPECT_FALSE(first) << "the closed window and what was typed in it are gone";
    windows->showLoginWindow();
    ASSERT_NE(windows->loginWindow(), nullptr);
    EXPECT_TRUE(windows->loginWindow()->isVisible());
    EXPECT_EQ(windows->loginWindow()->findChild<QLineEdit*>()->text(), "");
}

TEST_F(AppWindowsTest, EditorOpensForAdministratorsOnly) {
    appState.setIsAdmin(false);
    windows->openEditorWindow();
    EXPECT_EQ(windows->editorWindow(), nullptr);
    EXPECT_TRUE(windows->activationPolicy().history().empty());

    appState.setIsAdmin(true);
    appState.setLastTranscribedText("first dictation");
    windows->openEditorWindow();
    ASSERT_NE(windows->editorWindow(), nullptr);
    EXPECT_EQ(editorSource, "first dictation");

    // Open again: the same window, told its new source.
    QSignalSpy sourceChanged(&NotificationCenter::shared(),
                             &NotificationCenter::ormilEditorSourceChanged);
    QWidget* editor = windows->editorWindow();
    appState.setLastTranscribedText("second dictation");
    windows->openEditorWindow();
    settle();
    EXPECT_EQ(windows->editorWindow(), editor);
    ASSERT_EQ(sourceChanged.count(), 1);
    EXPECT_EQ(sourceChanged[0][0].toString(), "second dictation");
}

TEST_F(AppWindowsTest, EditorSourcePrefersACopiedTextThenTheLastDictation) {
    const struct {
        std::optional<bool> newestIsDictation;
        const char* clipboard;
        const char* lastDictation;
        const char* source;
    } cases[] = {
        {false, "copied elsewhere", "dictated", "copied elsewhere"},
        {false, "  padded\n", "dictated", "  padded\n"},
        {false, " \n\t", "dictated", "dictated"},
        {true, "copied", "dictated", "dictated"},
        {std::nullopt, "copied", "dictated", "dictated"},
        {true, "copied", " \n", "copied"},
        {true, " ", "", " "},
        {true, "", "", ""},
    };
    for (const auto& c : cases) {
        newestIsDictation = c.newestIsDictation;
        pasteboard.setString(QString::fromUtf8(c.clipboard));
        appState.setLastTranscribedText(QString::fromUtf8(c.lastDictation));
        EXPECT_EQ(windows->currentEditorSource(), QString::fromUtf8(c.source))
            << c.clipboard << " / " << c.lastDictation;
    }
}

TEST_F(AppWindowsTest, EditorResultIsPastedAfterTheEditorClosesOrKeptOnTheClipboard) {
    appState.setIsAdmin(true);
    for (const bool trusted : {true, false}) {
        input.trusted = trusted;
        pasted.clear();
        pasteboard.setString("before");
        appState.setLastError(std::nullopt);
        windows->openEditorWindow();
        QPointer<QWidget> editor = windows->editorWindow();
        applyEditor("processed text");
        settle();
        EXPECT_FALSE(editor) << trusted;
        EXPECT_EQ(windows->editorWindow(), nullptr) << trusted;
        EXPECT_EQ(windows->activationPolicy().current(), Policy::accessory) << trusted;

        clock.advance(0.24);
        EXPECT_TRUE(pasted.isEmpty()) << trusted;
        EXPECT_EQ(pasteboard.string(), "before") << trusted;
        clock.advance(0.01);
        if (trusted) {
            EXPECT_EQ(pasted, QStringList{"processed text"});
            EXPECT_FALSE(appState.lastError().has_value());
        } else {
            EXPECT_TRUE(pasted.isEmpty());
            EXPECT_EQ(appState.lastError(), QString("Accessibility permission required"));
            // The text is not lost: it waits on the clipboard.
            EXPECT_EQ(pasteboard.string(), "processed text");
        }
    }
}

// The result goes back to the other application's window that had the
// focus when the editor was opened, whatever the desktop focuses when the
// editor hides; our own windows (0) never replace it.
TEST_F(AppWindowsTest, EditorResultGoesBackToTheWindowFocusedBeforeTheEditor) {
    appState.setIsAdmin(true);
    const struct {
        const char* name;
        std::vector<quint64> focusedAtEachOpen;
        QList<quint64> refocused;
    } cases[] = {
        {"another application's window", {7}, {7}},
        {"opened from one of our windows", {0}, {}},
        {"reopened from the editor itself", {7, 0}, {7}},
        {"reopened from another window", {7, 9}, {9}},
    };
    for (const auto& c : cases) {
        frontmost.refocused.clear();
        pasted.clear();
        for (const quint64 focused : c.focusedAtEachOpen) {
            frontmost.focused = focused;
            windows->openEditorWindow();
        }
        frontmost.focused = 0;  // the editor has it now
        applyEditor("processed text");
        // Asked at once, so that the focus is back before the paste.
        // As vectors: Qt's own comparison of an emptied list with a fresh
        // one hands memcmp a null pointer, which the sanitizers reject.
        EXPECT_EQ(std::vector<quint64>(frontmost.refocused.cbegin(), frontmost.refocused.cend()),
                  std::vector<quint64>(c.refocused.cbegin(), c.refocused.cend()))
            << c.name;
        EXPECT_TRUE(pasted.isEmpty()) << c.name;
        clock.advance(0.25);
        EXPECT_EQ(pasted, QStringList{"processed text"}) << c.name;
        settle();
    }
    // Once applied, the window is forgotten: a result of an editor opened
    // from our own window goes nowhere in particular.
    frontmost.refocused.clear();
    windows->openEditorWindow();
    applyEditor("again");
    EXPECT_TRUE(frontmost.refocused.isEmpty());
}

TEST_F(AppWindowsTest, LinksWithoutATokenAreLoggedWithoutTheirValues) {
    windows->handleGetURLEvent("");
    windows->handleGetURLEvent("ormil://login?token=one-time-secret");
    const QString log = testsupport::debugLogText();
    EXPECT_TRUE(log.contains("[Auth] Empty URL event"));
    EXPECT_TRUE(log.contains("[Auth] URL event without auth token: ormil://login?token=***"));
    EXPECT_FALSE(log.contains("one-time-secret"));
    EXPECT_EQ(windows->loginWindow(), nullptr);
    EXPECT_EQ(windows->mainWindow(), nullptr);
}

// The hand-off against the local stand-in of the service.
class LinkSignInTest : public AppWindowsTest {
protected:
    DevService service;
    FakeSecretStore secrets;
    HttpClient client{Clock::system()};
    AuthService auth{settings,
                     secrets,
                     [this](const HttpRequest& r) { return client.send(r); },
                     service.baseUrl(),
                     service.baseUrl(),
                     &appState};
    std::atomic<int> pulls{0};

    void SetUp() override {
        AppWindows::Collaborators c = collaborators();
        c.loginWithTelegramToken = [this](const QString& token) {
            auth.loginWithTelegramToken(token);
        };
        c.loadUsageStats = [this] { auth.loadUsageStats(); };
        c.pullAll = [this] { ++pulls; };
        windows = std::make_unique<AppWindows>(c);
        service.createAccount({{"email", "link@ormil.test"}, {"password", "pw"}});
    }
};

TEST_F(LinkSignInTest, RejectedTokenShowsTheSignInWindowAndTheWarning) {
    windows->handleGetURLEvent("ormil://auth?token=never-issued");
    ASSERT_TRUE(testsupport::waitUntil([&] { return !alerts.empty(); }));
    ASSERT_NE(windows->loginWindow(), nullptr);
    EXPECT_TRUE(windows->loginWindow()->isVisible());
    EXPECT_EQ(alerts[0].parent, windows->loginWindow());
    EXPECT_EQ(alerts[0].message, "Telegram login failed");
    EXPECT_FALSE(alerts[0].details.isEmpty());
    EXPECT_EQ(pulls, 0);
    EXPECT_EQ(windows->mainWindow(), nullptr);
    EXPECT_TRUE(testsupport::debugLogText().contains("[Auth] Telegram auth failed: "));
}

TEST_F(LinkSignInTest, AcceptedTokenReplacesTheSignInWindowWithTheMainWindow) {
    service.addTelegramToken("one-time-7", "link@ormil.test");
    // The usage figures failing does not stop the sign-in.
    DevService::Answer broken;
    broken.status = 500;
    service.queue("/user/usage", broken);
    windows->showLoginWindow();
    QPointer<QWidget> login = windows->loginWindow();

    windows->handleGetURLEvent("ORMIL://Auth?Token=one-time-7");
    ASSERT_TRUE(testsupport::waitUntil([&] { return windows->mainWindow() != nullptr; }));
    settle();
    EXPECT_TRUE(windows->mainWindow()->isVisible());
    EXPECT_FALSE(login);
    EXPECT_EQ(windows->loginWindow(), nullptr);
    EXPECT_EQ(pulls, 1);
    EXPECT_EQ(service.requests("/user/usage").size(), 1);
    EXPECT_TRUE(auth.readToken("access_token").token.has_value());
    EXPECT_TRUE(alerts.empty());
    EXPECT_FALSE(testsupport::debugLogText().contains("one-time-7"));
}

}  // namespace
