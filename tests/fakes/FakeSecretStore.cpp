#include "fakes/FakeSecretStore.h"

SecretStore::ReadResult FakeSecretStore::read(const QString& service, const QString& account) {
    std::lock_guard lock(m_mutex);
    if (forcedReadStatus) return {*forcedReadStatus, std::nullopt};
    auto it = items.find({service, account});
    if (it == items.end()) return {itemNotFound, std::nullopt};
    return {success, it->second};
}

int FakeSecretStore::add(const QString& service, const QString& account, const QByteArray& data) {
    std::lock_guard lock(m_mutex);
    if (forcedAddStatus) return *forcedAddStatus;
    if (items.count({service, account})) return duplicateItem;
    items[{service, account}] = data;
    return success;
}

int FakeSecretStore::update(const QString& service, const QString& account,
                            const QByteArray& data) {
    std::lock_guard lock(m_mutex);
    auto it = items.find({service, account});
    if (it == items.end()) return itemNotFound;
    it->second = data;
    return success;
}

int FakeSecretStore::remove(const QString& service, const QString& account) {
    std::lock_guard lock(m_mutex);
    ++removeCalls;
    return items.erase({service, account}) ? success : itemNotFound;
}
