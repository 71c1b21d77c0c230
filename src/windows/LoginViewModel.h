#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

// The sign-in window's state and actions: sign in, create an account, have
// the confirmation mail sent again, ask for a password reset, hand sign-in
// over to the Telegram bot, or skip. The window only shows this object and
// forwards the user's input; everything here runs on the main thread, and
// each request runs on a worker and comes back to the main thread.
class LoginViewModel : public QObject {
    Q_OBJECT
public:
    enum class AuthTab { login, registerAccount };
    enum class AuthScreen { main, checkEmail, forgotPassword, resetSent };

    // The account calls. Each blocks its (worker) caller and throws on
    // failure with the text the user sees (AuthError, HttpError, ...).
    struct Account {
        std::function<void(const QString& email, const QString& password)> login;
        // Each returns the service's message.
        std::function<QString(const QString& email, const QString& password, const QString& name)>
            registerAccount;
        std::function<QString(const QString& email)> resendVerification;
        std::function<QString(const QString& email)> requestPasswordReset;
        // After a sign-in: the usage figures (failure ignored), then the
        // account's data, awaited to its end.
        std::function<void()> loadUsageStats;
        std::function<void()> pullAll;
    };
    struct Links {
        // Whether the desktop has a handler for "tg:" links.
        std::function<bool()> hasTelegramHandler;
        // Opens a link in another application; whether that worked.
        std::function<bool(const QUrl&)> openUrl;
    };

    static const QUrl& telegramAppLink();
    static const QUrl& telegramWebLink();

    // onDismiss asks the host to close the window; it is called at most once.
    LoginViewModel(Account account, Links links, std::function<void()> onDismiss,
                   QObject* parent = nullptr);

    AuthTab activeTab() const { return m_activeTab; }
    AuthScreen screen() const { return m_screen; }
    const QString& loginEmail() const { return m_loginEmail; }
    const QString& loginPassword() const { return m_loginPassword; }
    const QString& registerEmail() const { return m_registerEmail; }
    const QString& registerPassword() const { return m_registerPassword; }
    const QString& registerName() const { return m_registerName; }
    const QString& resetEmail() const { return m_resetEmail; }
    bool isLoading() const { return m_isLoading; }
    const std::optional<QString>& errorMessage() const { return m_errorMessage; }
    const std::optional<QString>& successMessage() const { return m_successMessage; }
    bool isDismissed() const { return m_dismissed; }

    // Field edits. Changing the tab clears both messages.
    void setActiveTab(AuthTab tab);
    void setLoginEmail(const QString& text);
    void setLoginPassword(const QString& text);
    void setRegisterEmail(const QString& text);
    void setRegisterPassword(const QString& text);
    void setRegisterName(const QString& text);
    void setResetEmail(const QString& text);

    // Whether the primary button of each form is enabled. Nothing is
    // trimmed: an e-mail of blanks is not empty.
    bool canLogin() const;
    bool canRegister() const;
    bool canRequestReset() const;

    // Requests; each returns at once (silently when its fields are not
    // filled in as its button requires).
    void login();
    void registerAccount();
    void resendVerification();
    void requestPasswordReset();
    void openTelegramBot();

    // Navigation.
    void forgotPassword();
    // "Back to Sign In" of whichever screen shows it.
    void backToSignIn();
    void skip();

signals:
    // Any field, the screen or a message changed.
    void changed();

private:
    // Runs request on a worker; then, on the main thread and only while this
    // object lives, clears isLoading and applies onSuccess or the error.
    void start(std::function<void()> request, std::function<void()> onSuccess);
    void setText(QString& field, const QString& text);
    void clearMessages();
    void dismiss();

    Account m_account;
    Links m_links;
    std::function<void()> m_onDismiss;

    AuthTab m_activeTab = AuthTab::login;
    AuthScreen m_screen = AuthScreen::main;
    QString m_loginEmail;
    QString m_loginPassword;
    QString m_registerEmail;
    QString m_registerPassword;
    QString m_registerName;
    QString m_resetEmail;
    bool m_isLoading = false;
    std::optional<QString> m_errorMessage;
    std::optional<QString> m_successMessage;
    bool m_dismissed = false;
};
