// The account session: sign-in, the shared refresh, the once-per-session
// expiry report, the user's record in AppState and logout.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QStringList>
#include <filesystem>
#include <thread>
#include <vector>

#include "AuthTestFixture.h"
#include "platform/Threading.h"
#include "fakes/FakeSecretStore.h"

namespace {

QStringList sortedKeys(const QByteArray& json) {
    QStringList keys = QJsonDocument::fromJson(json).object().keys();
    keys.sort();
    return keys;
}

DevService::Answer status(int code) {
    DevService::Answer a;
    a.status = code;
    return a;
}

}  // namespace

TEST(AuthSession, LoginStoresTokensAndFillsAppState) {
    AuthTestFixture f;
    f.service.createAccount(QJsonObject{{"email", "pro@ormil.test"},
                                        {"password", "pw"},
                                        {"name", "Pro User"},
                                        {"tier", "pro plus"}});
    DebugLog::truncate();
    f.auth->login("pro@ormil.test", "pw");
    const auto access = f.auth->readToken("access_token").token;
    ASSERT_TRUE(access);
    EXPECT_TRUE(f.auth->readToken("refresh_token").token);
    EXPECT_EQ(f.settings.string("ormil_auth_fallback_access_token"), access);
    ASSERT_TRUE(testsupport::waitUntil([&] { return f.state.userName() == "Pro User"; }));
    EXPECT_TRUE(f.state.isAuthenticated());
    EXPECT_EQ(f.state.userEmail(), "pro@ormil.test");
    EXPECT_EQ(f.state.userPlan(), "Pro Plus");
    EXPECT_FALSE(f.state.isAdmin());
    EXPECT_EQ(sortedKeys(f.sent("/api/auth/login").at(0).body), QStringList({"email", "password"}));

    // The answers are logged, their tokens are not.
    const QString log = testsupport::debugLogText();
    EXPECT_TRUE(log.contains("[Auth] Login success, saving tokens"));
    EXPECT_TRUE(log.contains(R"("access_token":"***")")) << log.toStdString();
    EXPECT_TRUE(log.contains("[Auth] GET /auth/me body: "));
    EXPECT_FALSE(log.contains(*access));
    EXPECT_FALSE(log.contains(*f.auth->readToken("refresh_token").token));
}

TEST(AuthSession, FailedUserInfoDoesNotUndoSignIn) {
    AuthTestFixture f;
    f.service.queue("/auth/me", status(500));
    f.auth->login(DevService::kDemoEmail, DevService::kDemoPassword);
    EXPECT_TRUE(f.auth->hasStoredSession());
    ASSERT_TRUE(testsupport::waitUntil([&] { return f.state.isAuthenticated(); }));
    EXPECT_EQ(f.state.userEmail(), DevService::kDemoEmail);
    EXPECT_TRUE(testsupport::debugLogText().contains(
        "[Auth] loadUserInfo failed (non-fatal): serverError(500)"));
}

TEST(AuthSession, TelegramSignInTakesTheEmailFromUserInfo) {
    AuthTestFixture f;
    f.service.createAccount(QJsonObject{{"email", "tg@ormil.test"}, {"password", "pw"}});
    f.service.addTelegramToken("one-time", "tg@ormil.test");
    f.auth->loginWithTelegramToken("one-time");
    EXPECT_TRUE(f.auth->hasStoredSession());
    ASSERT_TRUE(testsupport::waitUntil([&] { return f.state.userEmail() == "tg@ormil.test"; }));
    EXPECT_TRUE(f.state.isAuthenticated());
    EXPECT_EQ(sortedKeys(f.sent("/api/auth/telegram/token").at(0).body), QStringList({"token"}));
    // A used token is refused with the service's words, and nothing changes.
    const auto error = authErrorOf([&] { f.auth->loginWithTelegramToken("one-time"); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), AuthError::Kind::serverMessage);
}

TEST(AuthSession, MessageCallsSendTheirBodiesAndReturnTheMessage) {
    struct Case {
        const char* path;
        std::function<QString(AuthService&)> call;
        QStringList keys;
    };
    const Case cases[] = {
        {"/api/auth/register",
         [](AuthService& a) { return a.registerAccount("n@ormil.test", "pw", "N"); },
         {"email", "language", "name", "password", "source_service"}},
        {"/api/auth/resend-verification",
         [](AuthService& a) { return a.resendVerification("n@ormil.test"); },
         {"email"}},
        {"/api/auth/password-reset/request",
         [](AuthService& a) { return a.requestPasswordReset("n@ormil.test"); },
         {"email", "source_service"}},
    };
    AuthTestFixture f;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_FALSE(c.call(*f.auth).isEmpty());
        const auto sent = f.sent(c.path);
        ASSERT_EQ(sent.size(), 1);
        EXPECT_EQ(sortedKeys(sent[0].body), c.keys);
        const QJsonObject body = QJsonDocument::fromJson(sent[0].body).object();
        if (body.contains("source_service")) {
            EXPECT_EQ(body.value("source_service"), "ormil");
        }
    }
    EXPECT_FALSE(f.auth->hasStoredSession());
}

TEST(AuthSession, FiveConcurrent401sShareOneRefresh) {
    AuthTestFixture f;
    const auto old = f.signIn();
    f.service.expireTokens("user@ormil.test");
    // The refresh waits until every caller has joined it.
    f.service.hold("/api/auth/refresh");
    constexpr int kCallers = 5;
    std::atomic<int> succeeded{0};
    std::vector<std::thread> callers;
    for (int i = 0; i < kCallers; ++i)
        callers.emplace_back([&] {
            try {
                f.auth->get<UserInfo>("/auth/me");
                ++succeeded;
            } catch (const std::exception& e) {
                ADD_FAILURE() << e.what();
            }
        });
    EXPECT_TRUE(testsupport::waitUntil([&] {
        return f.service.inFlight() == 1 && f.auth->pendingRefreshCallers() == kCallers - 1;
    }));
    f.service.release("/api/auth/refresh");
    for (auto& t : callers) t.join();
    EXPECT_EQ(succeeded, kCallers);
    EXPECT_EQ(f.sent("/api/auth/refresh").size(), 1);
    const auto gets = f.sent("/auth/me");
    ASSERT_EQ(gets.size(), 2 * kCallers);
    const QByteArray newBearer = "Bearer " + f.auth->readToken("access_token").token->toUtf8();
    EXPECT_NE(newBearer, "Bearer " + old.access.toUtf8());
    int withNewToken = 0;
    for (const auto& g : gets) withNewToken += g.headers.value("Authorization") == newBearer;
    EXPECT_EQ(withNewToken, kCallers);
    EXPECT_EQ(f.auth->pendingRefreshCallers(), 0);
}

TEST(AuthSession, RejectedRefreshEndsTheSessionOnceAndSignInRearmsIt) {
    AuthTestFixture f;
    f.signIn();
    f.auth->loadUserInfo();
    ASSERT_TRUE(testsupport::waitUntil([&] { return f.state.userEmail() == "user@ormil.test"; }));
    f.state.setIsAuthenticated(true);
    f.service.expireTokens("user@ormil.test", true);

    auto error = authErrorOf([&] { f.auth->refreshAccessToken(); });
    ASSERT_TRUE(error);
    EXPECT_EQ(*error, AuthError::sessionRejected());
    EXPECT_EQ(f.sent("/api/auth/refresh").size(), 1);  // a 401 is not failed over
    EXPECT_FALSE(f.auth->readToken("access_token").token);
    EXPECT_FALSE(f.auth->readToken("refresh_token").token);
    EXPECT_FALSE(f.settings.contains("ormil_auth_fallback_access_token"));
    EXPECT_TRUE(f.secrets.items.empty());
    ASSERT_TRUE(testsupport::waitUntil([&] { return f.sessionExpiredPosts == 1; }));
    EXPECT_FALSE(f.state.isAuthenticated());
    EXPECT_EQ(f.state.userEmail(), "");
    EXPECT_EQ(f.state.userPlan(), "Free");

    // Nothing left to refresh with: no second notice.
    error = authErrorOf([&] { f.auth->refreshAccessToken(); });
    ASSERT_TRUE(error);
    EXPECT_EQ(*error, AuthError::noRefreshToken());
    f.settle();
    EXPECT_EQ(f.sessionExpiredPosts, 1);

    // Signing in again re-arms the report.
    f.auth->login("user@ormil.test", "secret");
    f.service.expireTokens("user@ormil.test", true);
    EXPECT_TRUE(authErrorOf([&] { f.auth->refreshAccessToken(); }));
    EXPECT_TRUE(testsupport::waitUntil([&] { return f.sessionExpiredPosts == 2; }));
}

TEST(AuthSession, RefreshAnswersTable) {
    struct Case {
        const char* name;
        QList<int> statuses;  // queued answers for the refresh path
        bool signInBaseTimesOut;
        int expectedRequests;
        std::optional<AuthError> expectedError;
        bool sessionEnds;
    };
    const Case cases[] = {
        {"sign-in base 503, API base renews", {503}, false, 2, {}, false},
        {"sign-in base silent, API base renews", {}, true, 2, {}, false},
        {"503 from both", {503, 503}, false, 2, AuthError::serverError(503), false},
        {"404 is not failed over", {404}, false, 1, AuthError::serverError(404), false},
        {"403 ends the session", {403}, false, 1, AuthError::sessionRejected(), true},
        {"400 from the API base ends it", {502, 400}, false, 2, AuthError::sessionRejected(), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AuthTestFixture f;
        const auto old = f.signIn();
        for (int s : c.statuses) f.service.queue("/api/auth/refresh", status(s));
        if (c.signInBaseTimesOut)
            f.failWith = [&](const HttpRequest& r) -> std::optional<HttpError> {
                if (r.url.startsWith(f.authBase())) return HttpError(HttpErrorKind::timedOut);
                return std::nullopt;
            };
        try {
            f.auth->refreshAccessToken();
            EXPECT_FALSE(c.expectedError);
            EXPECT_NE(f.auth->readToken("access_token").token, old.access);
        } catch (const AuthError& e) {
            ASSERT_TRUE(c.expectedError) << e.what();
            EXPECT_EQ(e, *c.expectedError);
        }
        const auto sent = f.sent("/api/auth/refresh");
        ASSERT_EQ(sent.size(), c.expectedRequests);
        EXPECT_TRUE(sent[0].url.startsWith(f.authBase()));
        EXPECT_EQ(sent[0].timeout, 4);
        EXPECT_FALSE(sent[0].headers.contains("Authorization"));
        EXPECT_EQ(sortedKeys(sent[0].body), QStringList({"refresh_token"}));
        if (c.expectedRequests == 2) {
            EXPECT_TRUE(sent[1].url.startsWith(f.apiBase()));
            EXPECT_EQ(sent[1].timeout, 6);
        }
        EXPECT_EQ(f.auth->hasStoredSession(), !c.sessionEnds);
        f.settle();
        EXPECT_EQ(f.sessionExpiredPosts, c.sessionEnds ? 1 : 0);
    }
}

TEST(AuthSession, RefreshWithoutRefreshToken) {
    struct Case {
        const char* name;
        int lockedStatus;  // what the secret store answers
        bool accessStored;
        AuthError expected;
        bool reported;
    };
    const Case cases[] = {
        {"locked store: postponed", SecretStore::interactionNotAllowed, true,
         AuthError::keychainLocked(), false},
        {"gone while signed in: session ends", SecretStore::itemNotFound, true,
         AuthError::noRefreshToken(), true},
        {"gone while signed out: nothing to report", SecretStore::itemNotFound, false,
         AuthError::noRefreshToken(), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AuthTestFixture f;
        if (c.accessStored) f.auth->saveToken("access", "access_token");
        f.secrets.forcedReadStatus = c.lockedStatus;
        const auto error = authErrorOf([&] { f.auth->refreshAccessToken(); });
        ASSERT_TRUE(error);
        EXPECT_EQ(*error, c.expected);
        EXPECT_TRUE(f.sent().isEmpty());
        f.settle();
        EXPECT_EQ(f.sessionExpiredPosts, c.reported ? 1 : 0);
        EXPECT_EQ(f.auth->hasStoredSession(), c.accessStored && !c.reported);
    }
}

TEST(AuthSession, UserInfoAndUsageInAppState) {
    struct Case {
        const char* name;
        QJsonObject account;
        QString plan;
        bool admin;
    };
    const Case cases[] = {
        {"server says admin",
         {{"email", "a@ormil.test"}, {"is_admin", true}, {"tier", "pro"}},
         "Pro",
         true},
        {"built-in address in any case wins over false",
         {{"email", "Admin@Ormil.App"}, {"is_admin", false}, {"tier", "PRO PLUS"}},
         "Pro Plus",
         true},
        {"ordinary user", {{"email", "u@ormil.test"}, {"tier", "free"}}, "Free", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AuthTestFixture f;
        QJsonObject account = c.account;
        account["password"] = "pw";
        const auto tokens = f.service.createSignedInAccount(account);
        f.auth->saveToken(tokens.access, "access_token");
        f.state.setIsAdmin(!c.admin);
        f.auth->loadUserInfo();
        ASSERT_TRUE(testsupport::waitUntil([&] { return f.state.isAdmin() == c.admin; }));
        EXPECT_EQ(f.state.userPlan(), c.plan);
        EXPECT_EQ(f.state.userName(), "");
    }

    AuthTestFixture f;
    f.signIn();
    DevService::Answer usage;
    usage.json = QJsonObject{{"weekly_words_used", 1234}, {"weekly_words_limit", 5000}};
    f.service.queue("/user/usage", usage);
    f.state.setUserPlan("Team");
    f.auth->loadUsageStats();
    ASSERT_TRUE(testsupport::waitUntil([&] { return f.state.wordsUsed() == 1234; }));
    EXPECT_EQ(f.state.wordsLimit(), 5000);
    EXPECT_EQ(f.state.userPlan(), "Team");  // no tier in the answer: unchanged
}

TEST(AuthSession, LogoutSignsOutAndNextUserDoesNotInheritAdmin) {
    AuthTestFixture f;
    f.signIn();
    f.state.setIsAuthenticated(true);
    f.state.setUserEmail("admin@ormil.app");
    f.state.setUserName("Boss");
    f.state.setUserPlan("Pro");
    f.state.setIsAdmin(true);
    f.state.setWordsUsed(10);
    f.auth->logout();
    EXPECT_FALSE(f.auth->hasStoredSession());
    EXPECT_FALSE(f.auth->readToken("refresh_token").token);
    EXPECT_TRUE(f.sent().isEmpty());
    ASSERT_TRUE(testsupport::waitUntil([&] { return !f.state.isAuthenticated(); }));
    EXPECT_EQ(f.state.userEmail(), "");
    EXPECT_EQ(f.state.userName(), "");
    EXPECT_EQ(f.state.userPlan(), "Free");
    EXPECT_FALSE(f.state.isAdmin());
    EXPECT_EQ(f.state.wordsUsed(), 10);
    // Already signed out: the fields are still reset.
    f.state.setUserPlan("Pro");
    f.auth->logout();
    EXPECT_TRUE(testsupport::waitUntil([&] { return f.state.userPlan() == "Free"; }));
}

TEST(AuthSession, PlainTokenCopiesArePrivateToTheUser) {
    const QString path = testsupport::root() + "/config/Ormil/settings.json";
    SettingsStore settings(path);
    FakeSecretStore secrets;
    secrets.forcedAddStatus = SecretStore::notAvailable;
    AuthService auth(
        settings, secrets,
        [](const HttpRequest&) -> HttpResponse { throw HttpError(HttpErrorKind::cannotConnect); },
        "http://127.0.0.1:9", "http://127.0.0.1:9");
    auth.saveToken("tok", "access_token");
    settings.flush();
    EXPECT_EQ(std::filesystem::status(path.toStdString()).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    // No secret service: a restart still finds the session through the copy.
    SettingsStore reopened(path);
    FakeSecretStore absent;
    absent.forcedReadStatus = SecretStore::notAvailable;
    AuthService restarted(reopened, absent, {}, "http://127.0.0.1:9", "http://127.0.0.1:9");
    EXPECT_EQ(restarted.readToken("access_token").token, QString("tok"));
    EXPECT_EQ(absent.removeCalls, 0);
}
