#include "service/WireReader.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QVariant>
#include <cmath>

WireReader::WireReader(const QByteArray& body) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError)
        throw WireDecodingError(QStringLiteral("The data isn't valid JSON: ") +
                                error.errorString());
    if (!doc.isObject()) throw WireDecodingError(QStringLiteral("Expected a JSON object"));
    m_object = doc.object();
}

WireReader::WireReader(const QJsonValue& value) {
    if (!value.isObject()) throw WireDecodingError(QStringLiteral("Expected a JSON object"));
    m_object = value.toObject();
}

std::optional<QString> WireReader::optionalString(const char* key) const {
    const QJsonValue v = present(key);
    if (v.isUndefined()) return std::nullopt;
    if (!v.isString()) throw mismatch(key);
    return v.toString();
}

std::optional<bool> WireReader::optionalBool(const char* key) const {
    const QJsonValue v = present(key);
    if (v.isUndefined()) return std::nullopt;
    if (!v.isBool()) throw mismatch(key);
    return v.toBool();
}

std::optional<qint64> WireReader::optionalInt(const char* key) const {
    const QJsonValue v = present(key);
    if (v.isUndefined()) return std::nullopt;
    if (!v.isDouble()) throw mismatch(key);
    const QVariant variant = v.toVariant();
    if (variant.typeId() == QMetaType::LongLong) return variant.toLongLong();
    const double d = v.toDouble();
    // Whole numbers only, and within the signed 64-bit range.
    if (std::floor(d) != d || d < -9.2233720368547758e18 || d >= 9.2233720368547758e18)
        throw mismatch(key);
    return qint64(d);
}

QJsonValue WireReader::present(const char* key) const {
    const QJsonValue v = m_object.value(QLatin1String(key));
    return v.isNull() ? QJsonValue(QJsonValue::Undefined) : v;
}

WireDecodingError WireReader::mismatch(const char* key) {
    return WireDecodingError(
        QStringLiteral("The value of \"%1\" has the wrong type").arg(QLatin1String(key)));
}
