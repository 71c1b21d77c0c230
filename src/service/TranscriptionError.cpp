#include "service/TranscriptionError.h"

#include "core/L10n.h"

TranscriptionError TranscriptionError::networkError(const QString& underlying) {
    return {Kind::networkError, underlying};
}

TranscriptionError TranscriptionError::serverError(const QString& message) {
    return {Kind::serverError, message};
}

TranscriptionError TranscriptionError::invalidURL() {
    return {Kind::invalidURL, {}};
}

TranscriptionError TranscriptionError::invalidResponse() {
    return {Kind::invalidResponse, {}};
}

TranscriptionError TranscriptionError::sessionExpired() {
    return {Kind::sessionExpired, {}};
}

TranscriptionError TranscriptionError::wordLimitReached() {
    return {Kind::wordLimitReached, {}};
}

QString TranscriptionError::errorDescription() const {
    switch (m_kind) {
        case Kind::networkError:
            return QStringLiteral("Network error: ") + m_payload;
        case Kind::serverError:
            return m_payload;
        case Kind::invalidURL:
            return QStringLiteral("Invalid API URL");
        case Kind::invalidResponse:
            return QStringLiteral("Invalid server response");
        case Kind::sessionExpired:
            return L10n::sessionExpiredTitle() + QStringLiteral(". ") + L10n::sessionExpiredText();
        case Kind::wordLimitReached:
            return QStringLiteral("Weekly word limit reached.");
    }
    return {};
}

const char* TranscriptionError::what() const noexcept {
    m_what = errorDescription().toStdString();
    return m_what.c_str();
}
