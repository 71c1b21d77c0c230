// Client error reports: a batch of events, read back through the request log.
#include <QJsonArray>

#include "Routes.h"

namespace devservice {

void registerErrorEventRoutes(Router& router, ServiceState& state) {
    router.add("POST", "/client-events/errors", [&state](const Request& req, Response& res) {
        if (!requireAccount(req, res, state)) return;
        auto body = jsonBody(req, res);
        if (!body || !requireFields(*body, res, {{"events", QJsonValue::Array}})) return;
        const QJsonArray events = body->value("events").toArray();
        for (const QJsonValue& event : events) {
            if (!event.isObject()) {
                sendDetail(res, 422, QStringLiteral("Every event must be an object"));
                return;
            }
        }
        sendJson(res, 200, QJsonObject{{"accepted", events.size()}});
    });
}

}  // namespace devservice
