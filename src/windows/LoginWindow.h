#pragma once

#include <QWidget>
#include <functional>

class BusySpinner;
class LoginViewModel;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class SegmentedControl;

// The sign-in window's content: it shows a LoginViewModel and forwards the
// user's input to it; all logic lives in the model. 360 x 520 points,
// English texts only.
class LoginWindow : public QWidget {
    Q_OBJECT
public:
    // Takes ownership of the model.
    explicit LoginWindow(LoginViewModel* model, QWidget* parent = nullptr);

    // A window signed in through the process-wide account session; a
    // successful sign-in pulls the account's data with the shared
    // synchronisation before `onDismiss`.
    static LoginWindow* create(std::function<void()> onDismiss);

    LoginViewModel* model() const { return m_model; }

    // Re-reads the model (texts set only where they differ).
    void refresh();

private:
    // A full-width button whose label may carry a spinner.
    struct BusyButton {
        QPushButton* button = nullptr;
        BusySpinner* spinner = nullptr;
        QLabel* label = nullptr;
        void set(bool busy, const QString& idleText, const QString& busyText, bool enabled);
    };
    BusyButton makeBusyButton(QWidget* parent, bool prominent);
    QPushButton* makeLink(const QString& text, QWidget* parent);
    QLabel* makeMessage(const QColor& color, QWidget* parent);
    QLineEdit* makeField(const QString& placeholder, QWidget* parent, bool secure = false);
    QWidget* buildMain();
    QWidget* buildCheckEmail();
    QWidget* buildForgotPassword();
    QWidget* buildResetSent();

    LoginViewModel* m_model;
    QStackedWidget* m_screens = nullptr;
    SegmentedControl* m_tabs = nullptr;
    QStackedWidget* m_forms = nullptr;
    QLineEdit* m_loginEmail = nullptr;
    QLineEdit* m_loginPassword = nullptr;
    BusyButton m_signIn;
    QLineEdit* m_registerName = nullptr;
    QLineEdit* m_registerEmail = nullptr;
    QLineEdit* m_registerPassword = nullptr;
    BusyButton m_createAccount;
    QLabel* m_mainError = nullptr;
    QLabel* m_mainSuccess = nullptr;
    QLabel* m_checkEmailText = nullptr;
    QLabel* m_checkError = nullptr;
    QLabel* m_checkSuccess = nullptr;
    QPushButton* m_resend = nullptr;
    QLineEdit* m_resetEmail = nullptr;
    QLabel* m_resetError = nullptr;
    BusyButton m_sendReset;
    QLabel* m_resetSentText = nullptr;
};
