#include "service/AuthError.h"

#include "core/L10n.h"
#include "service/AuthTypes.h"
#include "service/HttpClient.h"

AuthError::AuthError(Kind kind, int status, QString message)
    : m_kind(kind), m_status(status), m_message(std::move(message)) {
    m_what = debugDescription().toStdString();
}

QString AuthError::errorDescription() const {
    switch (m_kind) {
        case Kind::serverError:
            return QString("Server error (%1)").arg(m_status);
        case Kind::serverMessage:
            return m_message;
        case Kind::invalidURL:
            return QStringLiteral("Invalid URL");
        case Kind::invalidResponse:
            return QStringLiteral("Invalid response from server");
        case Kind::noRefreshToken:
        case Kind::sessionRejected:
            return L10n::sessionExpiredTitle() + ". " + L10n::sessionExpiredText();
        case Kind::keychainLocked:
            return QStringLiteral("Keychain is locked");
    }
    return {};
}

QString AuthError::debugDescription() const {
    switch (m_kind) {
        case Kind::serverError:
            return QString("serverError(%1)").arg(m_status);
        case Kind::serverMessage:
            return QString("serverMessage(\"%1\")").arg(m_message);
        case Kind::invalidURL:
            return QStringLiteral("invalidURL");
        case Kind::invalidResponse:
            return QStringLiteral("invalidResponse");
        case Kind::noRefreshToken:
            return QStringLiteral("noRefreshToken");
        case Kind::sessionRejected:
            return QStringLiteral("sessionRejected");
        case Kind::keychainLocked:
            return QStringLiteral("keychainLocked");
    }
    return {};
}

QString describeError(const std::exception& error) {
    if (auto* auth = dynamic_cast<const AuthError*>(&error)) return auth->debugDescription();
    if (auto* decoding = dynamic_cast<const DecodingError*>(&error)) return decoding->description();
    return QString::fromUtf8(error.what());
}
