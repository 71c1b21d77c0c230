#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QLocale>
#include <QString>
#include <map>
#include <optional>
#include <stdexcept>

// The JSON bodies of the account API. Keys are the field names exactly as
// written (snake_case included). Decoding ignores unknown keys; a required
// key that is missing, null or of another JSON type fails the whole decode
// with DecodingError; an optional key that is missing or null is absent.

// A body that does not have the shape its type needs.
class DecodingError : public std::runtime_error {
public:
    explicit DecodingError(const QString& description);
    QString description() const { return QString::fromUtf8(what()); }
};

struct LoginRequest {
    QString email;
    QString password;
    QJsonObject toJson() const;
};

struct RegisterRequest {
    QString email;
    QString password;
    QString name;
    QString source_service;
    QString language;

    // Fills "source_service" with "ormil" and "language" with the locale's
    // language code ("ru" when it has none).
    RegisterRequest(QString email, QString password, QString name,
                    const QLocale& locale = QLocale::system());
    QJsonObject toJson() const;
    // Reads only the three given fields; the other two are what the
    // constructor fills in.
    static RegisterRequest fromJson(const QJsonObject& json);
    static QString languageCode(const QLocale& locale);
};

struct TelegramTokenRequest {
    QString token;
    QJsonObject toJson() const;
};

// The bodies without a type of their own (refresh, password reset, resend).
using StringDictionary = std::map<QString, QString>;
QJsonObject toJson(const StringDictionary& body);

struct AuthResponse {
    QString access_token;
    QString refresh_token;
    static AuthResponse fromJson(const QJsonObject& json);
};

struct MessageResponse {
    QString message;
    static MessageResponse fromJson(const QJsonObject& json);
};

struct ErrorResponse {
    QString detail;
    static ErrorResponse fromJson(const QJsonObject& json);
};

struct UserInfo {
    QString id;
    QString email;
    std::optional<QString> name;
    QString subscription_tier;
    std::optional<bool> is_admin;
    static UserInfo fromJson(const QJsonObject& json);
    QJsonObject toJson() const;
};

struct UsageStats {
    qint64 weekly_words_used = 0;
    qint64 weekly_words_limit = 0;
    std::optional<QString> subscription_tier;
    static UsageStats fromJson(const QJsonObject& json);
    QJsonObject toJson() const;
};

// Parses a whole answer body as a JSON object and decodes T from it.
template <typename T>
T decodeBody(const QByteArray& body);
QJsonObject parseJsonObject(const QByteArray& body);

template <typename T>
T decodeBody(const QByteArray& body) {
    return T::fromJson(parseJsonObject(body));
}

// The compact JSON text of a request body.
QByteArray encodeBody(const QJsonObject& body);
