#include "windows/LoginViewModel.h"

#include <QPointer>
#include <exception>

#include "platform/Threading.h"
#include "service/AuthError.h"
#include "service/HttpClient.h"
#include "ui/Graphemes.h"

namespace {

// The text a failed request shows: the account error's own description
// (the server's message, or "Server error (N)"), the transport's sentence.
QString userDescription(const std::exception& error) {
    if (auto* auth = dynamic_cast<const AuthError*>(&error)) return auth->errorDescription();
    if (auto* http = dynamic_cast<const HttpError*>(&error)) return http->description();
    return QString::fromUtf8(error.what());
}

constexpr int kMinimumPasswordLength = 6;

}  // namespace

const QUrl& LoginViewModel::telegramAppLink() {
    static const QUrl url(QStringLiteral("tg://resolve?domain=dire_z7udu&start=ormil"));
    return url;
}

const QUrl& LoginViewModel::telegramWebLink() {
    static const QUrl url(QStringLiteral("https://t.me/dire_z7udu?start=ormil"));
    return url;
}

LoginViewModel::LoginViewModel(Account account, Links links, std::function<void()> onDismiss,
                               QObject* parent)
    : QObject(parent),
      m_account(std::move(account)),
      m_links(std::move(links)),
      m_onDismiss(std::move(onDismiss)) {}

void LoginViewModel::setText(QString& field, const QString& text) {
    if (field == text) return;
    field = text;
    emit changed();
}

void LoginViewModel::setActiveTab(AuthTab tab) {
    if (tab == m_activeTab) return;
    m_activeTab = tab;
    clearMessages();
    emit changed();
}

void LoginViewModel::setLoginEmail(const QString& text) {
    setText(m_loginEmail, text);
}
void LoginViewModel::setLoginPassword(const QString& text) {
    setText(m_loginPassword, text);
}
void LoginViewModel::setRegisterEmail(const QString& text) {
    setText(m_registerEmail, text);
}
void LoginViewModel::setRegisterPassword(const QString& text) {
    setText(m_registerPassword, text);
}
void LoginViewModel::setRegisterName(const QString& text) {
    setText(m_registerName, text);
}
void LoginViewModel::setResetEmail(const QString& text) {
    setText(m_resetEmail, text);
}

bool LoginViewModel::canLogin() const {
    return !m_loginEmail.isEmpty() && !m_loginPassword.isEmpty() && !m_isLoading;
}

bool LoginViewModel::canRegister() const {
    return !m_registerEmail.isEmpty() &&
           Graphemes::count(m_registerPassword) >= kMinimumPasswordLength && !m_isLoading;
}

bool LoginViewModel::canRequestReset() const {
    return !m_resetEmail.isEmpty() && !m_isLoading;
}

void LoginViewModel::clearMessages() {
    m_errorMessage.reset();
    m_successMessage.reset();
}

void LoginViewModel::start(std::function<void()> request, std::function<void()> onSuccess) {
    m_isLoading = true;
    emit changed();
    auto work = [request = std::move(request)] {
        std::optional<QString> error;
        try {
            request();
        } catch (const std::exception& e) {
            error = userDescription(e);
        } catch (...) {
            error = QStringLiteral("Unknown error");
        }
        return error;
    };
    // The window may be gone by now (the user skipped): then the outcome
    // has nowhere to go.
    QPointer<LoginViewModel> self(this);
    runAsync(this, std::move(work),
             [self, onSuccess = std::move(onSuccess)](std::optional<QString> error) {
                 self->m_isLoading = false;
                 if (error)
                     self->m_errorMessage = error;
                 else
                     onSuccess();  // may close the window and delete this object
                 if (self) emit self->changed();
             });
}

void LoginViewModel::login() {
    if (!canLogin()) return;
    clearMessages();
    const Account account = m_account;
    const QString email = m_loginEmail;
    const QString password = m_loginPassword;
    start(
        [account, email, password] {
            account.login(email, password);
            try {
                if (account.loadUsageStats) account.loadUsageStats();
            } catch (...) {
                // The figures come with the pull or the next refresh.
            }
            // Runs even when the window went away meanwhile.
            if (account.pullAll) account.pullAll();
        },
        [this] { dismiss(); });
}

void LoginViewModel::registerAccount() {
    if (!canRegister()) return;
    m_errorMessage.reset();
    const Account account = m_account;
    const QString email = m_registerEmail;
    const QString password = m_registerPassword;
    const QString name = m_registerName;
    start([account, email, password, name] { account.registerAccount(email, password, name); },
          [this] { m_screen = AuthScreen::checkEmail; });
}

void LoginViewModel::resendVerification() {
    if (m_isLoading) return;
    clearMessages();
    const Account account = m_account;
    const QString email = m_registerEmail;
    auto message = std::make_shared<QString>();
    start([account, email, message] { *message = account.resendVerification(email); },
          [this, message] { m_successMessage = *message; });
}

void LoginViewModel::requestPasswordReset() {
    if (!canRequestReset()) return;
    m_errorMessage.reset();
    const Account account = m_account;
    const QString email = m_resetEmail;
    start([account, email] { account.requestPasswordReset(email); },
          [this] { m_screen = AuthScreen::resetSent; });
}

void LoginViewModel::openTelegramBot() {
    const bool hasApp = m_links.hasTelegramHandler && m_links.hasTelegramHandler();
    if (hasApp && m_links.openUrl && m_links.openUrl(telegramAppLink())) return;
    if (m_links.openUrl) m_links.openUrl(telegramWebLink());
}

void LoginViewModel::forgotPassword() {
    m_resetEmail = m_loginEmail;
    clearMessages();
    m_screen = AuthScreen::forgotPassword;
    emit changed();
}

void LoginViewModel::backToSignIn() {
    switch (m_screen) {
        case AuthScreen::main:
            return;
        case AuthScreen::checkEmail:
            m_activeTab = AuthTab::login;
            m_loginEmail = m_registerEmail;
            break;
        case AuthScreen::forgotPassword:
            break;
        case AuthScreen::resetSent:
            m_loginEmail = m_resetEmail;
            m_activeTab = AuthTab::login;
            break;
    }
    clearMessages();
    m_screen = AuthScreen::main;
    emit changed();
}

void LoginViewModel::skip() {
    dismiss();
}

void LoginViewModel::dismiss() {
    // A sign-in that ends after "Skip for now" closed the window must not
    // close it (or a new one) a second time.
    if (m_dismissed) return;
    m_dismissed = true;
    if (m_onDismiss) m_onDismiss();
}
