// Test control under "/__control/", a prefix the real service never uses.
// Requests to it are not recorded and not counted in flight.
#include <QJsonArray>
#include <QJsonDocument>

#include "Routes.h"

namespace devservice {

void registerControlRoutes(Router& router, ServiceState& state) {
    // {"path", "method"?, "status"?, "body"? (text) | "json"? (any JSON),
    //  "headers"? {name: value}, "delay_ms"?, "drop"?, "count"?}
    router.add("POST", "/__control/queue", [&state](const Request& req, Response& res) {
        auto body = jsonBody(req, res);
        if (!body || !requireFields(*body, res, {{"path", QJsonValue::String}})) return;
        QueuedAnswer answer;
        answer.method = body->value("method").toString().toUtf8();
        answer.status = body->value("status").toInt(200);
        if (body->contains("json")) {
            const QJsonValue json = body->value("json");
            answer.body = json.isObject()
                              ? QJsonDocument(json.toObject()).toJson(QJsonDocument::Compact)
                              : QJsonDocument(json.toArray()).toJson(QJsonDocument::Compact);
            answer.headers.append(
                qMakePair(QByteArray("Content-Type"), QByteArray("application/json")));
        } else {
            answer.body = body->value("body").toString().toUtf8();
        }
        const QJsonObject headers = body->value("headers").toObject();
        for (auto it = headers.begin(); it != headers.end(); ++it)
            answer.headers.append(qMakePair(it.key().toUtf8(), it.value().toString().toUtf8()));
        answer.delayMs = body->value("delay_ms").toInt(0);
        answer.drop = body->value("drop").toBool(false);
        const int count = std::max(1, body->value("count").toInt(1));
        for (int i = 0; i < count; ++i)
            state.enqueue(body->value("path").toString().toUtf8(), answer);
        sendJson(res, 200, QJsonObject{{"queued", count}});
    });

    router.add("GET", "/__control/requests", [&state](const Request&, Response& res) {
        sendJson(res, 200, QJsonObject{{"requests", state.requests()}});
    });

    router.add("GET", "/__control/in-flight", [&state](const Request&, Response& res) {
        sendJson(res, 200, state.flightGauges());
    });

    // {"path"}: requests to the path wait until it is released.
    router.add("POST", "/__control/hold", [&state](const Request& req, Response& res) {
        auto body = jsonBody(req, res);
        if (!body || !requireFields(*body, res, {{"path", QJsonValue::String}})) return;
        state.hold(body->value("path").toString().toUtf8());
        sendJson(res, 200, QJsonObject());
    });

    // {"path"?}: without a path, every held path is released.
    router.add("POST", "/__control/release", [&state](const Request& req, Response& res) {
        auto body = jsonBody(req, res);
        if (!body) return;
        state.release(body->value("path").toString().toUtf8());
        sendJson(res, 200, QJsonObject());
    });

    // {"email"?, "refresh"?}: the access tokens (and refresh tokens too) of
    // one account, or of all, stop working.
    router.add("POST", "/__control/expire-tokens", [&state](const Request& req, Response& res) {
        auto body = jsonBody(req, res);
        if (!body) return;
        const int count =
            state.expireTokens(body->value("email").toString(), body->value("refresh").toBool());
        sendJson(res, 200, QJsonObject{{"expired", count}});
    });

    // {"email", "password", "name"?, "tier"?, "is_admin"?, "weekly_words_used"?,
    //  "weekly_words_limit"?, "sign_in"?}; with "sign_in" the answer holds a
    // fresh token pair.
    router.add("POST", "/__control/accounts", [&state](const Request& req, Response& res) {
        auto body = jsonBody(req, res);
        if (!body ||
            !requireFields(*body, res,
                           {{"email", QJsonValue::String}, {"password", QJsonValue::String}}))
            return;
        Account account;
        account.email = body->value("email").toString();
        account.password = body->value("password").toString();
        account.name = body->value("name").toString();
        account.tier = body->value("tier").toString(QStringLiteral("free"));
        account.isAdmin = body->value("is_admin").toBool();
        account.weeklyWordsUsed = body->value("weekly_words_used").toInteger(0);
        account.weeklyWordsLimit = body->value("weekly_words_limit").toInteger(2000);
        if (!state.addAccount(account)) {
            sendDetail(res, 409, QStringLiteral("account exists"));
            return;
        }
        QJsonObject out{{"email", account.email}};
        if (body->value("sign_in").toBool()) {
            const TokenPair pair = state.issueTokens(account.email);
            out["access_token"] = QString::fromLatin1(pair.access);
            out["refresh_token"] = QString::fromLatin1(pair.refresh);
        }
        sendJson(res, 200, out);
    });

    // {"token", "email"}: a one-time Telegram sign-in token.
    router.add("POST", "/__control/telegram-token", [&state](const Request& req, Response& res) {
        auto body = jsonBody(req, res);
        if (!body || !requireFields(*body, res,
                                    {{"token", QJsonValue::String}, {"email", QJsonValue::String}}))
            return;
        state.addTelegramToken(body->value("token").toString().toUtf8(),
                               body->value("email").toString());
        sendJson(res, 200, QJsonObject());
    });

    router.add("POST", "/__control/reset", [&state](const Request&, Response& res) {
        state.reset();
        sendJson(res, 200, QJsonObject());
    });
}

}  // namespace devservice
