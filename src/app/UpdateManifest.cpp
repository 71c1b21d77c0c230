#include "app/UpdateManifest.h"

#include <QJsonArray>
#include <QJsonDocument>

#include "service/WireReader.h"

UpdateManifestDecoded UpdateManifest::decode(const QByteArray& body) {
    try {
        const WireReader r(body);
        UpdateManifest m;
        m.version = r.string("version");
        m.releaseDate = r.string("releaseDate");
        m.downloadUrl = r.string("downloadUrl");
        const QJsonValue urls = r.present("downloadUrls");
        if (!urls.isUndefined()) {
            if (!urls.isArray()) throw WireReader::mismatch("downloadUrls");
            QStringList list;
            for (const QJsonValue& u : urls.toArray()) {
                if (!u.isString()) throw WireReader::mismatch("downloadUrls");
                list << u.toString();
            }
            m.downloadUrls = list;
        }
        m.sha256 = r.string("sha256");
        m.releaseNotes = r.string("releaseNotes");
        m.fileSize = r.integer("fileSize");
        m.minVersion = r.optionalString("minVersion");
        m.mandatory = r.boolean("mandatory");
        return {m, {}};
    } catch (const WireDecodingError& e) {
        return {std::nullopt, e.description()};
    }
}

QByteArray UpdateManifest::encode() const {
    // QJsonObject sorts its keys; the order of the fields is kept by hand.
    auto text = [](const QString& s) {
        return QJsonDocument(QJsonArray{s}).toJson(QJsonDocument::Compact).mid(1).chopped(1);
    };
    QByteArray out = "{\"version\":" + text(version) + ",\"releaseDate\":" + text(releaseDate) +
                     ",\"downloadUrl\":" + text(downloadUrl);
    if (downloadUrls) {
        out +=
            ",\"downloadUrls\":" +
            QJsonDocument(QJsonArray::fromStringList(*downloadUrls)).toJson(QJsonDocument::Compact);
    }
    out += ",\"sha256\":" + text(sha256) + ",\"releaseNotes\":" + text(releaseNotes) +
           ",\"fileSize\":" + QByteArray::number(fileSize);
    if (minVersion) out += ",\"minVersion\":" + text(*minVersion);
    out += QByteArray(",\"mandatory\":") + (mandatory ? "true" : "false") + "}";
    return out;
}

QStringList UpdateManifest::downloadLocations() const {
    QStringList out;
    if (!downloadUrl.isEmpty()) out << downloadUrl;
    for (const QString& url : downloadUrls.value_or(QStringList())) {
        if (!url.isEmpty() && !out.contains(url)) out << url;
    }
    return out;
}
