#include "service/TokenStorage.h"

#include "platform/DebugLog.h"
#include "platform/SecretStore.h"
#include "platform/SettingsStore.h"

TokenStorage::TokenStorage(SettingsStore& settings, SecretStore& secrets)
    : m_settings(settings), m_secrets(secrets) {}

void TokenStorage::saveToken(const QString& token, const QString& key) {
    {
        std::lock_guard lock(m_cacheLock);
        m_inMemoryTokens[key] = token;
    }
    m_settings.set(fallbackPrefix + key, token);
    const QByteArray data = token.toUtf8();
    m_secrets.remove(keychainService, key);
    const int added = m_secrets.add(keychainService, key, data);
    if (added == SecretStore::duplicateItem) {
        const int updated = m_secrets.update(keychainService, key, data);
        if (updated != SecretStore::success)
            debugLog(QString("[Auth] SecItemUpdate for '%1' returned %2 (fallback active)")
                         .arg(key)
                         .arg(updated));
    } else if (added != SecretStore::success) {
        debugLog(QString("[Auth] SecItemAdd for '%1' returned %2 (fallback active)")
                     .arg(key)
                     .arg(added));
    }
}

TokenReadResult TokenStorage::readToken(const QString& key) {
    {
        std::lock_guard lock(m_cacheLock);
        auto it = m_inMemoryTokens.find(key);
        if (it != m_inMemoryTokens.end() && !it->second.isEmpty()) return {it->second, 0};
    }
    const SecretStore::ReadResult r = m_secrets.read(keychainService, key);
    const int status = r.status;
    if (status == SecretStore::success && r.data) {
        const QString token = QString::fromUtf8(*r.data);
        if (!token.isEmpty()) {
            {
                std::lock_guard lock(m_cacheLock);
                m_inMemoryTokens[key] = token;
            }
            if (m_settings.string(fallbackPrefix + key) != token)
                m_settings.set(fallbackPrefix + key, token);
            return {token, 0};
        }
    }
    const QString fallback = m_settings.string(fallbackPrefix + key).value_or(QString());
    if (!fallback.isEmpty()) {
        {
            std::lock_guard lock(m_cacheLock);
            m_inMemoryTokens[key] = fallback;
        }
        debugLog(QString("[Auth] Keychain read for '%1' returned %2; restored from fallback")
                     .arg(key)
                     .arg(status));
        return {fallback, 0};
    }
    if (status == SecretStore::authFailed) {
        debugLog(QString("[Auth] Keychain item '%1' inaccessible (status %2), deleting")
                     .arg(key)
                     .arg(status));
        deleteToken(key);
        return {std::nullopt, status};
    }
    if (status == SecretStore::interactionNotAllowed) {
        debugLog(QString("[Auth] Связка ключей заперта — токен '%1' пока недоступен (НЕ удаляем)")
                     .arg(key));
        return {std::nullopt, status};
    }
    return {std::nullopt, status};
}

void TokenStorage::deleteToken(const QString& key) {
    {
        std::lock_guard lock(m_cacheLock);
        m_inMemoryTokens.erase(key);
    }
    m_settings.remove(fallbackPrefix + key);
    m_secrets.remove(keychainService, key);
}

void TokenStorage::migrateKeychainIfNeeded() {
    for (const QString& key : {QStringLiteral("access_token"), QStringLiteral("refresh_token")}) {
        const int status = m_secrets.read(keychainService, key).status;
        if (status == SecretStore::success || status == SecretStore::itemNotFound) continue;
        if (status == SecretStore::interactionNotAllowed)
            debugLog(QString("[Auth] Связка ключей заперта — токен '%1' пока недоступен, ждём (НЕ "
                             "удаляем)")
                         .arg(key));
        else
            debugLog(
                QString("[Auth] Токен '%1': статус %2 — оставляем как есть").arg(key).arg(status));
    }
}
