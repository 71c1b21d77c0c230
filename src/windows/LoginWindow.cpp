#include "windows/LoginWindow.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "platform/linux/DesktopLinks.h"
#include "records/SyncService.h"
#include "service/AuthService.h"
#include "ui/BusySpinner.h"
#include "ui/Colors.h"
#include "ui/Icons.h"
#include "ui/Labels.h"
#include "ui/SegmentedControl.h"
#include "ui/SymbolLabel.h"
#include "ui/Texts.h"
#include "ui/Typography.h"
#include "windows/LoginViewModel.h"

namespace {

using Screen = LoginViewModel::AuthScreen;
using Tab = LoginViewModel::AuthTab;

QLabel* centred(QLabel* label) {
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setWordWrap(true);
    return label;
}

// A screen: a centred column with 16 points between its parts.
QVBoxLayout* screenLayout(QWidget* screen) {
    auto* layout = new QVBoxLayout(screen);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(16);
    return layout;
}

void setMessage(QLabel* label, const std::optional<QString>& text) {
    label->setVisible(text.has_value());
    Texts::set(label, text.value_or(QString()));
}

}  // namespace

LoginWindow* LoginWindow::create(std::function<void()> onDismiss) {
    LoginViewModel::Account account;
    account.login = [](const QString& email, const QString& password) {
        AuthService::shared().login(email, password);
    };
    account.registerAccount = [](const QString& email, const QString& password,
                                 const QString& name) {
        return AuthService::shared().registerAccount(email, password, name);
    };
    account.resendVerification = [](const QString& email) {
        return AuthService::shared().resendVerification(email);
    };
    account.requestPasswordReset = [](const QString& email) {
        return AuthService::shared().requestPasswordReset(email);
    };
    account.loadUsageStats = [] { AuthService::shared().loadUsageStats(); };
    // Called on a worker: waiting here never holds up the main thread.
    account.pullAll = [] { SyncService::shared().pullAll().wait(); };
    LoginViewModel::Links links;
    links.hasTelegramHandler = [] { return DesktopLinks::hasSchemeHandler(QStringLiteral("tg")); };
    links.openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    return new LoginWindow(
        new LoginViewModel(std::move(account), std::move(links), std::move(onDismiss)));
}

LoginWindow::LoginWindow(LoginViewModel* model, QWidget* parent) : QWidget(parent), m_model(model) {
    m_model->setParent(this);
    setWindowTitle(QStringLiteral("Ormil Login"));
    setFixedSize(360, 520);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 24, 32, 16);
    layout->setSpacing(16);

    auto* header = new QVBoxLayout;
    header->setSpacing(4);
    auto* logo = new SymbolLabel(QStringLiteral("waveform.circle.fill"), 48, this);
    logo->setColor(Colors::violet());
    logo->setAlignment(Qt::AlignHCenter);
    header->addWidget(logo, 0, Qt::AlignHCenter);
    header->addWidget(centred(Labels::create(QStringLiteral("Ormil"), TextStyle::Title, this)));
    header->addWidget(centred(Labels::create(QStringLiteral("Voice-to-text dictation"),
                                             TextStyle::Subheadline, this, true)));
    layout->addLayout(header);

    m_screens = new QStackedWidget(this);
    m_screens->addWidget(buildMain());
    m_screens->addWidget(buildCheckEmail());
    m_screens->addWidget(buildForgotPassword());
    m_screens->addWidget(buildResetSent());
    layout->addWidget(m_screens, 1);

    QPushButton* skip = makeLink(QStringLiteral("Skip for now"), this);
    // The window's secondary text colour (the link's own palette is violet:
    // its secondary shade would be a pale violet, hard to read).
    Labels::setTextColor(skip, Colors::secondary(palette()));
    skip->setObjectName(QStringLiteral("skip"));
    connect(skip, &QPushButton::clicked, m_model, &LoginViewModel::skip);
    layout->addWidget(skip, 0, Qt::AlignHCenter);

    connect(m_model, &LoginViewModel::changed, this, &LoginWindow::refresh);
    refresh();
    // The window opens ready for typing: the e-mail first, not the tabs.
    m_loginEmail->setFocus();
}

void LoginWindow::BusyButton::set(bool busy, const QString& idleText, const QString& busyText,
                                  bool enabled) {
    spinner->setVisible(busy);
    spinner->setRunning(busy);
    Texts::set(label, busy ? busyText : idleText);
    button->setEnabled(enabled);
}

LoginWindow::BusyButton LoginWindow::makeBusyButton(QWidget* parent, bool prominent) {
    BusyButton b;
    b.button = new QPushButton(parent);
    b.button->setMinimumHeight(32);
    b.button->setDefault(prominent);
    auto* row = new QHBoxLayout(b.button);
    row->setContentsMargins(8, 0, 8, 0);
    row->setSpacing(6);
    row->addStretch();
    b.spinner = new BusySpinner(14, b.button);
    row->addWidget(b.spinner);
    b.label = new QLabel(b.button);
    b.label->setAttribute(Qt::WA_TransparentForMouseEvents);
    if (prominent) {
        QFont f = b.label->font();
        f.setWeight(QFont::DemiBold);
        b.label->setFont(f);
    }
    row->addWidget(b.label);
    row->addStretch();
    b.spinner->setAttribute(Qt::WA_TransparentForMouseEvents);
    return b;
}

QPushButton* LoginWindow::makeLink(const QString& text, QWidget* parent) {
    auto* link = new QPushButton(text, parent);
    link->setFlat(true);
    link->setCursor(Qt::PointingHandCursor);
    link->setFont(Typography::font(TextStyle::Caption));
    Labels::setTextColor(link, Colors::violet());
    return link;
}

QLabel* LoginWindow::makeMessage(const QColor& color, QWidget* parent) {
    QLabel* label = centred(Labels::create({}, TextStyle::Caption, parent));
    Labels::setTextColor(label, color);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->hide();
    return label;
}

QLineEdit* LoginWindow::makeField(const QString& placeholder, QWidget* parent, bool secure) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(placeholder);
    field->setPlaceholderText(placeholder);
    if (secure) field->setEchoMode(QLineEdit::Password);
    return field;
}

QWidget* LoginWindow::buildMain() {
    auto* screen = new QWidget(this);
    QVBoxLayout* layout = screenLayout(screen);

    m_tabs = new SegmentedControl({QStringLiteral("Sign In"), QStringLiteral("Register")}, screen);
    connect(m_tabs, &SegmentedControl::currentIndexChanged, m_model, [this](int index) {
        m_model->setActiveTab(index == 1 ? Tab::registerAccount : Tab::login);
    });
    layout->addWidget(m_tabs);

    m_forms = new QStackedWidget(screen);
    auto* loginForm = new QWidget(m_forms);
    auto* loginLayout = new QVBoxLayout(loginForm);
    loginLayout->setContentsMargins(0, 0, 0, 0);
    loginLayout->setSpacing(12);
    m_loginEmail = makeField(QStringLiteral("Email"), loginForm);
    m_loginPassword = makeField(QStringLiteral("Password"), loginForm, true);
    m_signIn = makeBusyButton(loginForm, true);
    m_signIn.button->setObjectName(QStringLiteral("signIn"));
    QPushButton* forgot = makeLink(QStringLiteral("Forgot password?"), loginForm);
    forgot->setObjectName(QStringLiteral("forgotPassword"));
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_loginEmail, m_loginPassword, m_signIn.button})
        loginLayout->addWidget(w);
    loginLayout->addWidget(forgot, 0, Qt::AlignHCenter);
    loginLayout->addStretch();
    connect(m_loginEmail, &QLineEdit::textEdited, m_model, &LoginViewModel::setLoginEmail);
    connect(m_loginPassword, &QLineEdit::textEdited, m_model, &LoginViewModel::setLoginPassword);
    connect(m_loginPassword, &QLineEdit::returnPressed, m_model, &LoginViewModel::login);
    connect(m_signIn.button, &QPushButton::clicked, m_model, &LoginViewModel::login);
    connect(forgot, &QPushButton::clicked, m_model, &LoginViewModel::forgotPassword);

    auto* registerForm = new QWidget(m_forms);
    auto* registerLayout = new QVBoxLayout(registerForm);
    registerLayout->setContentsMargins(0, 0, 0, 0);
    registerLayout->setSpacing(12);
    m_registerName = makeField(QStringLiteral("Name"), registerForm);
    m_registerEmail = makeField(QStringLiteral("Email"), registerForm);
    m_registerPassword =
        makeField(QStringLiteral("Password (min 6 characters)"), registerForm, true);
    m_createAccount = makeBusyButton(registerForm, true);
    m_createAccount.button->setObjectName(QStringLiteral("createAccount"));
    for (QWidget* w : std::initializer_list<QWidget*>{m_registerName, m_registerEmail,
                                                      m_registerPassword, m_createAccount.button})
        registerLayout->addWidget(w);
    registerLayout->addStretch();
    connect(m_registerName, &QLineEdit::textEdited, m_model, &LoginViewModel::setRegisterName);
    connect(m_registerEmail, &QLineEdit::textEdited, m_model, &LoginViewModel::setRegisterEmail);
    connect(m_registerPassword, &QLineEdit::textEdited, m_model,
            &LoginViewModel::setRegisterPassword);
    connect(m_registerPassword, &QLineEdit::returnPressed, m_model,
            &LoginViewModel::registerAccount);
    connect(m_createAccount.button, &QPushButton::clicked, m_model,
            &LoginViewModel::registerAccount);

    m_forms->addWidget(loginForm);
    m_forms->addWidget(registerForm);
    layout->addWidget(m_forms);

    m_mainError = makeMessage(Colors::red(), screen);
    m_mainSuccess = makeMessage(Colors::green(), screen);
    layout->addWidget(m_mainError);
    layout->addWidget(m_mainSuccess);

    auto* orRow = new QHBoxLayout;
    orRow->setSpacing(8);
    orRow->addWidget(Labels::divider(screen), 1);
    orRow->addWidget(Labels::create(QStringLiteral("or"), TextStyle::Caption, screen, true));
    orRow->addWidget(Labels::divider(screen), 1);
    layout->addLayout(orRow);

    auto* telegram = new QVBoxLayout;
    telegram->setSpacing(8);
    auto* telegramButton = new QPushButton(
        Icons::icon(QStringLiteral("paperplane.fill"), palette().color(QPalette::ButtonText)),
        QStringLiteral("Login via Telegram"), screen);
    telegramButton->setMinimumHeight(32);
    connect(telegramButton, &QPushButton::clicked, m_model, &LoginViewModel::openTelegramBot);
    telegram->addWidget(telegramButton);
    telegram->addWidget(centred(Labels::create(QStringLiteral("Use @dire_z7udu in Telegram"),
                                               TextStyle::Caption2, screen, true)));
    layout->addLayout(telegram);
    layout->addStretch();
    return screen;
}

QWidget* LoginWindow::buildCheckEmail() {
    auto* screen = new QWidget(this);
    QVBoxLayout* layout = screenLayout(screen);
    auto* symbol = new SymbolLabel(QStringLiteral("envelope.badge"), 40, screen);
    symbol->setColor(Colors::violet());
    symbol->setAlignment(Qt::AlignHCenter);
    layout->addWidget(symbol, 0, Qt::AlignHCenter);
    layout->addWidget(
        centred(Labels::create(QStringLiteral("Check your email"), TextStyle::Headline, screen)));
    m_checkEmailText = centred(Labels::create({}, TextStyle::Subheadline, screen, true));
    layout->addWidget(m_checkEmailText);
    layout->addWidget(centred(Labels::create(
        QStringLiteral("Click the link in the email to verify your account, then come back here "
                       "to sign in."),
        TextStyle::Caption, screen, true)));
    m_checkError = makeMessage(Colors::red(), screen);
    m_checkSuccess = makeMessage(Colors::green(), screen);
    layout->addWidget(m_checkError);
    layout->addWidget(m_checkSuccess);
    m_resend = new QPushButton(screen);
    m_resend->setObjectName(QStringLiteral("resend"));
    m_resend->setMinimumHeight(32);
    connect(m_resend, &QPushButton::clicked, m_model, &LoginViewModel::resendVerification);
    layout->addWidget(m_resend);
    QPushButton* back = makeLink(QStringLiteral("Back to Sign In"), screen);
    back->setObjectName(QStringLiteral("back"));
    connect(back, &QPushButton::clicked, m_model, &LoginViewModel::backToSignIn);
    layout->addWidget(back, 0, Qt::AlignHCenter);
    layout->addStretch();
    return screen;
}

QWidget* LoginWindow::buildForgotPassword() {
    auto* screen = new QWidget(this);
    QVBoxLayout* layout = screenLayout(screen);
    auto* symbol = new SymbolLabel(QStringLiteral("lock.rotation"), 40, screen);
    symbol->setColor(Colors::violet());
    symbol->setAlignment(Qt::AlignHCenter);
    layout->addWidget(symbol, 0, Qt::AlignHCenter);
    layout->addWidget(
        centred(Labels::create(QStringLiteral("Reset Password"), TextStyle::Headline, screen)));
    layout->addWidget(
        centred(Labels::create(QStringLiteral("Enter your email and we'll send you a reset link."),
                               TextStyle::Subheadline, screen, true)));
    m_resetEmail = makeField(QStringLiteral("Email"), screen);
    connect(m_resetEmail, &QLineEdit::textEdited, m_model, &LoginViewModel::setResetEmail);
    connect(m_resetEmail, &QLineEdit::returnPressed, m_model,
            &LoginViewModel::requestPasswordReset);
    layout->addWidget(m_resetEmail);
    m_resetError = makeMessage(Colors::red(), screen);
    layout->addWidget(m_resetError);
    m_sendReset = makeBusyButton(screen, true);
    m_sendReset.button->setObjectName(QStringLiteral("sendReset"));
    connect(m_sendReset.button, &QPushButton::clicked, m_model,
            &LoginViewModel::requestPasswordReset);
    layout->addWidget(m_sendReset.button);
    QPushButton* back = makeLink(QStringLiteral("Back to Sign In"), screen);
    back->setObjectName(QStringLiteral("back"));
    connect(back, &QPushButton::clicked, m_model, &LoginViewModel::backToSignIn);
    layout->addWidget(back, 0, Qt::AlignHCenter);
    layout->addStretch();
    return screen;
}

QWidget* LoginWindow::buildResetSent() {
    auto* screen = new QWidget(this);
    QVBoxLayout* layout = screenLayout(screen);
    auto* symbol = new SymbolLabel(QStringLiteral("envelope.badge"), 40, screen);
    symbol->setColor(Colors::violet());
    symbol->setAlignment(Qt::AlignHCenter);
    layout->addWidget(symbol, 0, Qt::AlignHCenter);
    layout->addWidget(
        centred(Labels::create(QStringLiteral("Check your email"), TextStyle::Headline, screen)));
    m_resetSentText = centred(Labels::create({}, TextStyle::Subheadline, screen, true));
    layout->addWidget(m_resetSentText);
    layout->addWidget(
        centred(Labels::create(QStringLiteral("Click the link in the email to set a new password."),
                               TextStyle::Caption, screen, true)));
    auto* back = new QPushButton(QStringLiteral("Back to Sign In"), screen);
    back->setObjectName(QStringLiteral("back"));
    back->setDefault(true);
    back->setMinimumHeight(32);
    connect(back, &QPushButton::clicked, m_model, &LoginViewModel::backToSignIn);
    layout->addWidget(back);
    layout->addStretch();
    return screen;
}

void LoginWindow::refresh() {
    const LoginViewModel& m = *m_model;
    const bool busy = m.isLoading();
    m_screens->setCurrentIndex(int(m.screen()));
    const int tab = m.activeTab() == Tab::registerAccount ? 1 : 0;
    if (m_tabs->currentIndex() != tab) m_tabs->setCurrentIndex(tab);
    m_forms->setCurrentIndex(tab);

    Texts::set(m_loginEmail, m.loginEmail());
    Texts::set(m_loginPassword, m.loginPassword());
    Texts::set(m_registerName, m.registerName());
    Texts::set(m_registerEmail, m.registerEmail());
    Texts::set(m_registerPassword, m.registerPassword());
    Texts::set(m_resetEmail, m.resetEmail());
    for (QLineEdit* field : {m_loginEmail, m_loginPassword, m_registerName, m_registerEmail,
                             m_registerPassword, m_resetEmail})
        field->setEnabled(!busy);

    m_signIn.set(busy, QStringLiteral("Sign In"), QStringLiteral("Signing in..."), m.canLogin());
    m_createAccount.set(busy, QStringLiteral("Create Account"),
                        QStringLiteral("Creating account..."), m.canRegister());
    m_sendReset.set(busy, QStringLiteral("Send Reset Link"), QStringLiteral("Sending..."),
                    m.canRequestReset());
    Texts::set(m_resend,
               busy ? QStringLiteral("Sending...") : QStringLiteral("Resend verification email"));
    m_resend->setEnabled(!busy);

    setMessage(m_mainError, m.errorMessage());
    setMessage(m_mainSuccess, m.successMessage());
    setMessage(m_checkError, m.errorMessage());
    setMessage(m_checkSuccess, m.successMessage());
    setMessage(m_resetError, m.errorMessage());

    Texts::set(m_checkEmailText,
               QStringLiteral("We sent a verification link to\n") + m.registerEmail());
    Texts::set(m_resetSentText,
               QStringLiteral("If ") + m.resetEmail() +
                   QStringLiteral(" is registered, we sent a password reset link."));
}
