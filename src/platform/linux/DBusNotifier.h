#pragma once

#include <QDBusConnection>
#include <QObject>

#include "platform/Notifier.h"

// Desktop notices through org.freedesktop.Notifications on the session bus.
// The call is asynchronous; a missing notification daemon (or bus) is logged
// and otherwise ignored.
class DBusNotifier : public QObject, public Notifier {
    Q_OBJECT
public:
    explicit DBusNotifier(QDBusConnection bus = QDBusConnection::sessionBus(),
                          QObject* parent = nullptr);
    void notify(const QString& title, const QString& body) override;

signals:
    // After the daemon answered (id) or the call failed (id 0, error text).
    void delivered(uint id, const QString& error);

private:
    QDBusConnection m_bus;
};
