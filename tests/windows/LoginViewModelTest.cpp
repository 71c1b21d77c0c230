// The sign-in window's state and requests, against the local stand-in.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <atomic>

#include "windows/LoginFixture.h"

namespace {

using Screen = LoginViewModel::AuthScreen;
using Tab = LoginViewModel::AuthTab;

class LoginViewModelTest : public ::testing::Test, public LoginFixture {
protected:
    std::unique_ptr<LoginViewModel> vm = make();

    std::unique_ptr<LoginViewModel> make() { return std::unique_ptr<LoginViewModel>(makeModel()); }

    void settle() {
        ASSERT_TRUE(testsupport::waitUntil([&] { return !vm->isLoading(); }));
    }

    int requestsTo(const QString& path) { return int(fx.service.requests(path).size()); }

    static std::string messages(const LoginViewModel& m) {
        return "error=" + m.errorMessage().value_or("<none>").toStdString() +
               " success=" + m.successMessage().value_or("<none>").toStdString();
    }
};

}  // namespace

TEST_F(LoginViewModelTest, SignInStoresTheTokensPullsAndDismissesOnce) {
    vm->setLoginEmail(DevService::kDemoEmail);
    EXPECT_FALSE(vm->canLogin());
    vm->setLoginPassword(DevService::kDemoPassword);
    ASSERT_TRUE(vm->canLogin());
    vm->login();
    EXPECT_TRUE(vm->isLoading());
    EXPECT_FALSE(vm->canLogin());
    settle();
    EXPECT_FALSE(vm->errorMessage().has_value());
    EXPECT_TRUE(fx.auth->readToken("access_token").token.has_value());
    EXPECT_TRUE(fx.auth->readToken("refresh_token").token.has_value());
    EXPECT_EQ(requestsTo("/user/usage"), 1);
    EXPECT_EQ(pulls.load(), 1);
    EXPECT_EQ(dismissals, 1);
    EXPECT_EQ(vm->screen(), Screen::main);
}

TEST_F(LoginViewModelTest, FailedRequestsShowTheServersTextOrItsStatus) {
    vm->setLoginEmail(DevService::kDemoEmail);
    vm->setLoginPassword("wrong");
    vm->login();
    settle();
    EXPECT_EQ(vm->errorMessage(), QString("Invalid email or password"));
    EXPECT_EQ(pulls.load(), 0);
    EXPECT_EQ(dismissals, 0);

    // No message in the answer, on the sign-in base and the API base alike.
    DevService::Answer down;
    down.status = 503;
    down.body = "<html>unavailable</html>";
    down.count = 2;
    fx.service.queue("/api/auth/login", down);
    vm->setLoginPassword(DevService::kDemoPassword);
    vm->login();
    settle();
    EXPECT_EQ(vm->errorMessage(), QString("Server error (503)"));
    EXPECT_EQ(vm->screen(), Screen::main);
    EXPECT_EQ(dismissals, 0);
}

TEST_F(LoginViewModelTest, RegistrationNeedsSixCharactersThenAsksToCheckTheMail) {
    vm->setActiveTab(Tab::registerAccount);
    vm->setRegisterEmail("new@ormil.test");
    struct Case {
        const char* password;
        bool enabled;
    };
    const Case cases[] = {
        {"12345", false},
        {"123456", true},
        {"ab\U0001F44D\U0001F3FDcd", false},  // five characters, one of them two code points
        {"e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301", true},
    };
    for (const Case& c : cases) {
        vm->setRegisterPassword(QString::fromUtf8(c.password));
        EXPECT_EQ(vm->canRegister(), c.enabled) << c.password;
    }
    vm->setRegisterPassword("12345");
    vm->registerAccount();  // Return in the password field: nothing happens
    EXPECT_FALSE(vm->isLoading());
    EXPECT_EQ(requestsTo("/api/auth/register"), 0);

    vm->setLoginPassword("kept");
    vm->setRegisterPassword("123456");
    vm->registerAccount();
    settle();
    EXPECT_EQ(vm->screen(), Screen::checkEmail);
    EXPECT_FALSE(vm->errorMessage().has_value());
    const auto sent =
        QJsonDocument::fromJson(fx.service.requests("/api/auth/register")[0].body).object();
    EXPECT_EQ(sent.value("email"), "new@ormil.test");
    EXPECT_EQ(sent.value("name"), "");
    EXPECT_FALSE(fx.auth->readToken("access_token").token.has_value());  // not signed in

    vm->backToSignIn();
    EXPECT_EQ(vm->screen(), Screen::main);
    EXPECT_EQ(vm->activeTab(), Tab::login);
    EXPECT_EQ(vm->loginEmail(), "new@ormil.test");
    EXPECT_EQ(vm->loginPassword(), "kept");

    // The same address again: the service refuses, the tab stays.
    vm->setActiveTab(Tab::registerAccount);
    vm->registerAccount();
    settle();
    EXPECT_EQ(vm->errorMessage(), QString("This e-mail is already registered"));
    EXPECT_EQ(vm->screen(), Screen::main);
    EXPECT_EQ(vm->activeTab(), Tab::registerAccount);
}

TEST_F(LoginViewModelTest, ResendShowsTheServersMessageAndClearsItFirst) {
    vm->setRegisterEmail("new@ormil.test");
    vm->setRegisterPassword("123456");
    vm->setActiveTab(Tab::registerAccount);
    vm->registerAccount();
    settle();
    ASSERT_EQ(vm->screen(), Screen::checkEmail);

    vm->resendVerification();
    settle();
    EXPECT_EQ(vm->successMessage(),
              QString("A new confirmation e-mail has been sent to new@ormil.test."));

    DevService::Answer refused;
    refused.status = 429;
    refused.json = QJsonObject{{"detail", "Too many requests"}};
    fx.service.queue("/api/auth/resend-verification", refused);
    vm->resendVerification();
    EXPECT_FALSE(vm->successMessage().has_value());  // removed as the request starts
    settle();
    EXPECT_EQ(vm->errorMessage(), QString("Too many requests"));
    EXPECT_FALSE(vm->successMessage().has_value());
    EXPECT_EQ(vm->screen(), Screen::checkEmail);

    vm->backToSignIn();
    EXPECT_FALSE(vm->errorMessage().has_value());
}

TEST_F(LoginViewModelTest, PasswordResetSendsTheAddressAsTypedAndComesBackWithIt) {
    vm->forgotPassword();
    EXPECT_EQ(vm->screen(), Screen::forgotPassword);
    EXPECT_EQ(vm->resetEmail(), "");
    EXPECT_FALSE(vm->canRequestReset());
    vm->requestPasswordReset();
    EXPECT_EQ(requestsTo("/api/auth/password-reset/request"), 0);

    // Going back from the form leaves the sign-in address as it was.
    vm->setResetEmail("edited@ormil.test");
    vm->backToSignIn();
    EXPECT_EQ(vm->loginEmail(), "");

    vm->setLoginEmail("   ");
    vm->forgotPassword();
    EXPECT_EQ(vm->resetEmail(), "   ");
    vm->requestPasswordReset();
    settle();
    EXPECT_EQ(vm->screen(), Screen::resetSent);
    const auto sent =
        QJsonDocument::fromJson(fx.service.requests("/api/auth/password-reset/request")[0].body)
            .object();
    EXPECT_EQ(sent.value("email"), "   ");
    EXPECT_EQ(sent.value("source_service"), "ormil");

    vm->setActiveTab(Tab::registerAccount);
    vm->setResetEmail("typed@ormil.test");
    vm->backToSignIn();
    EXPECT_EQ(vm->screen(), Screen::main);
    EXPECT_EQ(vm->activeTab(), Tab::login);
    EXPECT_EQ(vm->loginEmail(), "typed@ormil.test");
}

TEST_F(LoginViewModelTest, EachActionClearsTheMessagesItShould) {
    // Both lines at once: a resend succeeds, then a registration of a taken
    // address fails (starting a registration keeps the success line).
    const auto withBothMessages = [&] {
        vm = make();
        vm->setActiveTab(Tab::registerAccount);
        vm->setRegisterEmail(DevService::kDemoEmail);
        vm->setRegisterPassword("123456");
        vm->setLoginEmail(DevService::kDemoEmail);
        vm->setLoginPassword(DevService::kDemoPassword);
        vm->resendVerification();
        settle();
        vm->registerAccount();
        settle();
        ASSERT_TRUE(vm->errorMessage().has_value());
        ASSERT_TRUE(vm->successMessage().has_value());
    };
    struct Case {
        const char* action;
        std::function<void()> run;
        bool errorKept;
        bool successKept;
    };
    const Case cases[] = {
        {"tab change", [&] { vm->setActiveTab(Tab::login); }, false, false},
        {"forgot password", [&] { vm->forgotPassword(); }, false, false},
        {"start of a registration", [&] { vm->registerAccount(); }, false, true},
        {"start of a resend", [&] { vm->resendVerification(); }, false, false},
        {"start of a sign-in", [&] { vm->login(); }, false, false},
    };
    for (const Case& c : cases) {
        withBothMessages();
        c.run();
        EXPECT_EQ(vm->errorMessage().has_value(), c.errorKept) << c.action << " " << messages(*vm);
        EXPECT_EQ(vm->successMessage().has_value(), c.successKept)
            << c.action << " " << messages(*vm);
        settle();
    }
}

TEST_F(LoginViewModelTest, SkippingDuringASignInStillPullsAndDismissesOnce) {
    fx.service.hold("/api/auth/login");
    vm->setLoginEmail(DevService::kDemoEmail);
    vm->setLoginPassword(DevService::kDemoPassword);
    vm->login();
    ASSERT_TRUE(testsupport::waitUntil([&] { return fx.service.inFlight() == 1; }));
    vm->skip();
    EXPECT_EQ(dismissals, 1);
    vm.reset();  // the host deleted the window
    fx.service.release();
    ASSERT_TRUE(testsupport::waitUntil([&] { return pulls.load() == 1; }));
    testsupport::processEvents(50);  // the late outcome, had it anywhere to go
    EXPECT_EQ(dismissals, 1);
    EXPECT_TRUE(fx.auth->readToken("access_token").token.has_value());

    // The window left open after a skip: the late success does not close it again.
    vm = make();
    fx.service.hold("/api/auth/login");
    vm->setLoginEmail(DevService::kDemoEmail);
    vm->setLoginPassword(DevService::kDemoPassword);
    vm->login();
    vm->skip();
    fx.service.release();
    settle();
    EXPECT_EQ(dismissals, 2);
    EXPECT_EQ(pulls.load(), 2);
}

TEST_F(LoginViewModelTest, TelegramOpensTheAppWhenItCanElseTheWebLink) {
    struct Case {
        bool handler;
        bool appOpens;
        QList<QUrl> expected;
    };
    const QUrl app("tg://resolve?domain=dire_z7udu&start=ormil");
    const QUrl web("https://t.me/dire_z7udu?start=ormil");
    const Case cases[] = {
        {false, true, {web}},
        {true, true, {app}},
        {true, false, {app, web}},
    };
    for (const Case& c : cases) {
        opened.clear();
        hasTelegram = c.handler;
        telegramOpens = c.appOpens;
        vm->openTelegramBot();
        EXPECT_EQ(opened, c.expected) << c.handler << c.appOpens;
        EXPECT_FALSE(vm->isLoading());
        EXPECT_FALSE(vm->errorMessage().has_value());
        EXPECT_EQ(dismissals, 0);
    }
}
