#include "platform/linux/DBusNotifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

#include "platform/DebugLog.h"

DBusNotifier::DBusNotifier(QDBusConnection bus, QObject* parent)
    : QObject(parent), m_bus(std::move(bus)) {}

void DBusNotifier::notify(const QString& title, const QString& body) {
    if (!m_bus.isConnected()) {
        debugLog(QStringLiteral("[Notify] no session bus — notice dropped: ") + title);
        emit delivered(0, QStringLiteral("no session bus"));
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    call << QStringLiteral("Ormil") << uint(0) << QString() << title << body << QStringList()
         << QVariantMap() << int(-1);
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, title](QDBusPendingCallWatcher* w) {
                QDBusPendingReply<uint> reply = *w;
                w->deleteLater();
                if (reply.isError()) {
                    debugLog(QStringLiteral("[Notify] notice not shown (") +
                             reply.error().message() + QStringLiteral("): ") + title);
                    emit delivered(0, reply.error().message());
                    return;
                }
                emit delivered(reply.value(), QString());
            });
}
