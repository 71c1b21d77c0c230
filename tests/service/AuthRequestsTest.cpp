// The two request functions of the account session: which base a call goes
// to, its timeouts, the fallback from the sign-in base, the error-body rule
// and the refresh-and-repeat on 401.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>

#include "AuthTestFixture.h"

namespace {

const QString kLogin = "/api/auth/login";

DevService::Answer answer(int status, const QByteArray& body = {}) {
    DevService::Answer a;
    a.status = status;
    a.body = body;
    a.headers = {{"Content-Type", "application/json"}};
    return a;
}

void loginDemo(AuthService& auth) {
    auth.login(DevService::kDemoEmail, DevService::kDemoPassword);
}

}  // namespace

TEST(AuthRequests, SignInBaseFallsBackOnceToApiBase) {
    struct Case {
        const char* name;
        std::optional<int> firstStatus;     // the sign-in base's answer
        bool firstTransportFailure;         // or: it does not answer
        std::optional<int> fallbackStatus;  // the API base's answer (none: its own)
        int expectedRequests;
        std::optional<AuthError> expectedError;
    };
    const Case cases[] = {
        {"503 then the API base signs in", 503, false, {}, 2, {}},
        {"timeout then the API base signs in", {}, true, {}, 2, {}},
        {"503 from both bases", 503, false, 503, 2, AuthError::serverError(503)},
        {"404 is final", 404, false, {}, 1, AuthError::serverError(404)},
        {"wrong password is final",
         {},
         false,
         {},
         1,
         AuthError::serverMessage("Invalid email or password")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AuthTestFixture f;
        DebugLog::truncate();
        if (c.firstStatus) f.service.queue(kLogin, answer(*c.firstStatus));
        if (c.fallbackStatus) {
            DevService::Answer second = answer(*c.fallbackStatus);
            f.service.queue(kLogin, second);
        }
        if (c.firstTransportFailure)
            f.failWith = [&](const HttpRequest& r) -> std::optional<HttpError> {
                if (r.url.startsWith(f.authBase())) return HttpError(HttpErrorKind::timedOut);
                return std::nullopt;
            };
        const bool wrongPassword = !c.firstStatus && !c.firstTransportFailure;
        try {
            f.auth->login(DevService::kDemoEmail,
                          wrongPassword ? "not-the-password" : DevService::kDemoPassword);
            EXPECT_FALSE(c.expectedError.has_value());
        } catch (const AuthError& e) {
            ASSERT_TRUE(c.expectedError.has_value()) << e.what();
            EXPECT_EQ(e, *c.expectedError);
        }
        const auto sent = f.sent(kLogin);
        ASSERT_EQ(sent.size(), c.expectedRequests);
        EXPECT_TRUE(sent[0].url.startsWith(f.authBase()));
        EXPECT_EQ(sent[0].timeout, 6);
        const QString log = testsupport::debugLogText();
        if (c.expectedRequests == 2) {
            EXPECT_TRUE(sent[1].url.startsWith(f.apiBase()));
            EXPECT_EQ(sent[1].timeout, 8);
            EXPECT_EQ(sent[1].body, sent[0].body);
            EXPECT_EQ(sent[1].headers.fields(), sent[0].headers.fields());
            EXPECT_TRUE(log.contains("[Auth] Основной authURL недоступен для /api/auth/login ("))
                << log.toStdString();
            EXPECT_TRUE(log.contains("), пробуем резервный " + f.apiBase()));
            // The sign-in base's 5xx is not logged as an answer.
            EXPECT_EQ(log.count("[Auth] Response status: "), 1);
        }
        EXPECT_EQ(f.sent("/api/auth/refresh").size(), 0);
        EXPECT_EQ(f.auth->readToken("access_token").token.has_value(), !c.expectedError);
    }
}

TEST(AuthRequests, FallbackTransportFailureIsTheResult) {
    AuthTestFixture f;
    f.failWith = [&](const HttpRequest& r) -> std::optional<HttpError> {
        return HttpError(r.url.startsWith(f.authBase()) ? HttpErrorKind::cannotConnect
                                                        : HttpErrorKind::timedOut);
    };
    try {
        loginDemo(*f.auth);
        FAIL() << "no error";
    } catch (const HttpError& e) {
        EXPECT_EQ(e.kind(), HttpErrorKind::timedOut);
    }
    EXPECT_EQ(f.sent(kLogin).size(), 2);
}

TEST(AuthRequests, RegistrationSucceedsThroughTheFallback) {
    AuthTestFixture f;
    f.failWith = [&](const HttpRequest& r) -> std::optional<HttpError> {
        if (r.url.startsWith(f.authBase())) return HttpError(HttpErrorKind::cannotConnect);
        return std::nullopt;
    };
    const QString message = f.auth->registerAccount("new@ormil.test", "pw", "New");
    EXPECT_TRUE(message.contains("new@ormil.test")) << message.toStdString();
}

TEST(AuthRequests, StaleAccessTokenGoesWithSignInCalls) {
    AuthTestFixture f;
    f.auth->saveToken("stale-token", "access_token");
    loginDemo(*f.auth);
    EXPECT_EQ(f.sent(kLogin).at(0).headers.value("Authorization"), "Bearer stale-token");
    EXPECT_EQ(f.sent(kLogin).at(0).headers.value("Content-Type"), "application/json");
}

TEST(AuthRequests, PostAcceptsAny2xx) {
    AuthTestFixture f;
    f.service.queue("/api/auth/resend-verification", answer(201, R"({"message":"queued"})"));
    EXPECT_EQ(f.auth->resendVerification("a@b"), "queued");
}

TEST(AuthRequests, GetAnswersTable) {
    struct Case {
        const char* name;
        QList<DevService::Answer> answers;  // queued for "/auth/me"
        bool storeRefreshToken;
        int expectedGets;
        int expectedRefreshes;
        std::optional<AuthError> expectedError;
    };
    const Case cases[] = {
        {"204 fails", {answer(204)}, true, 1, 0, AuthError::serverError(204)},
        {"201 with detail fails",
         {answer(201, R"({"detail":"odd"})")},
         true,
         1,
         0,
         AuthError::serverMessage("odd")},
        {"401 refreshes and repeats", {answer(401)}, true, 2, 1, {}},
        {"401 twice: no second refresh",
         {answer(401), answer(401)},
         true,
         2,
         1,
         AuthError::serverError(401)},
        {"401 without refresh token",
         {answer(401, R"({"detail":"Not authenticated"})")},
         false,
         1,
         0,
         AuthError::serverMessage("Not authenticated")},
        {"detail as a list",
         {answer(422, R"({"detail":[{"msg":"x"}]})")},
         true,
         1,
         0,
         AuthError::serverError(422)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AuthTestFixture f;
        const auto tokens = f.signIn();
        if (!c.storeRefreshToken) f.auth->deleteToken("refresh_token");
        for (const auto& a : c.answers) f.service.queue("/auth/me", a);
        try {
            const UserInfo info = f.auth->get<UserInfo>("/auth/me");
            EXPECT_FALSE(c.expectedError.has_value());
            EXPECT_EQ(info.email, "user@ormil.test");
        } catch (const AuthError& e) {
            ASSERT_TRUE(c.expectedError.has_value()) << e.what();
            EXPECT_EQ(e, *c.expectedError);
        }
        const auto gets = f.sent("/auth/me");
        ASSERT_EQ(gets.size(), c.expectedGets);
        EXPECT_EQ(gets[0].timeout, 60);
        EXPECT_TRUE(gets[0].url.startsWith(f.apiBase()));
        EXPECT_FALSE(gets[0].headers.contains("Content-Type"));
        EXPECT_EQ(gets[0].headers.value("Authorization"), "Bearer " + tokens.access.toUtf8());
        EXPECT_EQ(f.sent("/api/auth/refresh").size(), c.expectedRefreshes);
        if (c.expectedGets == 2 && c.expectedRefreshes == 1) {
            // The repeat reads the new token.
            EXPECT_NE(gets[1].headers.value("Authorization"),
                      gets[0].headers.value("Authorization"));
        }
    }
}

TEST(AuthRequests, GetWhoseRefreshFailsIsNotRepeated) {
    AuthTestFixture f;
    f.signIn();
    f.service.queue("/auth/me", answer(401));
    f.service.queue("/api/auth/refresh", answer(404));
    f.service.queue("/api/auth/refresh", answer(404));
    const auto error = authErrorOf([&] { f.auth->get<UserInfo>("/auth/me"); });
    ASSERT_TRUE(error);
    EXPECT_EQ(*error, AuthError::serverError(404));
    EXPECT_EQ(f.sent("/auth/me").size(), 1);
}

TEST(AuthRequests, ApiBasePostRefreshesOn401AndRepeatsOnce) {
    AuthTestFixture f;
    f.signIn();
    f.service.queue("/api/auth/resend-verification", answer(401));
    const auto reply = f.auth->post<MessageResponse>(
        "/api/auth/resend-verification", StringDictionary{{"email", "a@b"}}, false, false);
    EXPECT_FALSE(reply.message.isEmpty());
    const auto posts = f.sent("/api/auth/resend-verification");
    ASSERT_EQ(posts.size(), 2);
    EXPECT_TRUE(posts[1].url.startsWith(f.apiBase()));
    EXPECT_EQ(f.sent("/api/auth/refresh").size(), 1);
}

TEST(AuthRequests, InvalidBaseGivesInvalidURLWithoutSending) {
    AuthTestFixture f;
    AuthService broken(
        f.settings, f.secrets,
        [&](const HttpRequest&) -> HttpResponse {
            ADD_FAILURE() << "sent";
            return {};
        },
        "not a url", "::");
    auto error = authErrorOf([&] { broken.get<UserInfo>("/auth/me"); });
    ASSERT_TRUE(error);
    EXPECT_EQ(*error, AuthError::invalidURL());
    error = authErrorOf([&] { broken.requestPasswordReset("a@b"); });
    ASSERT_TRUE(error);
    EXPECT_EQ(*error, AuthError::invalidURL());
}

TEST(AuthRequests, BodyLogLines) {
    AuthTestFixture f;
    f.signIn();
    struct Case {
        const char* name;
        QByteArray body;
        std::optional<QString> expectedLine;
    };
    const QByteArray longDetail = R"({"detail":")" + QByteArray(400, 'x') + R"("})";
    const Case cases[] = {
        {"cut at 300 characters", longDetail,
         "[Auth] GET /auth/me body: " + QString::fromLatin1(longDetail.left(300)) + "\n"},
        {"not UTF-8: no body line", QByteArray("{\"detail\":\"\xff\xfe\"}"), std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DebugLog::truncate();
        f.answerWith = [&](const HttpRequest&) -> std::optional<HttpResponse> {
            return HttpResponse{418, {}, c.body};
        };
        EXPECT_TRUE(authErrorOf([&] { f.auth->get<UserInfo>("/auth/me"); }));
        const QString log = testsupport::debugLogText();
        EXPECT_TRUE(log.contains("[Auth] GET /auth/me status: 418"));
        if (c.expectedLine)
            EXPECT_TRUE(log.contains(*c.expectedLine)) << log.toStdString();
        else
            EXPECT_FALSE(log.contains("body:")) << log.toStdString();
    }
}

TEST(AuthRequests, DecodeFailureOfSuccessIsLoggedAndThrown) {
    AuthTestFixture f;
    f.signIn();
    f.service.queue("/user/usage", answer(200, R"({"weekly_words_used":1})"));
    EXPECT_THROW(f.auth->loadUsageStats(), DecodingError);
    EXPECT_TRUE(testsupport::debugLogText().contains("[Auth] GET /user/usage decode error: "));
}
