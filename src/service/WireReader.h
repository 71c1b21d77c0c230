#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <optional>

#include "service/TranscriptionWire.h"

// Reads one wire record's fields with the strict rules of the service's
// JSON: a required key that is missing, null or of another type, an
// optional key of another type, or a fraction in a whole-number field throws
// WireDecodingError. Unknown keys are ignored.
class WireReader {
public:
    // The body must be one JSON object.
    explicit WireReader(const QByteArray& body);
    // A nested value that must be an object.
    explicit WireReader(const QJsonValue& value);

    QString string(const char* key) const { return required(key, optionalString(key)); }
    bool boolean(const char* key) const { return required(key, optionalBool(key)); }
    qint64 integer(const char* key) const { return required(key, optionalInt(key)); }

    std::optional<QString> optionalString(const char* key) const;
    std::optional<bool> optionalBool(const char* key) const;
    std::optional<qint64> optionalInt(const char* key) const;
    // Undefined for a missing or null key.
    QJsonValue present(const char* key) const;

    static WireDecodingError mismatch(const char* key);

private:
    template <typename T>
    static T required(const char* key, const std::optional<T>& value) {
        if (!value)
            throw WireDecodingError(
                QStringLiteral("No value for the required key \"%1\"").arg(QLatin1String(key)));
        return *value;
    }

    QJsonObject m_object;
};
