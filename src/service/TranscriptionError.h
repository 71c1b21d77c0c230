#pragma once

#include <QString>
#include <exception>
#include <string>

// The error of every transcription upload, with the text the user sees.
// Only the session-expired text follows the interface language; it is built
// each time it is asked for.
class TranscriptionError : public std::exception {
public:
    enum class Kind {
        networkError,      // no usable answer: transport, undecodable 200, failed refresh
        serverError,       // the service's (or a fixed client) message, shown unchanged
        invalidURL,        // the configured endpoint is not a URL
        invalidResponse,   // the answer was not an HTTP response
        sessionExpired,    // the user must sign in again
        wordLimitReached,  // status 429
    };

    // `underlying` is the underlying error's own description.
    static TranscriptionError networkError(const QString& underlying);
    static TranscriptionError serverError(const QString& message);
    static TranscriptionError invalidURL();
    static TranscriptionError invalidResponse();
    static TranscriptionError sessionExpired();
    static TranscriptionError wordLimitReached();

    Kind kind() const { return m_kind; }
    // The carried message (server error) or underlying description (network
    // error); empty for the other kinds.
    const QString& payload() const { return m_payload; }
    // The user-facing text.
    QString errorDescription() const;
    const char* what() const noexcept override;

private:
    TranscriptionError(Kind kind, QString payload) : m_kind(kind), m_payload(std::move(payload)) {}

    Kind m_kind;
    QString m_payload;
    mutable std::string m_what;
};
