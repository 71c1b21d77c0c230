#pragma once

#include <QString>
#include <map>
#include <mutex>

#include "core/AppState.h"

class SecretStore;
class SettingsStore;

// Keeps the account's two bearer tokens ("access_token", "refresh_token")
// across launches in three tiers: memory, the desktop's secret store, and a
// plain copy in the settings store. The copy is what keeps the user signed in
// when the secret store is locked, absent or refuses to answer; nothing is
// deleted because the secret store is unavailable. An empty token counts as
// absent everywhere. Safe from any thread.
class TokenStorage {
public:
    static constexpr const char* keychainService = "com.ormil.app";
    static constexpr const char* fallbackPrefix = "ormil_auth_fallback_";

    TokenStorage(SettingsStore& settings, SecretStore& secrets);

    void saveToken(const QString& token, const QString& key);
    // The token (never empty) and a status: 0 found, -25300 not found,
    // -25308 locked (the session may still be valid), other codes: unusable.
    TokenReadResult readToken(const QString& key);
    void deleteToken(const QString& key);
    // Start-up probe: only logs what it finds; changes nothing.
    void migrateKeychainIfNeeded();

private:
    SettingsStore& m_settings;
    SecretStore& m_secrets;
    std::mutex m_cacheLock;
    std::map<QString, QString> m_inMemoryTokens;
};
