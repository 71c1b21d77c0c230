#include <QJsonArray>
#include <QJsonDocument>

#include "Routes.h"

namespace devservice {

void Router::add(const QByteArray& method, const QByteArray& path, Handler handler) {
    m_routes[{method, path}] = std::move(handler);
}

void Router::dispatch(const Request& request, Response& response) const {
    auto it = m_routes.find({request.method, request.path});
    if (it != m_routes.end()) {
        it->second(request, response);
        return;
    }
    for (const auto& [route, handler] : m_routes) {
        if (route.second == request.path) {
            sendDetail(response, 405, QStringLiteral("Method Not Allowed"));
            return;
        }
    }
    sendDetail(response, 404, QStringLiteral("Not Found"));
}

void sendJson(Response& res, int status, const QJsonObject& object) {
    res.setJson(status, QJsonDocument(object).toJson(QJsonDocument::Compact));
}

void sendDetail(Response& res, int status, const QString& detail) {
    sendJson(res, status, QJsonObject{{"detail", detail}});
}

static void sendValidationError(Response& res, const QString& field, const QString& message) {
    const QJsonObject item{{"loc", QJsonArray{"body", field}}, {"msg", message}};
    sendJson(res, 422, QJsonObject{{"detail", QJsonArray{item}}});
}

std::optional<QJsonObject> jsonBody(const Request& req, Response& res) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(req.body, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        sendValidationError(res, QString(), QStringLiteral("the body is not a JSON object"));
        return std::nullopt;
    }
    return doc.object();
}

bool requireFields(const QJsonObject& body, Response& res,
                   std::initializer_list<std::pair<const char*, QJsonValue::Type>> fields) {
    for (const auto& [name, type] : fields) {
        const QJsonValue value = body.value(QLatin1String(name));
        if (value.type() == type) continue;
        sendValidationError(res, QLatin1String(name),
                            value.isUndefined() || value.isNull() ? QStringLiteral("field required")
                                                                  : QStringLiteral("wrong type"));
        return false;
    }
    return true;
}

std::optional<QList<FormPart>> multipartBody(const Request& req, Response& res) {
    auto boundary = multipartBoundary(req.header("Content-Type"));
    if (!boundary) {
        sendDetail(res, 400, QStringLiteral("Expected multipart/form-data with a boundary"));
        return std::nullopt;
    }
    auto parts = parseMultipart(req.body, *boundary);
    if (!parts) sendDetail(res, 400, QStringLiteral("Malformed multipart body"));
    return parts;
}

std::optional<Account> requireAccount(const Request& req, Response& res, ServiceState& state) {
    const QByteArray token = req.bearerToken();
    if (token.isEmpty()) {
        sendDetail(res, 401, QStringLiteral("Not authenticated"));
        return std::nullopt;
    }
    auto account = state.accountForAccessToken(token);
    if (!account) sendDetail(res, 401, QStringLiteral("Token expired or invalid"));
    return account;
}

}  // namespace devservice
