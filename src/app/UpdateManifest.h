#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <optional>

// The update manifest the mirrors publish. Decoding is strict: a required
// key that is missing, null or of another JSON type (a "mandatory" of 0, a
// "fileSize" given as text) fails the whole manifest; unknown keys are
// ignored. Only version, downloadUrl(s), sha256 and releaseNotes are used.
struct UpdateManifest {
    QString version;
    QString releaseDate;
    QString downloadUrl;
    std::optional<QStringList> downloadUrls;
    QString sha256;
    QString releaseNotes;
    qint64 fileSize = 0;
    std::optional<QString> minVersion;
    bool mandatory = false;

    // The manifest, or why it does not decode.
    static struct UpdateManifestDecoded decode(const QByteArray& body);
    // Fields in declaration order; absent optionals left out.
    QByteArray encode() const;

    // downloadUrl first (when not empty), then each further location once.
    QStringList downloadLocations() const;
};

struct UpdateManifestDecoded {
    std::optional<UpdateManifest> manifest;
    QString error;
};
