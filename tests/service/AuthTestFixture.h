#pragma once

#include <QList>
#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "core/AppState.h"
#include "platform/DebugLog.h"
#include "platform/Clock.h"
#include "platform/NotificationCenter.h"
#include "platform/SecretStore.h"
#include "platform/SettingsStore.h"
#include "service/AuthService.h"
#include "service/HttpClient.h"
#include "support/DevService.h"
#include "support/TestSupport.h"
#include "fakes/FakeSecretStore.h"

// An account session against its own stand-in service. The sign-in base is
// "http://localhost:PORT" and the API base "http://127.0.0.1:PORT", so the
// requests show which base they went to. Every request passes through
// `failWith` (a test may make one fail in transport) and is recorded.
class AuthTestFixture {
public:
    DevService service;
    SettingsStore settings;
    FakeSecretStore secrets;
    AppState state{settings, {}};
    HttpClient client{Clock::system()};
    std::function<std::optional<HttpError>(const HttpRequest&)> failWith;
    // Answers a request in place of the service (bytes it cannot send).
    std::function<std::optional<HttpResponse>(const HttpRequest&)> answerWith;
    std::unique_ptr<AuthService> auth;
    std::atomic<int> sessionExpiredPosts{0};

    AuthTestFixture() {
        auth = std::make_unique<AuthService>(
            settings, secrets, [this](const HttpRequest& r) { return send(r); }, apiBase(),
            authBase(), &state);
        m_connection = QObject::connect(&NotificationCenter::shared(),
                                        &NotificationCenter::ormilSessionExpired,
                                        [this] { ++sessionExpiredPosts; });
    }
    ~AuthTestFixture() {
        // Let queued AppState writes and notices of this test land here,
        // not in the next one.
        testsupport::processEvents(10);
        QObject::disconnect(m_connection);
    }

    QString apiBase() const { return service.baseUrl(); }
    QString authBase() const { return QString("http://localhost:%1").arg(service.port()); }

    // A signed-in account whose tokens the session holds.
    DevService::Tokens signIn(const QString& email = "user@ormil.test") {
        const auto tokens = service.createSignedInAccount(
            QJsonObject{{"email", email}, {"password", "secret"}, {"name", "User"}});
        auth->saveToken(tokens.access, "access_token");
        auth->saveToken(tokens.refresh, "refresh_token");
        return tokens;
    }

    QList<HttpRequest> sent(const QString& pathSuffix = {}) const {
        std::lock_guard lock(m_mutex);
        QList<HttpRequest> out;
        for (const HttpRequest& r : m_sent)
            if (pathSuffix.isEmpty() || r.url.endsWith(pathSuffix)) out.append(r);
        return out;
    }

    // Runs queued main-thread work (AppState writes, notices).
    void settle() { testsupport::processEvents(20); }

private:
    HttpResponse send(const HttpRequest& r) {
        {
            std::lock_guard lock(m_mutex);
            m_sent.append(r);
        }
        if (failWith)
            if (auto error = failWith(r)) throw *error;
        if (answerWith)
            if (auto response = answerWith(r)) return *response;
        return client.send(r);
    }

    mutable std::mutex m_mutex;
    QList<HttpRequest> m_sent;
    QMetaObject::Connection m_connection;
};

// Runs fn and returns the AuthError it throws (fails the test when it
// throws none or another kind).
template <typename Fn>
std::optional<AuthError> authErrorOf(Fn&& fn) {
    try {
        fn();
    } catch (const AuthError& e) {
        return e;
    } catch (const std::exception& e) {
        ADD_FAILURE() << "unexpected error: " << e.what();
        return std::nullopt;
    }
    ADD_FAILURE() << "no error thrown";
    return std::nullopt;
}
