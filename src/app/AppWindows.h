#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "core/WindowOpener.h"
#include "windows/OnboardingModel.h"

class AppState;
class Clock;
class FrontmostApp;
class InputAccess;
class NotificationCenter;
class OverlayControl;
class Pasteboard;
class SettingsStore;

// Whether the application shows itself as a regular application while one
// of its windows is up, or stays a tray accessory. The desktop has nothing
// to switch here; the rules that decide it are kept so they can be watched.
class ActivationPolicy {
public:
    enum class Policy { accessory, regular };

    Policy current() const { return m_current; }
    void set(Policy policy) {
        m_current = policy;
        m_history.push_back(policy);
    }
    // Every policy set so far, in order.
    const std::vector<Policy>& history() const { return m_history; }

private:
    Policy m_current = Policy::accessory;
    std::vector<Policy> m_history;
};

// The application's five windows: main, onboarding, sign-in, text editor and
// the editor of a built-in style's prompt. Each is made on first use and
// kept when its close button hides it, so opening it again shows the same
// window with its state; only a window's own way of finishing (onboarding's
// last step, a sign-in, an applied editor result, the style editor's close)
// lets it go. Also completes a sign-in handed over through an
// "ormil://auth?token=..." link. Main thread only.
class AppWindows : public QObject, public WindowOpener {
    Q_OBJECT
public:
    struct Collaborators {
        SettingsStore* settings = nullptr;
        AppState* appState = nullptr;
        Clock* clock = nullptr;
        Pasteboard* pasteboard = nullptr;
        InputAccess* inputAccess = nullptr;
        NotificationCenter* notifications = nullptr;
        OverlayControl* overlay = nullptr;
        // Where the editor's result goes: the window that had the focus.
        FrontmostApp* frontmost = nullptr;

        // Whether the newest clipboard-history entry came from a dictation;
        // nothing while the history is empty.
        std::function<std::optional<bool>()> newestClipboardEntryIsDictation;
        std::function<void(const QString& text)> insertTextViaPasteboard;

        // The windows' contents. Each returns a new top-level widget, not
        // yet shown; the callbacks are how the content finishes.
        std::function<QWidget*()> makeMainWindow;
        std::function<QWidget*(std::function<void()> onFinish)> makeOnboardingWindow;
        std::function<QWidget*(std::function<void()> onDismiss)> makeLoginWindow;
        std::function<QWidget*(const QString& source,
                               std::function<void(const QString& text)> onApply)>
            makeEditorWindow;
        std::function<QWidget*(const QString& tone, const QString& title,
                               std::function<void()> onClose)>
            makeStyleEditorWindow;

        // The sign-in of a link; each blocks and runs on a worker thread.
        // Failures are thrown (AuthError or another std::exception).
        std::function<void(const QString& token)> loginWithTelegramToken;
        std::function<void()> loadUsageStats;
        std::function<void()> pullAll;
        // A warning with one OK button over `parent` (may be null); must
        // not wait for the user.
        std::function<void(QWidget* parent, const QString& message, const QString& details)>
            showAlert;
    };

    explicit AppWindows(Collaborators collaborators, QObject* parent = nullptr);
    ~AppWindows() override;

    // WindowOpener
    void openMainWindow() override;
    void showLoginWindow() override;
    void showOnboardingWindow() override;
    void openEditorWindow() override;
    void openBuiltinStyleEditor(const QString& tone, const QString& title) override;
    void openSettings() override;
    void restoreAccessoryModeIfNeeded() override;

    // Closes the text editor and pastes its result into the window that had
    // the keyboard before it, 0.25 s later.
    void applyEditorResult(const QString& text);
    // The text the editor starts with: a text copied elsewhere, else the
    // last dictation, else whatever the clipboard holds.
    QString currentEditorSource() const;

    // A link handed to the application (empty: the hand-over carried none).
    void handleGetURLEvent(const QString& link);
    // Completes the sign-in with the one-time token; returns at once.
    void handleAuthToken(const QString& token);

    const ActivationPolicy& activationPolicy() const { return m_policy; }

    // The onboarding's microphone step on the platform's back ends: the
    // status asked and the probe recorded off the main thread.
    static OnboardingModel::Collaborators onboardingModel();

    QWidget* mainWindow() const { return m_mainWindow; }
    QWidget* onboardingWindow() const { return m_onboardingWindow; }
    QWidget* loginWindow() const { return m_loginWindow; }
    QWidget* editorWindow() const { return m_editorWindow; }
    QWidget* styleEditorWindow() const { return m_styleEditorWindow; }

    // The window's close button was used / it was minimised.
    void windowWillClose(QWidget* window);
    void windowDidMiniaturize(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Shape {
        const char* title;  // null: set by the caller
        QSize size;
        QSize minimum;  // empty: none
    };
    void setUp(QWidget* window, const Shape& shape, const QString& title = {});
    void present(QWidget* window);
    // Closes the window, lets it go and clears its field.
    void dismiss(QPointer<QWidget>& field);

    Collaborators m_c;
    ActivationPolicy m_policy;
    QPointer<QWidget> m_mainWindow;
    QPointer<QWidget> m_onboardingWindow;
    QPointer<QWidget> m_loginWindow;
    QPointer<QWidget> m_editorWindow;
    QPointer<QWidget> m_styleEditorWindow;
    // The other application's window that had the focus when the editor
    // was last opened (0: none known); an applied result is pasted there.
    quint64 m_editorReturnWindow = 0;
};
