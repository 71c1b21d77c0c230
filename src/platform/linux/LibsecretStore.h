#pragma once

#include "platform/SecretStore.h"

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
