// The update mirrors: the manifest under each mirror's path and the update
// archives. Nothing is published until a test (or the run command) puts it
// there; until then every path answers 404, as an empty mirror does.
#include <QUrlQuery>
#include <map>
#include <memory>
#include <mutex>

#include "Routes.h"

namespace devservice {

namespace {

struct Mirrors {
    std::mutex mutex;
    std::map<QByteArray, QByteArray> manifests;  // by path
    std::map<QString, QByteArray> archives;      // by name
};

QString queryValue(const Request& req, const char* name) {
    return QUrlQuery(QString::fromUtf8(req.query))
        .queryItemValue(QLatin1String(name), QUrl::FullyDecoded);
}

}  // namespace

void registerUpdateRoutes(Router& router, Router& control) {
    auto mirrors = std::make_shared<Mirrors>();
    const QByteArray manifestPaths[] = {
        "/ORMIL-linux/manifest.json",
        "/updates/ORMIL-linux/manifest.json",
        "/ormil-updates/ORMIL-linux/manifest.json",
        "/ormil-bucket/ORMIL-linux/manifest.json",
    };
    for (const QByteArray& path : manifestPaths) {
        router.add("GET", path, [mirrors, path](const Request&, Response& res) {
            std::lock_guard lock(mirrors->mutex);
            const auto it = mirrors->manifests.find(path);
            if (it == mirrors->manifests.end()) {
                sendDetail(res, 404, QStringLiteral("Not Found"));
                return;
            }
            res.setJson(200, it->second);
        });
    }

    // "/updates/archive?name=NAME"
    router.add("GET", "/updates/archive", [mirrors](const Request& req, Response& res) {
        std::lock_guard lock(mirrors->mutex);
        const auto it = mirrors->archives.find(queryValue(req, "name"));
        if (it == mirrors->archives.end()) {
            sendDetail(res, 404, QStringLiteral("Not Found"));
            return;
        }
        res.status = 200;
        res.body = it->second;
        res.setHeader("Content-Type", "application/zip");
    });

    // "?path=MIRROR_PATH", the body (any bytes) is served there from now on.
    control.add("POST", "/__control/updates/manifest",
                [mirrors](const Request& req, Response& res) {
                    std::lock_guard lock(mirrors->mutex);
                    mirrors->manifests[queryValue(req, "path").toUtf8()] = req.body;
                    sendJson(res, 200, QJsonObject());
                });

    // "?name=NAME", the body is the archive.
    control.add("POST", "/__control/updates/archive", [mirrors](const Request& req, Response& res) {
        std::lock_guard lock(mirrors->mutex);
        mirrors->archives[queryValue(req, "name")] = req.body;
        sendJson(res, 200, QJsonObject());
    });
}

}  // namespace devservice
