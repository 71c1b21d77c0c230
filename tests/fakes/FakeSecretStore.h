#pragma once

#include <map>
#include <mutex>

#include "platform/SecretStore.h"

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
