#pragma once

// The stand-in's memory: accounts and their tokens, the requests it received,
// the answers a test queued, and the gauges of requests in flight.

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <set>

#include "HttpServer.h"

namespace devservice {

struct Account {
    QString id;
    QString email;
    QString password;
    QString name;
    QString tier = QStringLiteral("free");
    bool isAdmin = false;
    qint64 weeklyWordsUsed = 0;
    qint64 weeklyWordsLimit = 2000;
};

struct TokenPair {
    QByteArray access;
    QByteArray refresh;
};

// An answer a test put in line for one path; it replaces the path's own
// behaviour for exactly one request.
struct QueuedAnswer {
    QByteArray method;  // empty: any method
    int status = 200;
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;
    int delayMs = 0;
    bool drop = false;
};

class ServiceState {
public:
    ServiceState();

    // --- accounts (the caller holds no lock; every call locks itself)
    static constexpr const char* kDemoEmail = "demo@ormil.test";
    static constexpr const char* kDemoPassword = "demo";

    // False when the e-mail is taken.
    bool addAccount(Account account);
    std::optional<Account> account(const QString& email) const;
    // Applies fn to the stored account; false when there is none.
    bool updateAccount(const QString& email, const std::function<void(Account&)>& fn);
    std::optional<Account> checkPassword(const QString& email, const QString& password) const;
    TokenPair issueTokens(const QString& email);
    // The account a bearer token belongs to, when the token is current.
    std::optional<Account> accountForAccessToken(const QByteArray& token) const;
    // Rotates the pair: the old refresh and access tokens stop working.
    std::optional<TokenPair> refresh(const QByteArray& refreshToken);
    void addTelegramToken(const QByteArray& token, const QString& email);
    // One-time: the token is gone after this call.
    std::optional<QString> takeTelegramToken(const QByteArray& token);
    // Makes the access tokens (and with `refreshToo` the refresh tokens) of
    // one account, or of all when email is empty, invalid.
    int expireTokens(const QString& email, bool refreshToo);

    // --- the synchronised collections of each account, by collection name
    // ("settings", "dictionary", ...); none until the first PUT.
    std::optional<QJsonObject> syncedCollection(const QString& email, const QString& name) const;
    void setSyncedCollection(const QString& email, const QString& name, const QJsonObject& value);

    // --- what the tests see
    void record(const Request& request);
    QJsonArray requests() const;
    void enqueue(const QByteArray& path, QueuedAnswer answer);
    std::optional<QueuedAnswer> takeQueued(const QByteArray& path, const QByteArray& method);
    void enterFlight();
    void leaveFlight();
    QJsonObject flightGauges() const;
    void hold(const QByteArray& path);
    void release(const QByteArray& path);  // empty: every path
    // Blocks while the path is held. False when the service stops.
    bool waitWhileHeld(const QByteArray& path);
    // Sleeps ms unless the service stops first. False when it stopped.
    bool pause(int ms);
    // Forgets requests, queued answers, holds, gauges, accounts and tokens,
    // and puts the demo account back.
    void reset();
    void shutdown();

private:
    void addDemoAccountLocked();

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::map<QString, Account> m_accounts;  // by lower-case e-mail
    std::map<QByteArray, QString> m_accessTokens;
    std::map<QByteArray, QString> m_refreshTokens;
    std::map<QByteArray, QString> m_telegramTokens;
    std::map<std::pair<QString, QString>, QJsonObject> m_synced;  // (lower-case e-mail, name)
    QJsonArray m_requests;
    std::map<QByteArray, std::deque<QueuedAnswer>> m_queued;
    std::set<QByteArray> m_held;
    int m_inFlight = 0;
    int m_maxInFlight = 0;
    qint64 m_requestCount = 0;
    bool m_stopping = false;
};

}  // namespace devservice
