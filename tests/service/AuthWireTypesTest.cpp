#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QStringList>
#include <functional>

#include "service/AuthService.h"
#include "service/AuthTypes.h"

namespace {

QStringList keysOf(const QJsonObject& o) {
    QStringList keys = o.keys();
    keys.sort();
    return keys;
}

template <typename T>
bool decodes(const char* json) {
    try {
        decodeBody<T>(QByteArray(json));
        return true;
    } catch (const DecodingError&) {
        return false;
    }
}

}  // namespace

TEST(AuthWireTypes, DecodeTable) {
    struct Case {
        const char* name;
        std::function<bool(const char*)> decode;
        const char* json;
        bool ok;
    };
    const auto user = decodes<UserInfo>;
    const auto usage = decodes<UsageStats>;
    const auto tokens = decodes<AuthResponse>;
    const auto error = decodes<ErrorResponse>;
    const auto message = decodes<MessageResponse>;
    const Case cases[] = {
        {"user, optional keys absent", user,
         R"({"id":"1","email":"a@b","subscription_tier":"pro"})", true},
        {"user, optional keys null", user,
         R"({"id":"1","email":"a@b","subscription_tier":"pro","name":null,"is_admin":null})", true},
        {"user, unknown keys ignored", user,
         R"({"id":"1","email":"a@b","subscription_tier":"pro","extra":[1,2]})", true},
        {"user, numeric id", user, R"({"id":1,"email":"a@b","subscription_tier":"pro"})", false},
        {"user, no tier", user, R"({"id":"1","email":"a@b"})", false},
        {"user, null email", user, R"({"id":"1","email":null,"subscription_tier":"pro"})", false},
        {"user, admin as number", user,
         R"({"id":"1","email":"a@b","subscription_tier":"pro","is_admin":1})", false},
        {"usage without tier", usage, R"({"weekly_words_used":5,"weekly_words_limit":10})", true},
        {"usage without limit", usage, R"({"weekly_words_used":5})", false},
        {"usage with fraction", usage, R"({"weekly_words_used":5.5,"weekly_words_limit":10})",
         false},
        {"usage with text number", usage, R"({"weekly_words_used":"5","weekly_words_limit":10})",
         false},
        {"tokens", tokens, R"({"access_token":"a","refresh_token":"r","token_type":"bearer"})",
         true},
        {"tokens, refresh missing", tokens, R"({"access_token":"a"})", false},
        {"error detail text", error, R"({"detail":"No such user"})", true},
        {"error detail list", error, R"({"detail":[{"loc":["body","email"],"msg":"bad"}]})", false},
        {"message", message, R"({"message":"sent"})", true},
        {"not JSON", message, "<html>oops</html>", false},
        {"empty body", message, "", false},
        {"array, not object", message, R"(["message"])", false},
    };
    for (const Case& c : cases) EXPECT_EQ(c.decode(c.json), c.ok) << c.name;
}

TEST(AuthWireTypes, DecodedValues) {
    const auto info =
        decodeBody<UserInfo>(R"({"id":"u1","email":"a@b","subscription_tier":"pro"})");
    EXPECT_EQ(info.id, "u1");
    EXPECT_FALSE(info.name.has_value());
    EXPECT_FALSE(info.is_admin.has_value());
    const auto stats = decodeBody<UsageStats>(
        R"({"weekly_words_used":1500,"weekly_words_limit":-1,"subscription_tier":"plus"})");
    EXPECT_EQ(stats.weekly_words_used, 1500);
    EXPECT_EQ(stats.weekly_words_limit, -1);
    EXPECT_EQ(stats.subscription_tier, QString("plus"));
}

TEST(AuthWireTypes, RequestBodiesCarryExactlyTheirKeys) {
    const QLocale german(QLocale::German, QLocale::Germany);
    const RegisterRequest reg("a@b", "pw", "", german);
    EXPECT_EQ(keysOf(reg.toJson()),
              QStringList({"email", "language", "name", "password", "source_service"}));
    EXPECT_EQ(reg.toJson().value("source_service"), "ormil");
    EXPECT_EQ(reg.toJson().value("language"), "de");
    EXPECT_EQ(reg.toJson().value("name"), "");
    EXPECT_EQ(keysOf(LoginRequest{"a@b", "pw"}.toJson()), QStringList({"email", "password"}));
    EXPECT_EQ(keysOf(TelegramTokenRequest{"t"}.toJson()), QStringList({"token"}));
    const QByteArray compact = encodeBody(LoginRequest{"a@b", "p\"w"}.toJson());
    EXPECT_FALSE(compact.contains('\n'));
    EXPECT_EQ(QJsonDocument::fromJson(compact).object().value("password"), "p\"w");
}

TEST(AuthWireTypes, RegisterLanguageFallsBackToRussianWithoutLanguageCode) {
    EXPECT_EQ(RegisterRequest::languageCode(QLocale::c()), "ru");
    EXPECT_EQ(RegisterRequest::languageCode(QLocale(QLocale::English, QLocale::UnitedStates)),
              "en");
    // Decoding keeps the constant fields whatever the JSON says.
    const auto decoded = RegisterRequest::fromJson(QJsonObject{{"email", "a@b"},
                                                               {"password", "p"},
                                                               {"name", "n"},
                                                               {"source_service", "other"},
                                                               {"language", "xx"}});
    EXPECT_EQ(decoded.source_service, "ormil");
    EXPECT_EQ(decoded.language, RegisterRequest::languageCode(QLocale::system()));
}

TEST(AuthWireTypes, TokensAreMaskedInLoggedBodies) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {R"({"access_token":"abc.def","refresh_token":"r\"x","token_type":"bearer"})",
         R"({"access_token":"***","refresh_token":"***","token_type":"bearer"})"},
        {R"({ "access_token" : "abc" })", R"({ "access_token" : "***" })"},
        {R"({"email":"a@b","id":"1"})", R"({"email":"a@b","id":"1"})"},
        {"{\"refresh_token\":\n\t\"a\\\\\",\"access_token\":\"\"}",
         "{\"refresh_token\":\n\t\"***\",\"access_token\":\"***\"}"},
        // Not a whole string: left as it is.
        {R"({"access_token":null,"refresh_token":"cut)", R"({"access_token":null,"refresh_token":"cut)"},
        {R"({"my_access_token":"x"})", R"({"my_access_token":"x"})"},
    };
    for (const Case& c : cases) EXPECT_EQ(AuthService::maskTokens(c.in), c.out) << c.in;
}

TEST(AuthWireTypes, ErrorTextsForTheUser) {
    struct Case {
        AuthError error;
        QString text;
    };
    const Case cases[] = {
        {AuthError::serverError(503), "Server error (503)"},
        {AuthError::serverMessage("Пароль неверный"), "Пароль неверный"},
        {AuthError::invalidURL(), "Invalid URL"},
        {AuthError::invalidResponse(), "Invalid response from server"},
        {AuthError::noRefreshToken(), "Session expired. Sign in again to continue."},
        {AuthError::sessionRejected(), "Session expired. Sign in again to continue."},
        {AuthError::keychainLocked(), "Keychain is locked"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.error.errorDescription(), c.text) << c.error.what();
}
