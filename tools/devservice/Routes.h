#pragma once

// The stand-in's paths, one file per group. Each group adds its handlers to
// the router; a later group (sync, file jobs, updates) adds one more file and
// one more call in DevService.cpp.

#include <QJsonObject>
#include <QJsonValue>
#include <map>
#include <optional>
#include <utility>

#include "HttpServer.h"
#include "Multipart.h"
#include "ServiceState.h"

namespace devservice {

class Router {
public:
    void add(const QByteArray& method, const QByteArray& path, Handler handler);
    // Runs the handler of (method, path); 405 when only the path is known,
    // 404 when neither is.
    void dispatch(const Request& request, Response& response) const;

private:
    std::map<std::pair<QByteArray, QByteArray>, Handler> m_routes;
};

void registerAccountRoutes(Router& router, ServiceState& state);
void registerTranscriptionRoutes(Router& router, ServiceState& state);
void registerErrorEventRoutes(Router& router, ServiceState& state);
void registerControlRoutes(Router& router, ServiceState& state);
// Adds its own test control paths to `control`.
void registerFileRoutes(Router& router, ServiceState& state, Router& control);

// --- helpers shared by the groups

// {"detail": text} with the status.
void sendDetail(Response& res, int status, const QString& detail);
void sendJson(Response& res, int status, const QJsonObject& object);
// The body as a JSON object; otherwise answers 422 and gives nothing.
std::optional<QJsonObject> jsonBody(const Request& req, Response& res);
// Answers 422 (a list "detail", as validation errors come) unless every
// key holds a value of its type. Returns whether they all do.
bool requireFields(const QJsonObject& body, Response& res,
                   std::initializer_list<std::pair<const char*, QJsonValue::Type>> fields);
// The parts of a multipart/form-data body; otherwise answers 400 and gives
// nothing.
std::optional<QList<FormPart>> multipartBody(const Request& req, Response& res);
// The account of the request's bearer token; otherwise answers 401.
std::optional<Account> requireAccount(const Request& req, Response& res, ServiceState& state);

}  // namespace devservice
