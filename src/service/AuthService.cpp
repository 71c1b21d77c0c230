#include "service/AuthService.h"

#include <QUrl>
#include <algorithm>
#include <limits>

#include "platform/Characters.h"
#include "platform/DebugLog.h"
#include "platform/NotificationCenter.h"
#include "platform/SecretStore.h"
#include "platform/SettingsStore.h"
#include "platform/Threading.h"
#include "platform/linux/LibsecretStore.h"
#include "service/AnswerLimits.h"
#include "service/HttpServiceConfig.h"

namespace {

const QString kAccessToken = QStringLiteral("access_token");
const QString kRefreshToken = QStringLiteral("refresh_token");

constexpr double kGetTimeout = 60;
constexpr double kPostTimeout = 6;
constexpr double kPostFallbackTimeout = 8;
constexpr double kRefreshTimeout = 4;
constexpr double kRefreshFallbackTimeout = 6;
constexpr int kLoggedBodyCharacters = 300;

// base + path as one absolute URL, or nothing when it does not parse as one.
std::optional<QString> joinURL(const QString& base, const QString& path) {
    const QString text = base + path;
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty() || url.host().isEmpty()) return std::nullopt;
    return text;
}

// The body as text when it is valid UTF-8.
std::optional<QString> utf8Text(const QByteArray& body) {
    // Invalid sequences decode to U+FFFD, which does not encode back to the
    // same bytes.
    QString text = QString::fromUtf8(body);
    if (text.toUtf8() != body) return std::nullopt;
    return text;
}

void logBody(const QString& prefix, const QByteArray& body) {
    if (auto text = utf8Text(body))
        debugLog(prefix +
                 Characters::leading(AuthService::maskTokens(*text), kLoggedBodyCharacters));
}

// "pro plus" -> "Pro Plus": every word upper-case first, the rest lower.
QString capitalized(const QString& text) {
    QString out = text.toLower();
    bool startOfWord = true;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const QChar c = out.at(i);
        if (c.isLetterOrNumber()) {
            if (startOfWord) out[i] = c.toUpper();
            startOfWord = false;
        } else {
            startOfWord = c != '\'' && c != '_';
        }
    }
    return out;
}

int toInt(qint64 v) {
    return int(
        std::clamp<qint64>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

}  // namespace

AuthService& AuthService::shared() {
    static LibsecretStore secrets;
    static AuthService* instance = new AuthService(
        SettingsStore::shared(), secrets,
        [](const HttpRequest& request) { return HttpClient::shared().send(request); },
        ServiceConfig::apiBase(), ServiceConfig::authBase());
    return *instance;
}

void AuthService::installAsTokenReader() {
    AppState::setDefaultTokenReader(
        [](const QString& key) { return AuthService::shared().readToken(key); });
}

AuthService::AuthService(SettingsStore& settings, SecretStore& secrets, HttpSend send,
                         QString baseURL, QString authURL, AppState* appState)
    : m_baseURL(std::move(baseURL)),
      m_authURL(std::move(authURL)),
      m_send(std::move(send)),
      m_appState(appState),
      m_tokens(settings, secrets) {
    migrateKeychainIfNeeded();
}

QString AuthService::maskTokens(const QString& text) {
    // Every "access_token" or "refresh_token" member whose value is a whole
    // JSON string gets "***" for its value; the rest stays as it was.
    const auto isSpace = [](QChar c) {
        return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f' || c == u'\v';
    };
    QString out;
    qsizetype copied = 0;
    for (qsizetype i = 0; i < text.size();) {
        qsizetype at = -1;
        for (const QLatin1String key : {QLatin1String("\"access_token\""),
                                        QLatin1String("\"refresh_token\"")}) {
            if (QStringView(text).mid(i).startsWith(key)) at = i + key.size();
        }
        if (at < 0) {
            ++i;
            continue;
        }
        qsizetype p = at;
        while (p < text.size() && isSpace(text[p])) ++p;
        if (p >= text.size() || text[p] != u':') {
            i = at;
            continue;
        }
        ++p;
        while (p < text.size() && isSpace(text[p])) ++p;
        if (p >= text.size() || text[p] != u'"') {
            i = at;
            continue;
        }
        qsizetype end = p + 1;
        // An escape takes the character after it, but never a line break.
        while (end < text.size() && text[end] != u'"' &&
               !(text[end] == u'\\' && end + 1 < text.size() && text[end + 1] == u'\n'))
            end += text[end] == u'\\' ? 2 : 1;
        if (end >= text.size() || text[end] != u'"') {
            i = at;
            continue;
        }
        out += QStringView(text).mid(copied, p - copied);
        out += QLatin1String("\"***\"");
        copied = i = end + 1;
    }
    out += QStringView(text).mid(copied);
    return out;
}

void AuthService::onAppState(std::function<void(AppState&)> fn) {
    if (AppState* state = m_appState) {
        runOnMain(state, [state, fn = std::move(fn)] { fn(*state); });
        return;
    }
    // The shared state is looked up on the main thread, so that a first use
    // from a worker never creates it there.
    runOnMain([fn = std::move(fn)] { fn(AppState::shared()); });
}

void AuthService::setSessionExpiredReported(bool value) {
    std::lock_guard lock(m_refreshLock);
    m_sessionExpiredReported = value;
}

// ---- sign-in ----

void AuthService::signedIn(const AuthResponse& tokens, const std::optional<QString>& email) {
    saveToken(tokens.access_token, kAccessToken);
    saveToken(tokens.refresh_token, kRefreshToken);
    setSessionExpiredReported(false);
    onAppState([email](AppState& state) {
        state.setIsAuthenticated(true);
        if (email) state.setUserEmail(*email);
    });
}

void AuthService::login(const QString& email, const QString& password) {
    const auto tokens = post<AuthResponse>("/api/auth/login", LoginRequest{email, password});
    debugLog("[Auth] Login success, saving tokens");
    signedIn(tokens, email);
    debugLog("[Auth] Tokens saved to Keychain");
    try {
        loadUserInfo();
    } catch (const std::exception& error) {
        debugLog("[Auth] loadUserInfo failed (non-fatal): " + describeError(error));
    }
}

void AuthService::loginWithTelegramToken(const QString& token) {
    const auto tokens = post<AuthResponse>("/api/auth/telegram/token", TelegramTokenRequest{token});
    debugLog("[Auth] Telegram login success, saving tokens");
    signedIn(tokens, std::nullopt);
    try {
        loadUserInfo();
    } catch (const std::exception& error) {
        debugLog("[Auth] loadUserInfo after Telegram login failed (non-fatal): " +
                 describeError(error));
    }
}

QString AuthService::registerAccount(const QString& email, const QString& password,
                                     const QString& name) {
    return post<MessageResponse>("/api/auth/register", RegisterRequest(email, password, name))
        .message;
}

QString AuthService::resendVerification(const QString& email) {
    return post<MessageResponse>("/api/auth/resend-verification",
                                 StringDictionary{{"email", email}})
        .message;
}

QString AuthService::requestPasswordReset(const QString& email) {
    return post<MessageResponse>("/api/auth/password-reset/request",
                                 StringDictionary{{"email", email}, {"source_service", "ormil"}})
        .message;
}

void AuthService::logout() {
    deleteToken(kAccessToken);
    deleteToken(kRefreshToken);
    onAppState([](AppState& state) {
        state.setIsAuthenticated(false);
        state.setUserEmail(QString());
        state.setUserName(QString());
        state.setUserPlan(QStringLiteral("Free"));
        // The next account signed in in this process must not inherit it.
        state.setIsAdmin(false);
    });
}

// ---- refresh ----

void AuthService::refreshAccessToken() {
    std::shared_ptr<RefreshTask> task;
    bool owner = false;
    {
        std::lock_guard lock(m_refreshLock);
        if (!m_refreshTask) {
            m_refreshTask = std::make_shared<RefreshTask>();
            owner = true;
        } else {
            ++m_refreshTask->waiters;
        }
        task = m_refreshTask;
    }
    // The first caller runs the exchange on its own thread; the others wait
    // for its outcome. No pool thread is taken, so callers blocked on the
    // pool can never starve the refresh.
    if (owner) {
        try {
            performRefresh();
            task->promise.set_value();
        } catch (...) {
            task->promise.set_exception(std::current_exception());
        }
    }
    auto finish = [this, &task, owner] {
        std::lock_guard lock(m_refreshLock);
        if (!owner) --task->waiters;
        if (m_refreshTask == task) m_refreshTask.reset();
    };
    try {
        task->result.get();
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

int AuthService::pendingRefreshCallers() const {
    std::lock_guard lock(m_refreshLock);
    return m_refreshTask ? m_refreshTask->waiters : 0;
}

HttpResponse AuthService::sendRefresh(const QString& base, double timeout, const QByteArray& body) {
    const auto url = joinURL(base, "/api/auth/refresh");
    if (!url) throw AuthError::invalidURL();
    HttpRequest request;
    request.method = "POST";
    request.url = *url;
    request.headers.set("Content-Type", "application/json");
    request.body = body;
    request.timeout = timeout;
    AnswerLimitsTable::apply(request, AnswerKind::account);
    return m_send(request);
}

void AuthService::performRefresh() {
    const TokenReadResult refresh = readToken(kRefreshToken);
    if (!refresh.token) {
        if (refresh.status == SecretStore::interactionNotAllowed) {
            debugLog("[Auth] Продление отложено: связка ключей заперта");
            throw AuthError::keychainLocked();
        }
        debugLog(
            QString("[Auth] Продлить нечем: refresh-токена нет (статус %1)").arg(refresh.status));
        if (readToken(kAccessToken).token) reportSessionExpired();
        throw AuthError::noRefreshToken();
    }
    const QByteArray body = encodeBody(toJson(StringDictionary{{"refresh_token", *refresh.token}}));

    std::optional<HttpResponse> response;
    QString failure;
    try {
        HttpResponse first = sendRefresh(m_authURL, kRefreshTimeout, body);
        if (first.status > 499)
            failure = AuthError::serverError(first.status).debugDescription();
        else
            response = std::move(first);
    } catch (const AuthError& error) {
        failure = describeError(error);
    } catch (const HttpError& error) {
        failure = describeError(error);
    }
    if (!response) {
        debugLog("[Auth] Основной authURL недоступен при refresh (" + failure +
                 "), пробуем резервный " + m_baseURL);
        response = sendRefresh(m_baseURL, kRefreshFallbackTimeout, body);
    }

    debugLog(QString("[Auth] Продление сессии: статус %1").arg(response->status));
    if (!response->isSuccess()) {
        const int status = response->status;
        if (status == 400 || status == 401 || status == 403) {
            reportSessionExpired();
            throw AuthError::sessionRejected();
        }
        throw AuthError::serverError(status);
    }
    const auto tokens = decodeBody<AuthResponse>(response->body);
    saveToken(tokens.access_token, kAccessToken);
    saveToken(tokens.refresh_token, kRefreshToken);
    setSessionExpiredReported(false);
}

void AuthService::reportSessionExpired() {
    bool wasReported = false;
    {
        std::lock_guard lock(m_refreshLock);
        wasReported = m_sessionExpiredReported;
        m_sessionExpiredReported = true;
    }
    logout();
    if (wasReported) return;
    debugLog("[Auth] Сессия отвергнута сервером — просим войти заново");
    NotificationCenter::shared().postSessionExpired();
}

// ---- account records ----

void AuthService::loadUserInfo() {
    const auto info = get<UserInfo>("/auth/me");
    const bool isAdmin =
        info.is_admin.value_or(false) || info.email.toLower() == QLatin1String(kAdministratorEmail);
    onAppState([info, isAdmin](AppState& state) {
        state.setUserEmail(info.email);
        state.setUserName(info.name.value_or(QString()));
        state.setUserPlan(capitalized(info.subscription_tier));
        state.setIsAdmin(isAdmin);
    });
}

void AuthService::loadUsageStats() {
    const auto stats = get<UsageStats>("/user/usage");
    onAppState([stats](AppState& state) {
        state.setWordsUsed(toInt(stats.weekly_words_used));
        state.setWordsLimit(toInt(stats.weekly_words_limit));
        if (stats.subscription_tier) state.setUserPlan(capitalized(*stats.subscription_tier));
    });
}

std::optional<QString> AuthService::getAccessToken() {
    return readToken(kAccessToken).token;
}

bool AuthService::hasStoredSession() {
    return getAccessToken().has_value();
}

// ---- requests ----

void AuthService::logDecodeError(const QString& prefix, const DecodingError& error) {
    debugLog(prefix + error.description());
}

void AuthService::throwErrorBody(const HttpResponse& response) {
    std::optional<ErrorResponse> error;
    try {
        error = decodeBody<ErrorResponse>(response.body);
    } catch (const DecodingError&) {
    }
    if (error) throw AuthError::serverMessage(error->detail);
    throw AuthError::serverError(response.status);
}

QByteArray AuthService::getData(const QString& path, bool isRetry) {
    const auto url = joinURL(m_baseURL, path);
    if (!url) throw AuthError::invalidURL();
    HttpRequest request;
    request.method = "GET";
    request.url = *url;
    request.timeout = kGetTimeout;
    AnswerLimitsTable::apply(request, AnswerKind::account);
    if (auto token = readToken(kAccessToken).token)
        request.headers.set("Authorization", "Bearer " + token->toUtf8());
    debugLog("[Auth] GET " + path);
    const HttpResponse response = m_send(request);
    debugLog(QString("[Auth] GET %1 status: %2").arg(path).arg(response.status));
    logBody("[Auth] GET " + path + " body: ", response.body);
    if (response.status == 401 && !isRetry && readToken(kRefreshToken).token) {
        refreshAccessToken();
        return getData(path, true);
    }
    if (response.status == 200) return response.body;
    throwErrorBody(response);
}

QByteArray AuthService::postData(const QString& path, const QByteArray& body, bool isRetry,
                                 bool useAuthURL) {
    const auto url = joinURL(useAuthURL ? m_authURL : m_baseURL, path);
    if (!url) throw AuthError::invalidURL();
    HttpRequest request;
    request.method = "POST";
    request.url = *url;
    request.timeout = kPostTimeout;
    AnswerLimitsTable::apply(request, AnswerKind::account);
    request.headers.set("Content-Type", "application/json");
    request.body = body;
    debugLog(QString("[Auth] POST %1, body size: %2").arg(path).arg(body.size()));
    if (auto token = readToken(kAccessToken).token)
        request.headers.set("Authorization", "Bearer " + token->toUtf8());

    std::optional<HttpResponse> response;
    if (!useAuthURL) {
        response = m_send(request);
    } else {
        // The sign-in base gets one chance; when it does not answer or
        // answers 500 or more, the API base serves the same path once.
        std::exception_ptr firstFailure;
        QString failure;
        try {
            HttpResponse first = m_send(request);
            if (first.status > 499) {
                const AuthError error = AuthError::serverError(first.status);
                failure = error.debugDescription();
                firstFailure = std::make_exception_ptr(error);
            } else {
                response = std::move(first);
            }
        } catch (const HttpError& error) {
            failure = describeError(error);
            firstFailure = std::current_exception();
        }
        if (!response) {
            const auto fallbackURL = joinURL(m_baseURL, path);
            if (!fallbackURL) std::rethrow_exception(firstFailure);
            debugLog("[Auth] Основной authURL недоступен для " + path + " (" + failure +
                     "), пробуем резервный " + m_baseURL);
            request.url = *fallbackURL;
            request.timeout = kPostFallbackTimeout;
            response = m_send(request);
        }
    }

    debugLog(QString("[Auth] Response status: %1").arg(response->status));
    logBody(QStringLiteral("[Auth] Response body: "), response->body);
    if (response->status == 401 && !isRetry && !useAuthURL) {
        refreshAccessToken();
        return postData(path, body, true, false);
    }
    if (response->isSuccess()) return response->body;
    throwErrorBody(*response);
}
