// The sign-in window as a user drives it: typing, Return, the buttons and
// the screens, against the local stand-in. Saves a screenshot of each form.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "support/Screenshots.h"
#include "ui/Colors.h"
#include "ui/SegmentedControl.h"
#include "windows/LoginFixture.h"
#include "windows/LoginWindow.h"

namespace {

using Screen = LoginViewModel::AuthScreen;

class LoginWindowTest : public ::testing::Test, public LoginFixture {
protected:
    LoginWindow window{makeModel()};
    LoginViewModel& model = *window.model();

    void SetUp() override {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    // The one widget of that name the user can see now.
    template <typename T>
    T* shown(const QString& name) {
        for (T* w : window.findChildren<T*>(name))
            if (w->isVisible()) return w;
        ADD_FAILURE() << "no visible " << name.toStdString();
        return nullptr;
    }

    void type(const QString& field, const QString& text) {
        QLineEdit* edit = shown<QLineEdit>(field);
        edit->setFocus();
        QTest::keyClicks(edit, text);
    }

    void settle() {
        ASSERT_TRUE(testsupport::waitUntil([&] { return !model.isLoading(); }));
    }

    QStringList visibleTexts() {
        QStringList out;
        for (QLabel* l : window.findChildren<QLabel*>())
            if (l->isVisible() && !l->text().isEmpty()) out << l->text();
        return out;
    }
};

}  // namespace

TEST_F(LoginWindowTest, ANewcomerRegistersResetsAndSignsIn) {
    EXPECT_EQ(window.windowTitle(), "Ormil Login");
    EXPECT_EQ(window.size(), QSize(360, 520));
    testsupport::saveScreenshot(&window, "login-sign-in");

    // A wrong password: the service's words in red, the window stays.
    type("Email", DevService::kDemoEmail);
    EXPECT_FALSE(shown<QPushButton>("signIn")->isEnabled());
    type("Password", "wrong");
    EXPECT_TRUE(shown<QPushButton>("signIn")->isEnabled());
    QTest::keyClick(shown<QLineEdit>("Password"), Qt::Key_Return);
    settle();
    EXPECT_TRUE(visibleTexts().contains("Invalid email or password"));
    testsupport::saveScreenshot(&window, "login-error");

    // Registration: the tab change drops the error; five characters are not enough.
    window.findChild<SegmentedControl*>()->setCurrentIndex(1);
    EXPECT_FALSE(visibleTexts().contains("Invalid email or password"));
    type("Name", "New User");
    type("Email", "newcomer@ormil.test");
    type("Password (min 6 characters)", "12345");
    EXPECT_FALSE(shown<QPushButton>("createAccount")->isEnabled());
    testsupport::saveScreenshot(&window, "login-register");
    type("Password (min 6 characters)", "6");
    QTest::mouseClick(shown<QPushButton>("createAccount"), Qt::LeftButton);
    settle();
    ASSERT_EQ(model.screen(), Screen::checkEmail);
    EXPECT_TRUE(visibleTexts().contains("We sent a verification link to\nnewcomer@ormil.test"));
    QTest::mouseClick(shown<QPushButton>("resend"), Qt::LeftButton);
    settle();
    testsupport::saveScreenshot(&window, "login-check-email");

    // Back with the address filled in; then a password reset for it.
    QTest::mouseClick(shown<QPushButton>("back"), Qt::LeftButton);
    EXPECT_EQ(shown<QLineEdit>("Email")->text(), "newcomer@ormil.test");
    QTest::mouseClick(shown<QPushButton>("forgotPassword"), Qt::LeftButton);
    ASSERT_EQ(model.screen(), Screen::forgotPassword);
    EXPECT_EQ(shown<QLineEdit>("Email")->text(), "newcomer@ormil.test");
    testsupport::saveScreenshot(&window, "login-forgot-password");
    QTest::keyClick(shown<QLineEdit>("Email"), Qt::Key_Return);
    settle();
    ASSERT_EQ(model.screen(), Screen::resetSent);
    EXPECT_TRUE(visibleTexts().contains(
        "If newcomer@ormil.test is registered, we sent a password reset link."));
    testsupport::saveScreenshot(&window, "login-reset-sent");

    // The demo account signs in: tokens stored, data pulled, window dismissed.
    QTest::mouseClick(shown<QPushButton>("back"), Qt::LeftButton);
    QLineEdit* email = shown<QLineEdit>("Email");
    email->selectAll();
    QTest::keyClicks(email, DevService::kDemoEmail);
    QLineEdit* password = shown<QLineEdit>("Password");
    password->selectAll();
    QTest::keyClicks(password, DevService::kDemoPassword);
    QTest::mouseClick(shown<QPushButton>("signIn"), Qt::LeftButton);
    EXPECT_FALSE(shown<QLineEdit>("Email")->isEnabled());
    settle();
    EXPECT_EQ(dismissals, 1);
    EXPECT_EQ(pulls.load(), 1);
    EXPECT_TRUE(fx.auth->readToken("access_token").token.has_value());

    QTest::mouseClick(shown<QPushButton>("skip"), Qt::LeftButton);
    EXPECT_EQ(dismissals, 1);  // already dismissed once
}

TEST_F(LoginWindowTest, SkipForNowIsInTheSecondaryTextColour) {
    QPushButton* skip = shown<QPushButton>("skip");
    ASSERT_TRUE(skip);
    const QColor shownColour = skip->palette().color(QPalette::ButtonText);
    EXPECT_EQ(shownColour, Colors::secondary(window.palette()));
    // Grey, not a tint of the links' violet.
    EXPECT_EQ(shownColour.red(), shownColour.green());
    EXPECT_EQ(shownColour.green(), shownColour.blue());
}
