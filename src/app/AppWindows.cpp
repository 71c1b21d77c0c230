#include "app/AppWindows.h"

#include "app/SignInLink.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

#include "core/AppState.h"
#include "core/OverlayControl.h"
#include "mainwindow/MainWindowContext.h"
#include "mainwindow/MainWindowView.h"
#include "mainwindow/SidebarSection.h"
#include "records/HistoryService.h"
#include "service/TranscriptionService.h"
#include "ui/Page.h"  // MainWindowView.h hands out Page pointers
#include "overlay/PromptEditorCard.h"
#include "platform/Clock.h"
#include "platform/DebugLog.h"
#include "platform/FrontmostApp.h"
#include "platform/InputAccess.h"
#include "platform/MicrophoneAccess.h"
#include "platform/NotificationCenter.h"
#include "platform/Pasteboard.h"
#include "platform/PrivateFiles.h"
#include "platform/SettingsStore.h"
#include "platform/Threading.h"
#include "platform/pulse/PulseAudioCapture.h"
#include "service/AuthError.h"
#include "windows/LoginWindow.h"
#include "windows/OnboardingView.h"
#include "windows/TextEditorModel.h"
#include "windows/TextEditorView.h"
#include "platform/Required.h"

namespace {

// Shown with its parent blocked until OK, without holding up the caller.
void warningAlert(QWidget* parent, const QString& message, const QString& details) {
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Ormil"), message,
                                QMessageBox::Ok, parent);
    box->setInformativeText(details);
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (parent) box->setWindowModality(Qt::WindowModal);
    box->open();
    box->raise();
    box->activateWindow();
}

QString describe(const std::exception& e) {
    if (const auto* auth = dynamic_cast<const AuthError*>(&e)) return auth->errorDescription();
    return QString::fromUtf8(e.what());
}

bool isShowing(const QWidget* window) {
    return window && window->isVisible() && !window->isMinimized();
}

}  // namespace

AppWindows::AppWindows(Collaborators collaborators, QObject* parent)
    : QObject(parent), m_c(std::move(collaborators)) {
    requireCollaborators("AppWindows", "settings", m_c.settings, "appState", m_c.appState, "clock",
                         m_c.clock, "pasteboard", m_c.pasteboard, "inputAccess", m_c.inputAccess,
                         "notifications", m_c.notifications, "overlay", m_c.overlay, "frontmost",
                         m_c.frontmost);
    if (!m_c.newestClipboardEntryIsDictation)
        m_c.newestClipboardEntryIsDictation = [] { return std::optional<bool>(); };
    if (!m_c.makeMainWindow)
        m_c.makeMainWindow = [] { return new MainWindowView(MainWindowContext::shared()); };
    if (!m_c.makeOnboardingWindow)
        m_c.makeOnboardingWindow = [](std::function<void()> onFinish) {
            OnboardingView::Collaborators view;
            view.model = onboardingModel();
            return new OnboardingView(std::move(onFinish), std::move(view));
        };
    if (!m_c.makeLoginWindow)
        m_c.makeLoginWindow = [](std::function<void()> onDismiss) {
            return LoginWindow::create(std::move(onDismiss));
        };
    if (!m_c.makeEditorWindow)
        m_c.makeEditorWindow = [this](const QString& source,
                                      std::function<void(const QString&)> onApply) {
            TextEditorModel::Collaborators model;
            model.settings = m_c.settings;
            model.postProcess = TextEditorModel::servicePostProcessor(TranscriptionService::shared());
            model.fetchHistory = [](int limit, int offset) {
                return HistoryService::shared().fetchTranscriptions(limit, offset);
            };
            TextEditorView::Options options;
            options.model = new TextEditorModel(std::move(model));
            // The session's clipboard at the time the window opens.
            options.pasteboard = &Pasteboard::shared();
            options.initialSource = source;
            options.onApply = std::move(onApply);
            return TextEditorView::makeWindow(std::move(options));
        };
    if (!m_c.makeStyleEditorWindow)
        m_c.makeStyleEditorWindow = [](const QString& tone, const QString& title,
                                       std::function<void()> onClose) {
            return new PromptEditorCard(PromptEditorMode::builtinTone(tone, title),
                                        {std::move(onClose), {}, {}});
        };
    if (!m_c.showAlert) m_c.showAlert = warningAlert;
}

AppWindows::~AppWindows() {
    if (WindowOpener::shared() == this) WindowOpener::setShared(nullptr);
    for (QPointer<QWidget>* field :
         {&m_mainWindow, &m_onboardingWindow, &m_loginWindow, &m_editorWindow,
          &m_styleEditorWindow}) {
        delete field->data();
    }
}

void AppWindows::setUp(QWidget* window, const Shape& shape, const QString& title) {
    window->setWindowFlags(Qt::Window);
    window->setWindowTitle(shape.title ? QString::fromUtf8(shape.title) : title);
    // Kept when closed: the next opener shows the same window with its state.
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    if (!shape.minimum.isEmpty()) window->setMinimumSize(shape.minimum);
    window->resize(shape.size);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        window->move(area.center() - QPoint(shape.size.width() / 2, shape.size.height() / 2));
    }
    window->installEventFilter(this);
}

void AppWindows::present(QWidget* window) {
    m_policy.set(ActivationPolicy::Policy::regular);
    if (window->isMinimized()) window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
    // Showing a window must not leave the recording pill behind it.
    m_c.overlay->ensureVisibleIfNeeded();
}

void AppWindows::dismiss(QPointer<QWidget>& field) {
    if (!field) return;
    QWidget* window = field;
    field.clear();
    window->close();
    // Later: the window's own code may still be running the callback.
    window->deleteLater();
}

void AppWindows::openMainWindow() {
    ORMIL_ASSERT_MAIN_THREAD();
    if (!m_mainWindow) {
        m_mainWindow = m_c.makeMainWindow();
        setUp(m_mainWindow, {"Ormil", {1000, 700}, {800, 600}});
    }
    present(m_mainWindow);
}

void AppWindows::showOnboardingWindow() {
    ORMIL_ASSERT_MAIN_THREAD();
    if (!m_onboardingWindow) {
        QPointer<AppWindows> self(this);
        m_onboardingWindow = m_c.makeOnboardingWindow([self] {
            if (!self) return;
            self->m_c.settings->set(QStringLiteral("hasSeenOnboarding"), true);
            self->dismiss(self->m_onboardingWindow);
            self->openMainWindow();
        });
        setUp(m_onboardingWindow, {"Ormil", {480, 420}, {}});
    }
    present(m_onboardingWindow);
}

void AppWindows::showLoginWindow() {
    ORMIL_ASSERT_MAIN_THREAD();
    if (!m_loginWindow) {
        QPointer<AppWindows> self(this);
        m_loginWindow = m_c.makeLoginWindow([self] {
            if (!self) return;
            self->dismiss(self->m_loginWindow);
            self->restoreAccessoryModeIfNeeded();
        });
        setUp(m_loginWindow, {"Ormil Login", {360, 520}, {}});
    }
    present(m_loginWindow);
}

void AppWindows::openEditorWindow() {
    ORMIL_ASSERT_MAIN_THREAD();
    if (!m_c.appState->isAdmin()) return;
    // Opened from the editor itself or another of our windows, the window
    // to return to stays the one found before.
    if (const quint64 focused = m_c.frontmost->focusedWindow()) m_editorReturnWindow = focused;
    const QString source = currentEditorSource();
    if (m_editorWindow) {
        m_c.notifications->postEditorSourceChanged(source);
        present(m_editorWindow);
        return;
    }
    QPointer<AppWindows> self(this);
    m_editorWindow = m_c.makeEditorWindow(source, [self](const QString& text) {
        if (self) self->applyEditorResult(text);
    });
    setUp(m_editorWindow, {"AI-обработка текста", {1160, 700}, {720, 460}});
    present(m_editorWindow);
}

void AppWindows::openBuiltinStyleEditor(const QString& tone, const QString& title) {
    ORMIL_ASSERT_MAIN_THREAD();
    // One at a time: the editor of another tone replaces this one.
    dismiss(m_styleEditorWindow);
    QPointer<AppWindows> self(this);
    // The card's close callback comes from the window it belongs to: a
    // late callback of a replaced editor must not close its successor.
    auto window = std::make_shared<QPointer<QWidget>>();
    m_styleEditorWindow = m_c.makeStyleEditorWindow(tone, title, [self, window] {
        if (!self || !*window || self->m_styleEditorWindow != *window) return;
        self->dismiss(self->m_styleEditorWindow);
        self->restoreAccessoryModeIfNeeded();
    });
    *window = m_styleEditorWindow;
    setUp(m_styleEditorWindow, {nullptr, {560, 560}, {}}, title);
    present(m_styleEditorWindow);
}

void AppWindows::openSettings() {
    ORMIL_ASSERT_MAIN_THREAD();
    openMainWindow();
    NotificationCenter* notifications = m_c.notifications;
    m_c.clock->schedule(0.1, this, [notifications] {
        notifications->postNavigateToSection(rawValue(SidebarSection::settings));
    });
}

void AppWindows::applyEditorResult(const QString& text) {
    ORMIL_ASSERT_MAIN_THREAD();
    dismiss(m_editorWindow);
    restoreAccessoryModeIfNeeded();
    // Without this the focus goes wherever the desktop sends it when the
    // editor hides (nowhere without a window manager, or our main window),
    // and the paste is lost there. Asked now, so that a window manager has
    // the quarter second to act on it.
    if (m_editorReturnWindow) m_c.frontmost->refocus(m_editorReturnWindow);
    m_editorReturnWindow = 0;
    QPointer<AppWindows> self(this);
    m_c.clock->schedule(0.25, this, [self, text] {
        if (!self) return;
        if (self->m_c.inputAccess->isTrusted()) {
            if (self->m_c.insertTextViaPasteboard) self->m_c.insertTextViaPasteboard(text);
            return;
        }
        // The processed text cannot be pasted; leave it where the user can
        // paste it by hand instead of dropping it.
        self->m_c.pasteboard->setString(text);
        self->m_c.appState->setLastError(QStringLiteral("Accessibility permission required"));
    });
}

QString AppWindows::currentEditorSource() const {
    const QString clipboard = m_c.pasteboard->string();
    const std::optional<bool> newestIsDictation = m_c.newestClipboardEntryIsDictation();
    if (newestIsDictation && !*newestIsDictation && !clipboard.trimmed().isEmpty())
        return clipboard;
    const QString& last = m_c.appState->lastTranscribedText();
    if (!last.trimmed().isEmpty()) return last;
    return clipboard;
}

void AppWindows::restoreAccessoryModeIfNeeded() {
    ORMIL_ASSERT_MAIN_THREAD();
    const bool anyShowing =
        isShowing(m_onboardingWindow) || isShowing(m_loginWindow) || isShowing(m_mainWindow) ||
        isShowing(m_editorWindow) || isShowing(m_styleEditorWindow);
    if (!anyShowing) m_policy.set(ActivationPolicy::Policy::accessory);
    m_c.overlay->ensureVisibleIfNeeded();
}

void AppWindows::windowWillClose(QWidget*) {
    ORMIL_ASSERT_MAIN_THREAD();
    // Later: the closing window still counts as visible right now.
    QPointer<AppWindows> self(this);
    m_c.clock->schedule(0.1, this, [self] {
        if (self) self->restoreAccessoryModeIfNeeded();
    });
}

void AppWindows::windowDidMiniaturize(QWidget*) {
    ORMIL_ASSERT_MAIN_THREAD();
    m_c.overlay->ensureVisibleIfNeeded();
}

bool AppWindows::eventFilter(QObject* watched, QEvent* event) {
    auto* window = qobject_cast<QWidget*>(watched);
    if (window && window->isWindow()) {
        if (event->type() == QEvent::Close) {
            windowWillClose(window);
            // The sign-in window is let go when its close button closes it:
            // opened again it starts afresh, and no typed password or old
            // error stays behind in a hidden window.
            if (window == m_loginWindow) {
                m_loginWindow.clear();
                window->deleteLater();
            }
        } else if (event->type() == QEvent::WindowStateChange && window->isMinimized()) {
            windowDidMiniaturize(window);
        }
    }
    return QObject::eventFilter(watched, event);
}

void AppWindows::handleGetURLEvent(const QString& link) {
    ORMIL_ASSERT_MAIN_THREAD();
    if (link.isEmpty()) {
        debugLog(QStringLiteral("[Auth] Empty URL event"));
        return;
    }
    const std::optional<QString> token = extractAuthToken(link);
    if (!token) {
        debugLog(QStringLiteral("[Auth] URL event without auth token: ") + redactedLink(link));
        return;
    }
    handleAuthToken(*token);
}

void AppWindows::handleAuthToken(const QString& token) {
    ORMIL_ASSERT_MAIN_THREAD();
    debugLog(QStringLiteral("[Auth] Handling Telegram auth token"));
    auto login = m_c.loginWithTelegramToken;
    auto loadUsage = m_c.loadUsageStats;
    auto pullAll = m_c.pullAll;
    // The service is asked off the main thread; windows change back on it.
    auto work = [token, login, loadUsage, pullAll]() -> std::optional<QString> {
        try {
            if (login) login(token);
        } catch (const std::exception& e) {
            const QString description = describe(e);
            debugLog(QStringLiteral("[Auth] Telegram auth failed: ") + description);
            return description;
        }
        try {
            if (loadUsage) loadUsage();
        } catch (const std::exception&) {
            // The account's usage shows later; the sign-in stands.
        }
        try {
            if (pullAll) pullAll();
        } catch (const std::exception& e) {
            debugLog(QStringLiteral("[Sync] Pull after sign-in failed: ") + describe(e));
        }
        return std::nullopt;
    };
    runAsync(this, std::move(work), [this](const std::optional<QString>& failure) {
        if (failure) {
            showLoginWindow();
            m_c.showAlert(m_loginWindow, QStringLiteral("Telegram login failed"), *failure);
            return;
        }
        dismiss(m_loginWindow);
        openMainWindow();
    });
}

OnboardingModel::Collaborators AppWindows::onboardingModel() {
    OnboardingModel::Collaborators c;
    c.settings = &SettingsStore::shared();
    // The sound server answers within its connection's timeout, on a worker.
    c.microphoneStatus = [](std::function<void(OnboardingModel::Status)> answer) {
        runAsync([answer = std::move(answer)] {
            answer(OnboardingModel::Status(int(MicrophoneAccess::shared().authorizationStatus())));
        });
    };
    c.requestAccess = [](std::function<void(bool)> done) {
        runAsync([done = std::move(done)] { MicrophoneAccess::shared().requestAccess(done); });
    };
    c.makeProbe = [](std::function<void(double)> onLevel) {
        MicProbe::Collaborators probe;
        probe.makeRecorder = PulseAudioCapture::factory();
        probe.clock = &Clock::system();
        probe.directory = PrivateFiles::temporaryDirectory();
        return std::make_unique<MicProbe>(std::move(onLevel), std::move(probe));
    };
    return c;
}
