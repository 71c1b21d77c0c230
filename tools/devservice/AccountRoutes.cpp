// The sign-in paths under "/api/auth/" and the account records "/auth/me"
// and "/user/usage".
#include "Routes.h"

namespace devservice {

namespace {

QJsonObject tokenBody(const TokenPair& pair) {
    return QJsonObject{{"access_token", QString::fromLatin1(pair.access)},
                       {"refresh_token", QString::fromLatin1(pair.refresh)},
                       {"token_type", "bearer"}};
}

}  // namespace

void registerAccountRoutes(Router& router, ServiceState& state) {
    router.add("POST", "/api/auth/login", [&state](const Request& req, Response& res) {
        auto body = jsonBody(req, res);
        if (!body ||
            !requireFields(*body, res,
                           {{"email", QJsonValue::String}, {"password", QJsonValue::String}}))
            return;
        const QString email = body->value("email").toString();
        if (!state.checkPassword(email, body->value("password").toString())) {
            sendDetail(res, 401, QStringLiteral("Invalid email or password"));
            return;
        }
        sendJson(res, 200, tokenBody(state.issueTokens(email)));
    });

    router.add("POST", "/api/auth/register", [&state](const Request& req, Response& res) {
        auto body = jsonBody(req, res);
        if (!body || !requireFields(*body, res,
                                    {{"email", QJsonValue::String},
                                     {"password", QJsonValue::String},
                                     {"name", QJsonValue::String},
                                     {"source_service", QJsonValue::String},
                                     {"language", QJsonValue::String}}))
            return;
        const QString email = body->value("email").toString().trimmed();
        if (!email.contains('@') || body->value("password").toString().isEmpty()) {
            sendDetail(res, 400, QStringLiteral("Enter a valid e-mail address and a password"));
            return;
        }
        Account account;
        account.email = email;
        account.password = body->value("password").toString();
        account.name = body->value("name").toString();
        if (!state.addAccount(account)) {
            sendDetail(res, 400, QStringLiteral("This e-mail is already registered"));
            return;
        }
        sendJson(res, 200,
                 QJsonObject{
                     {"message", "Registration complete. A confirmation e-mail has been sent to " +
                                     email + "."}});
    });

    router.add("POST", "/api/auth/telegram/token", [&state](const Request& req, Response& res) {
        auto body = jsonBody(req, res);
        if (!body || !requireFields(*body, res, {{"token", QJsonValue::String}})) return;
        auto email = state.takeTelegramToken(body->value("token").toString().toUtf8());
        if (!email || !state.account(*email)) {
            sendDetail(res, 401, QStringLiteral("The sign-in link is invalid or has expired"));
            return;
        }
        sendJson(res, 200, tokenBody(state.issueTokens(*email)));
    });

    router.add("POST", "/api/auth/refresh", [&state](const Request& req, Response& res) {
        auto body = jsonBody(req, res);
        if (!body || !requireFields(*body, res, {{"refresh_token", QJsonValue::String}})) return;
        auto pair = state.refresh(body->value("refresh_token").toString().toUtf8());
        if (!pair) {
            sendDetail(res, 401, QStringLiteral("Invalid or expired refresh token"));
            return;
        }
        sendJson(res, 200, tokenBody(*pair));
    });

    router.add("POST", "/api/auth/resend-verification", [](const Request& req, Response& res) {
        auto body = jsonBody(req, res);
        if (!body || !requireFields(*body, res, {{"email", QJsonValue::String}})) return;
        sendJson(res, 200,
                 QJsonObject{{"message", "A new confirmation e-mail has been sent to " +
                                             body->value("email").toString() + "."}});
    });

    router.add("POST", "/api/auth/password-reset/request", [](const Request& req, Response& res) {
        auto body = jsonBody(req, res);
        if (!body ||
            !requireFields(*body, res,
                           {{"email", QJsonValue::String}, {"source_service", QJsonValue::String}}))
            return;
        sendJson(res, 200,
                 QJsonObject{{"message",
                              QStringLiteral(
                                  "If this e-mail is registered, a reset link is on its way.")}});
    });

    router.add("GET", "/auth/me", [&state](const Request& req, Response& res) {
        auto account = requireAccount(req, res, state);
        if (!account) return;
        QJsonObject out{{"id", account->id},
                        {"email", account->email},
                        {"subscription_tier", account->tier},
                        {"is_admin", account->isAdmin}};
        if (!account->name.isEmpty()) out["name"] = account->name;
        sendJson(res, 200, out);
    });

    router.add("GET", "/user/usage", [&state](const Request& req, Response& res) {
        auto account = requireAccount(req, res, state);
        if (!account) return;
        sendJson(res, 200,
                 QJsonObject{{"weekly_words_used", double(account->weeklyWordsUsed)},
                             {"weekly_words_limit", double(account->weeklyWordsLimit)},
                             {"subscription_tier", account->tier}});
    });
}

}  // namespace devservice
