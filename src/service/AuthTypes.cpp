#include "service/AuthTypes.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QTextBoundaryFinder>
#include <cmath>

DecodingError::DecodingError(const QString& description)
    : std::runtime_error(description.toStdString()) {}

namespace {

const char* typeName(const QJsonValue& v) {
    switch (v.type()) {
        case QJsonValue::Null:
            return "null";
        case QJsonValue::Bool:
            return "Bool";
        case QJsonValue::Double:
            return "Number";
        case QJsonValue::String:
            return "String";
        case QJsonValue::Array:
            return "Array";
        case QJsonValue::Object:
            return "Object";
        case QJsonValue::Undefined:
            break;
    }
    return "nothing";
}

[[noreturn]] void keyNotFound(const QString& key) {
    throw DecodingError(
        QString("keyNotFound(\"%1\"): No value associated with key \"%1\".").arg(key));
}

[[noreturn]] void typeMismatch(const QString& key, const char* expected, const QJsonValue& v) {
    throw DecodingError(
        QString("typeMismatch(%1, \"%2\"): Expected to decode %1 but found %3 instead.")
            .arg(expected, key, typeName(v)));
}

bool absent(const QJsonValue& v) {
    return v.isUndefined() || v.isNull();
}

QString requiredString(const QJsonObject& json, const QString& key) {
    const QJsonValue v = json.value(key);
    if (v.isUndefined()) keyNotFound(key);
    if (!v.isString()) typeMismatch(key, "String", v);
    return v.toString();
}

std::optional<QString> optionalString(const QJsonObject& json, const QString& key) {
    const QJsonValue v = json.value(key);
    if (absent(v)) return std::nullopt;
    if (!v.isString()) typeMismatch(key, "String", v);
    return v.toString();
}

std::optional<bool> optionalBool(const QJsonObject& json, const QString& key) {
    const QJsonValue v = json.value(key);
    if (absent(v)) return std::nullopt;
    if (!v.isBool()) typeMismatch(key, "Bool", v);
    return v.toBool();
}

qint64 requiredInteger(const QJsonObject& json, const QString& key) {
    const QJsonValue v = json.value(key);
    if (v.isUndefined()) keyNotFound(key);
    if (!v.isDouble()) typeMismatch(key, "Int", v);
    const double d = v.toDouble();
    // A fraction or a number outside the integer range is not an integer.
    if (d != std::floor(d) || std::fabs(d) > 9.0e18) typeMismatch(key, "Int", v);
    return static_cast<qint64>(d);
}

}  // namespace

QJsonObject LoginRequest::toJson() const {
    return {{"email", email}, {"password", password}};
}

RegisterRequest::RegisterRequest(QString email_, QString password_, QString name_,
                                 const QLocale& locale)
    : email(std::move(email_)),
      password(std::move(password_)),
      name(std::move(name_)),
      source_service(QStringLiteral("ormil")),
      language(languageCode(locale)) {}

QString RegisterRequest::languageCode(const QLocale& locale) {
    const QLocale::Language lang = locale.language();
    if (lang == QLocale::C || lang == QLocale::AnyLanguage) return QStringLiteral("ru");
    const QString code = QLocale::languageToCode(lang);
    return code.isEmpty() ? QStringLiteral("ru") : code;
}

QJsonObject RegisterRequest::toJson() const {
    return {{"email", email},
            {"password", password},
            {"name", name},
            {"source_service", source_service},
            {"language", language}};
}

RegisterRequest RegisterRequest::fromJson(const QJsonObject& json) {
    return RegisterRequest(requiredString(json, "email"), requiredString(json, "password"),
                           requiredString(json, "name"));
}

QJsonObject TelegramTokenRequest::toJson() const {
    return {{"token", token}};
}

QJsonObject toJson(const StringDictionary& body) {
    QJsonObject out;
    for (const auto& [key, value] : body) out.insert(key, value);
    return out;
}

AuthResponse AuthResponse::fromJson(const QJsonObject& json) {
    return {requiredString(json, "access_token"), requiredString(json, "refresh_token")};
}

MessageResponse MessageResponse::fromJson(const QJsonObject& json) {
    return {requiredString(json, "message")};
}

ErrorResponse ErrorResponse::fromJson(const QJsonObject& json) {
    return {requiredString(json, "detail")};
}

UserInfo UserInfo::fromJson(const QJsonObject& json) {
    UserInfo info;
    info.id = requiredString(json, "id");
    info.email = requiredString(json, "email");
    info.name = optionalString(json, "name");
    info.subscription_tier = requiredString(json, "subscription_tier");
    info.is_admin = optionalBool(json, "is_admin");
    return info;
}

QJsonObject UserInfo::toJson() const {
    QJsonObject out{{"id", id}, {"email", email}, {"subscription_tier", subscription_tier}};
    if (name) out.insert("name", *name);
    if (is_admin) out.insert("is_admin", *is_admin);
    return out;
}

UsageStats UsageStats::fromJson(const QJsonObject& json) {
    UsageStats stats;
    stats.weekly_words_used = requiredInteger(json, "weekly_words_used");
    stats.weekly_words_limit = requiredInteger(json, "weekly_words_limit");
    stats.subscription_tier = optionalString(json, "subscription_tier");
    return stats;
}

QJsonObject UsageStats::toJson() const {
    QJsonObject out{{"weekly_words_used", double(weekly_words_used)},
                    {"weekly_words_limit", double(weekly_words_limit)}};
    if (subscription_tier) out.insert("subscription_tier", *subscription_tier);
    return out;
}

QJsonObject parseJsonObject(const QByteArray& body) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError)
        throw DecodingError("dataCorrupted: The given data was not valid JSON. (" +
                            error.errorString() + ")");
    if (!doc.isObject())
        throw DecodingError(
            "typeMismatch(Dictionary): Expected to decode a dictionary but found another value.");
    return doc.object();
}

QByteArray encodeBody(const QJsonObject& body) {
    return QJsonDocument(body).toJson(QJsonDocument::Compact);
}
