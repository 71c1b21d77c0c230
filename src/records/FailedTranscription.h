#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <optional>

// One recording whose transcription failed, kept for a manual retry.
// Stored in "failed_queue.json" as an object with the keys below; dates are
// seconds (with fraction) since 2001-01-01 00:00:00 UTC.
struct FailedTranscription {
    QString id;             // upper-case UUID text
    QString audioFileName;  // "failed_" + id + ".wav" / ".m4a", inside the queue folder
    QString language;
    QString provider;
    QString toneStyle;
    double duration = 0;  // seconds
    QString errorMessage;
    double createdAt = 0;                         // seconds since 2001-01-01 UTC; the first failure
    qint64 audioSize = 0;                         // bytes
    QString audioFormat = QStringLiteral("wav");  // "ogg", "wav" or "m4a": what the bytes are

    QDateTime createdAtDate() const;
    static double referenceSeconds(const QDateTime& date);

    QJsonObject toJson() const;
    // Every key but "audioFormat" (absent or null: "wav") is required with its
    // type; a file name that could leave the queue folder is refused too.
    // On failure *error says why.
    static std::optional<FailedTranscription> fromJson(const QJsonObject& object,
                                                       QString* error = nullptr);

    bool operator==(const FailedTranscription&) const = default;
};
