#include "platform/linux/DesktopPortal.h"

#include <QDBusMessage>
#include <QDBusVariant>
#include <QVariantMap>

namespace {
const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
}  // namespace

bool DesktopPortal::registerHostApplication(QDBusConnection bus, const QString& appId,
                                            int timeoutMs, QString* error) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.host.portal.Registry"),
        QStringLiteral("Register"));
    call << appId << QVariantMap{};
    const QDBusMessage reply = bus.call(call, QDBus::Block, timeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage) return true;
    if (error)
        *error = reply.errorName().isEmpty() ? QStringLiteral("no answer") : reply.errorName();
    return false;
}

uint DesktopPortal::interfaceVersion(QDBusConnection bus, const QString& interface, int timeoutMs) {
    QDBusMessage get = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << interface << QStringLiteral("version");
    const QDBusMessage reply = bus.call(get, QDBus::Block, timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return 0;
    return reply.arguments().first().value<QDBusVariant>().variant().toUInt();
}
