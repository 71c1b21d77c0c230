#pragma once

#include <QByteArray>
#include <QString>
#include <map>
#include <mutex>
#include <optional>

// Generic-password items of the desktop's secret store, addressed by a
// service and an account. Results carry the status codes the token storage
// tells apart.
class SecretStore {
public:
    enum Status : int {
        success = 0,
        duplicateItem = -25299,
        itemNotFound = -25300,
        authFailed = -25293,
        interactionNotAllowed = -25308,  // locked: the item may exist, never delete
        notAvailable = -25291,           // no secret service running, or it failed
    };
    struct ReadResult {
        int status = itemNotFound;
        std::optional<QByteArray> data;
    };

    virtual ~SecretStore() = default;
    virtual ReadResult read(const QString& service, const QString& account) = 0;
    virtual int add(const QString& service, const QString& account, const QByteArray& data) = 0;
    virtual int update(const QString& service, const QString& account, const QByteArray& data) = 0;
    virtual int remove(const QString& service, const QString& account) = 0;
};

// The Secret Service (org.freedesktop.secrets) through libsecret. Never
// prompts and never starts a secret service by itself: where none runs, every
// call answers notAvailable at once, so callers fall back to their copies.
class LibsecretStore : public SecretStore {
public:
    ReadResult read(const QString& service, const QString& account) override;
    int add(const QString& service, const QString& account, const QByteArray& data) override;
    int update(const QString& service, const QString& account, const QByteArray& data) override;
    int remove(const QString& service, const QString& account) override;
};

// In memory, with a status to force on the next calls; for tests.
class FakeSecretStore : public SecretStore {
public:
    ReadResult read(const QString& service, const QString& account) override;
    int add(const QString& service, const QString& account, const QByteArray& data) override;
    int update(const QString& service, const QString& account, const QByteArray& data) override;
    int remove(const QString& service, const QString& account) override;

    // When set, read() answers this status (and no data) instead.
    std::optional<int> forcedReadStatus;
    // When set, add() answers this status and stores nothing.
    std::optional<int> forcedAddStatus;
    std::map<std::pair<QString, QString>, QByteArray> items;
    int removeCalls = 0;

private:
    std::mutex m_mutex;
};
