#include "ServiceState.h"

#include <QJsonObject>
#include <QRandomGenerator>
#include <QUuid>
#include <chrono>

namespace devservice {

namespace {

constexpr qsizetype kMaxRecordedRequests = 10000;

QString key(const QString& email) {
    return email.trimmed().toLower();
}

QByteArray newToken(const char* prefix) {
    QByteArray bytes(24, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(bytes.data()),
                                          bytes.size() / 4);
    return prefix + bytes.toHex();
}

}  // namespace

ServiceState::ServiceState() {
    std::lock_guard lock(m_mutex);
    addDemoAccountLocked();
}

void ServiceState::addDemoAccountLocked() {
    Account demo;
    demo.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    demo.email = QString::fromLatin1(kDemoEmail);
    demo.password = QString::fromLatin1(kDemoPassword);
    demo.name = QStringLiteral("Demo");
    demo.tier = QStringLiteral("pro");
    demo.weeklyWordsLimit = 100000;
    m_accounts[key(demo.email)] = demo;
}

bool ServiceState::addAccount(Account account) {
    std::lock_guard lock(m_mutex);
    if (m_accounts.count(key(account.email))) return false;
    if (account.id.isEmpty()) account.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    m_accounts[key(account.email)] = std::move(account);
    return true;
}

std::optional<Account> ServiceState::account(const QString& email) const {
    std::lock_guard lock(m_mutex);
    auto it = m_accounts.find(key(email));
    if (it == m_accounts.end()) return std::nullopt;
    return it->second;
}

bool ServiceState::updateAccount(const QString& email, const std::function<void(Account&)>& fn) {
    std::lock_guard lock(m_mutex);
    auto it = m_accounts.find(key(email));
    if (it == m_accounts.end()) return false;
    fn(it->second);
    return true;
}

std::optional<Account> ServiceState::checkPassword(const QString& email,
                                                   const QString& password) const {
    auto found = account(email);
    if (!found || found->password != password) return std::nullopt;
    return found;
}

TokenPair ServiceState::issueTokens(const QString& email) {
    std::lock_guard lock(m_mutex);
    TokenPair pair{newToken("acc-"), newToken("ref-")};
    m_accessTokens[pair.access] = key(email);
    m_refreshTokens[pair.refresh] = key(email);
    return pair;
}

std::optional<Account> ServiceState::accountForAccessToken(const QByteArray& token) const {
    std::lock_guard lock(m_mutex);
    auto it = m_accessTokens.find(token);
    if (token.isEmpty() || it == m_accessTokens.end()) return std::nullopt;
    auto acc = m_accounts.find(it->second);
    if (acc == m_accounts.end()) return std::nullopt;
    return acc->second;
}

std::optional<TokenPair> ServiceState::refresh(const QByteArray& refreshToken) {
    QString email;
    {
        std::lock_guard lock(m_mutex);
        auto it = m_refreshTokens.find(refreshToken);
        if (refreshToken.isEmpty() || it == m_refreshTokens.end()) return std::nullopt;
        email = it->second;
        m_refreshTokens.erase(it);
        // The rotated-out pair's access tokens end with it.
        std::erase_if(m_accessTokens, [&](const auto& entry) { return entry.second == email; });
    }
    return issueTokens(email);
}

void ServiceState::addTelegramToken(const QByteArray& token, const QString& email) {
    std::lock_guard lock(m_mutex);
    m_telegramTokens[token] = key(email);
}

std::optional<QString> ServiceState::takeTelegramToken(const QByteArray& token) {
    std::lock_guard lock(m_mutex);
    auto it = m_telegramTokens.find(token);
    if (it == m_telegramTokens.end()) return std::nullopt;
    QString email = it->second;
    m_telegramTokens.erase(it);
    return email;
}

int ServiceState::expireTokens(const QString& email, bool refreshToo) {
    std::lock_guard lock(m_mutex);
    const QString who = key(email);
    auto matches = [&](const auto& entry) { return who.isEmpty() || entry.second == who; };
    int count = int(std::erase_if(m_accessTokens, matches));
    if (refreshToo) count += int(std::erase_if(m_refreshTokens, matches));
    return count;
}

void ServiceState::record(const Request& request) {
    QJsonArray headers;
    for (const auto& [name, value] : request.headers)
        headers.append(QJsonArray{QString::fromLatin1(name), QString::fromUtf8(value)});
    std::lock_guard lock(m_mutex);
    m_requests.append(QJsonObject{
        {"index", double(m_requestCount++)},
        {"method", QString::fromLatin1(request.method)},
        {"path", QString::fromUtf8(request.path)},
        {"query", QString::fromUtf8(request.query)},
        {"headers", headers},
        {"body_base64", QString::fromLatin1(request.body.toBase64())},
        {"remote_port", request.remotePort},
    });
    // A long manual run keeps only the most recent requests.
    while (m_requests.size() > kMaxRecordedRequests) m_requests.removeFirst();
}

QJsonArray ServiceState::requests() const {
    std::lock_guard lock(m_mutex);
    return m_requests;
}

void ServiceState::enqueue(const QByteArray& path, QueuedAnswer answer) {
    std::lock_guard lock(m_mutex);
    m_queued[path].push_back(std::move(answer));
}

std::optional<QueuedAnswer> ServiceState::takeQueued(const QByteArray& path,
                                                     const QByteArray& method) {
    std::lock_guard lock(m_mutex);
    auto it = m_queued.find(path);
    if (it == m_queued.end()) return std::nullopt;
    auto& line = it->second;
    for (auto a = line.begin(); a != line.end(); ++a) {
        if (!a->method.isEmpty() && a->method != method) continue;
        QueuedAnswer answer = std::move(*a);
        line.erase(a);
        return answer;
    }
    return std::nullopt;
}

void ServiceState::enterFlight() {
    std::lock_guard lock(m_mutex);
    m_maxInFlight = std::max(m_maxInFlight, ++m_inFlight);
    m_changed.notify_all();
}

void ServiceState::leaveFlight() {
    std::lock_guard lock(m_mutex);
    --m_inFlight;
    m_changed.notify_all();
}

QJsonObject ServiceState::flightGauges() const {
    std::lock_guard lock(m_mutex);
    return QJsonObject{{"in_flight", m_inFlight}, {"max_in_flight", m_maxInFlight}};
}

void ServiceState::hold(const QByteArray& path) {
    std::lock_guard lock(m_mutex);
    m_held.insert(path);
}

void ServiceState::release(const QByteArray& path) {
    std::lock_guard lock(m_mutex);
    if (path.isEmpty())
        m_held.clear();
    else
        m_held.erase(path);
    m_changed.notify_all();
}

bool ServiceState::waitWhileHeld(const QByteArray& path) {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_stopping || !m_held.count(path); });
    return !m_stopping;
}

bool ServiceState::pause(int ms) {
    std::unique_lock lock(m_mutex);
    return !m_changed.wait_for(lock, std::chrono::milliseconds(ms), [&] { return m_stopping; });
}

std::optional<QJsonObject> ServiceState::syncedCollection(const QString& email,
                                                          const QString& name) const {
    std::lock_guard lock(m_mutex);
    const auto it = m_synced.find({email.toLower(), name});
    if (it == m_synced.end()) return std::nullopt;
    return it->second;
}

void ServiceState::setSyncedCollection(const QString& email, const QString& name,
                                       const QJsonObject& value) {
    std::lock_guard lock(m_mutex);
    m_synced[{email.toLower(), name}] = value;
}

void ServiceState::reset() {
    std::lock_guard lock(m_mutex);
    m_accounts.clear();
    m_accessTokens.clear();
    m_refreshTokens.clear();
    m_telegramTokens.clear();
    m_synced.clear();
    m_requests = QJsonArray();
    m_queued.clear();
    m_held.clear();
    m_maxInFlight = m_inFlight;
    addDemoAccountLocked();
    m_changed.notify_all();
}

void ServiceState::shutdown() {
    std::lock_guard lock(m_mutex);
    m_stopping = true;
    m_changed.notify_all();
}

}  // namespace devservice
