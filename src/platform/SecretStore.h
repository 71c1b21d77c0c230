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
