// Desktop notices over the test environment's session bus, with a stand-in
// notification daemon on a second connection.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QSignalSpy>

#include "platform/linux/DBusNotifier.h"
#include "support/TestSupport.h"

namespace {

const char* kService = "org.freedesktop.Notifications";
const char* kPath = "/org/freedesktop/Notifications";

// Answers Notify calls like a notification daemon and keeps them.
class FakeNotificationDaemon : public QDBusVirtualObject {
public:
    struct Call {
        QString app, summary, body;
        uint replaces;
    };
    std::vector<Call> calls;

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.member() != "Notify" || message.arguments().size() != 8) return false;
        const QVariantList a = message.arguments();
        calls.push_back({a[0].toString(), a[3].toString(), a[4].toString(), a[1].toUInt()});
        connection.send(message.createReply(QVariant::fromValue(uint(calls.size() + 41))));
        return true;
    }
};

bool hasSessionBus() {
    return QDBusConnection::sessionBus().isConnected();
}

TEST(NotifierDBus, DeliversTitleAndBodyToTheDaemon) {
    if (!hasSessionBus()) GTEST_SKIP() << "no session bus";
    QDBusConnection daemonBus =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, "daemon");
    FakeNotificationDaemon daemon;
    ASSERT_TRUE(daemonBus.registerVirtualObject(kPath, &daemon));
    ASSERT_TRUE(daemonBus.registerService(kService));

    DBusNotifier notifier;
    QSignalSpy delivered(&notifier, &DBusNotifier::delivered);
    notifier.notify("Ormil", "Запись уже >24 мин. Качество результата может снизиться!");
    ASSERT_TRUE(testsupport::waitUntil([&] { return delivered.count() == 1; }));
    EXPECT_EQ(delivered.at(0).at(0).toUInt(), 42u);
    ASSERT_EQ(daemon.calls.size(), 1u);
    EXPECT_EQ(daemon.calls[0].app, "Ormil");
    EXPECT_EQ(daemon.calls[0].summary, "Ormil");
    EXPECT_EQ(daemon.calls[0].body, "Запись уже >24 мин. Качество результата может снизиться!");
    EXPECT_EQ(daemon.calls[0].replaces, 0u);
    daemonBus.unregisterService(kService);
    QDBusConnection::disconnectFromBus("daemon");
}

TEST(NotifierDBus, AMissingDaemonOrBusIsLoggedAndIgnored) {
    if (!hasSessionBus()) GTEST_SKIP() << "no session bus";
    if (QDBusConnection::sessionBus().interface()->activatableServiceNames().value().contains(
            kService))
        GTEST_SKIP() << "a notification daemon is installed and would start";
    DBusNotifier notifier;
    QSignalSpy delivered(&notifier, &DBusNotifier::delivered);
    notifier.notify("Ormil", "nobody listens");
    ASSERT_TRUE(testsupport::waitUntil([&] { return delivered.count() == 1; }));
    EXPECT_EQ(delivered.at(0).at(0).toUInt(), 0u);
    EXPECT_FALSE(delivered.at(0).at(1).toString().isEmpty());

    DBusNotifier offline(QDBusConnection(QStringLiteral("ormil-not-connected")));
    QSignalSpy offlineDelivered(&offline, &DBusNotifier::delivered);
    offline.notify("Ormil", "no bus at all");
    EXPECT_EQ(offlineDelivered.count(), 1);
    const QString log = testsupport::debugLogText();
    EXPECT_TRUE(log.contains("[Notify] notice not shown")) << log.toStdString();
    EXPECT_TRUE(log.contains("[Notify] no session bus")) << log.toStdString();
}

}  // namespace
