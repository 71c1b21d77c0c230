#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>

#include "core/AppState.h"
#include "service/AuthError.h"
#include "service/AuthTypes.h"
#include "service/HttpClient.h"
#include "service/TokenStorage.h"

class SecretStore;
class SettingsStore;

// Sends one request and blocks until its answer; throws HttpError when no
// answer came. The real one is HttpClient::shared().send.
using HttpSend = std::function<HttpResponse(const HttpRequest&)>;

// The account session: sign-in (e-mail and password, or a one-time token),
// registration, password reset, logout, a token refresh shared by every
// caller, and the user's record and usage in AppState.
//
// Every network operation blocks its caller: call them from worker threads,
// never from the main thread. They throw AuthError, HttpError (transport) or
// DecodingError (an answer of the wrong shape). AppState is written only on
// the main thread, queued before the operation returns.
class AuthService {
public:
    // An account with this address is an administrator whatever the
    // service's "is_admin" says.
    static constexpr const char* kAdministratorEmail = "admin@ormil.app";

    static AuthService& shared();
    // Makes AppState::shared() ask this service's token storage. Call once
    // at start-up, before AppState::shared() is first used.
    static void installAsTokenReader();

    // baseURL: the API base; authURL: the sign-in base; both without a
    // trailing slash. appState: nullptr means AppState::shared(), looked up
    // on the main thread when it is written.
    AuthService(SettingsStore& settings, SecretStore& secrets, HttpSend send, QString baseURL,
                QString authURL, AppState* appState = nullptr);
    AuthService(const AuthService&) = delete;
    AuthService& operator=(const AuthService&) = delete;

    const QString& baseURL() const { return m_baseURL; }
    const QString& authURL() const { return m_authURL; }

    void login(const QString& email, const QString& password);
    void loginWithTelegramToken(const QString& token);
    // Each returns the service's message.
    QString registerAccount(const QString& email, const QString& password, const QString& name);
    QString resendVerification(const QString& email);
    QString requestPasswordReset(const QString& email);
    // Deletes both tokens and signs AppState out; sends nothing.
    void logout();

    // Obtains a new token pair. Callers that arrive while a refresh is in
    // flight wait for that same exchange and share its outcome.
    void refreshAccessToken();
    // Callers waiting on the refresh in flight right now.
    int pendingRefreshCallers() const;

    void loadUserInfo();
    void loadUsageStats();

    std::optional<QString> getAccessToken();
    bool hasStoredSession();

    // Token storage, see TokenStorage.
    void saveToken(const QString& token, const QString& key) { m_tokens.saveToken(token, key); }
    TokenReadResult readToken(const QString& key) { return m_tokens.readToken(key); }
    void deleteToken(const QString& key) { m_tokens.deleteToken(key); }
    void migrateKeychainIfNeeded() { m_tokens.migrateKeychainIfNeeded(); }

    // Authenticated GET on the API base that decodes a 200 answer as
    // Response. A 401 is refreshed and repeated once when a refresh token is
    // stored.
    template <typename Response>
    Response get(const QString& path, bool isRetry = false) {
        return decodeAnswer<Response>(getData(path, isRetry),
                                      "[Auth] GET " + path + " decode error: ");
    }

    // JSON POST that decodes a 2xx answer as Response. With useAuthURL it
    // goes to the sign-in base first and once more to the API base when
    // that fails to answer or answers 500 or more; such calls are never
    // refreshed on 401. Body: a QJsonObject, a StringDictionary or a request
    // type with toJson().
    template <typename Response, typename Body>
    Response post(const QString& path, const Body& body, bool isRetry = false,
                  bool useAuthURL = true) {
        return decodeAnswer<Response>(
            postData(path, encodeBody(bodyJson(body)), isRetry, useAuthURL),
            QStringLiteral("[Auth] Decode error: "));
    }

    // Replaces the values of "access_token" and "refresh_token" in JSON text
    // with "***".
    static QString maskTokens(const QString& text);

private:
    struct RefreshTask {
        std::promise<void> promise;
        std::shared_future<void> result = promise.get_future().share();
        int waiters = 0;
    };

    static QJsonObject bodyJson(const QJsonObject& body) { return body; }
    static QJsonObject bodyJson(const StringDictionary& body) { return toJson(body); }
    template <typename T>
    static QJsonObject bodyJson(const T& body) {
        return body.toJson();
    }

    template <typename Response>
    static Response decodeAnswer(const QByteArray& body, const QString& logPrefix) {
        try {
            return decodeBody<Response>(body);
        } catch (const DecodingError& error) {
            logDecodeError(logPrefix, error);
            throw;
        }
    }
    static void logDecodeError(const QString& prefix, const DecodingError& error);

    // The body of a successful answer; every failure thrown.
    QByteArray getData(const QString& path, bool isRetry);
    QByteArray postData(const QString& path, const QByteArray& body, bool isRetry, bool useAuthURL);
    [[noreturn]] static void throwErrorBody(const HttpResponse& response);
    HttpResponse sendRefresh(const QString& base, double timeout, const QByteArray& body);

    void performRefresh();
    void reportSessionExpired();
    void signedIn(const AuthResponse& tokens, const std::optional<QString>& email);
    void setSessionExpiredReported(bool value);
    void onAppState(std::function<void(AppState&)> fn);

    QString m_baseURL;
    QString m_authURL;
    HttpSend m_send;
    AppState* m_appState;
    TokenStorage m_tokens;

    // Guards the refresh in flight and the once-per-session report.
    mutable std::mutex m_refreshLock;
    std::shared_ptr<RefreshTask> m_refreshTask;
    bool m_sessionExpiredReported = false;
};
