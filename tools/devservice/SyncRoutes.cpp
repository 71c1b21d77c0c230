// The account's synchronised collections: GET and PUT of "/sync/settings",
// "/sync/dictionary", "/sync/snippets" and "/sync/text-expansions". A PUT
// replaces the whole collection; a GET answers what the last PUT stored.
#include <QJsonArray>

#include "Routes.h"

namespace devservice {

namespace {

struct Collection {
    const char* path;
    const char* name;
    // The settings travel wrapped in "settings" on a GET and bare on a PUT;
    // the lists are {"entries": [...]} both ways.
    bool isSettings;
};

const Collection kCollections[] = {
    {"/sync/settings", "settings", true},
    {"/sync/dictionary", "dictionary", false},
    {"/sync/snippets", "snippets", false},
    {"/sync/text-expansions", "text-expansions", false},
};

}  // namespace

void registerSyncRoutes(Router& router, ServiceState& state) {
    for (const Collection& c : kCollections) {
        router.add("GET", c.path, [&state, c](const Request& req, Response& res) {
            const auto account = requireAccount(req, res, state);
            if (!account) return;
            const auto stored = state.syncedCollection(account->email, QString::fromLatin1(c.name));
            if (c.isSettings)
                sendJson(res, 200, QJsonObject{{"settings", stored.value_or(QJsonObject())}});
            else
                sendJson(res, 200, stored.value_or(QJsonObject{{"entries", QJsonArray()}}));
        });
        router.add("PUT", c.path, [&state, c](const Request& req, Response& res) {
            const auto account = requireAccount(req, res, state);
            if (!account) return;
            const auto body = jsonBody(req, res);
            if (!body) return;
            if (!c.isSettings && !requireFields(*body, res, {{"entries", QJsonValue::Array}}))
                return;
            state.setSyncedCollection(account->email, QString::fromLatin1(c.name), *body);
            sendJson(res, 200, QJsonObject{{"ok", true}});
        });
    }
}

}  // namespace devservice
