#pragma once

#include <QString>
#include <exception>
#include <string>

// The error of every account operation, with the text the user sees.
// The account calls also pass transport failures (HttpError) and bodies of
// the wrong shape (DecodingError) through unchanged.
class AuthError : public std::exception {
public:
    enum class Kind {
        serverError,    // status(): the HTTP status
        serverMessage,  // message(): the server's "detail" text
        invalidURL,
        invalidResponse,
        noRefreshToken,
        sessionRejected,
        keychainLocked,
    };

    static AuthError serverError(int status) { return AuthError(Kind::serverError, status, {}); }
    static AuthError serverMessage(const QString& detail) {
        return AuthError(Kind::serverMessage, 0, detail);
    }
    static AuthError invalidURL() { return AuthError(Kind::invalidURL); }
    static AuthError invalidResponse() { return AuthError(Kind::invalidResponse); }
    static AuthError noRefreshToken() { return AuthError(Kind::noRefreshToken); }
    static AuthError sessionRejected() { return AuthError(Kind::sessionRejected); }
    static AuthError keychainLocked() { return AuthError(Kind::keychainLocked); }

    Kind kind() const { return m_kind; }
    int status() const { return m_status; }
    const QString& message() const { return m_message; }

    // The user-facing text.
    QString errorDescription() const;
    // The form used in log lines, for example serverError(503).
    QString debugDescription() const;
    const char* what() const noexcept override { return m_what.c_str(); }

    bool operator==(const AuthError& other) const {
        return m_kind == other.m_kind && m_status == other.m_status && m_message == other.m_message;
    }

private:
    explicit AuthError(Kind kind, int status = 0, QString message = {});

    Kind m_kind;
    int m_status;
    QString m_message;
    std::string m_what;
};

// The default textual description of any error an account call can throw,
// for log lines.
QString describeError(const std::exception& error);
