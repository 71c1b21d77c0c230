#pragma once

// The desktop portal's global shortcuts on a private bus (PrivateBus),
// under the portal's well-known name on a connection of its own: records what
// a client asks for and answers as a desktop would (its Request objects'
// Response signals, Activated and Deactivated).
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QVariantMap>

// A D-Bus daemon of the test's own that starts no services: the session
// bus of the test environment would start the installed portal for a name
// nobody owns, and other tests running beside this one use it too.
class PrivateBus {
public:
    explicit PrivateBus(const QString& folder) {
        const QString config = folder + QStringLiteral("/bus.conf");
        QFile file(config);
        if (file.open(QIODevice::WriteOnly))
            file.write(
                "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration "
                "1.0//EN\" \"http://www.freedesktop.org/standards/dbus/1.0/"
                "busconfig.dtd\">\n<busconfig><type>session</type><listen>unix:path=" +
                folder.toUtf8() +
                "/bus</listen><policy context=\"default\"><allow send_destination=\"*\" "
                "eavesdrop=\"true\"/><allow eavesdrop=\"true\"/><allow own=\"*\"/>"
                "</policy></busconfig>\n");
        file.close();
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--nofork"), QStringLiteral("--config-file=") + config,
                        QStringLiteral("--print-address=1")});
        if (m_daemon.waitForReadyRead(10000))
            m_address = QString::fromUtf8(m_daemon.readLine().trimmed());
    }
    ~PrivateBus() {
        // Qt keeps a named connection for the whole process: a later test's
        // bus must not be handed this one's, dead with its daemon.
        for (const QString& name : m_names) QDBusConnection::disconnectFromBus(name);
        m_daemon.kill();
        m_daemon.waitForFinished();
    }
    // Empty when the daemon did not start.
    QString address() const { return m_address; }
    QDBusConnection connect(const QString& name) {
        const QString unique = uniqueName(name);
        if (!m_names.contains(unique)) m_names.append(unique);
        return QDBusConnection::connectToBus(m_address, unique);
    }
    // Drops the connection `name` so that the next connect() makes a new one.
    void disconnect(const QString& name) const {
        QDBusConnection::disconnectFromBus(uniqueName(name));
    }

private:
    QString uniqueName(const QString& name) const { return name + QLatin1Char('@') + m_address; }

    QProcess m_daemon;
    QString m_address;
    QStringList m_names;
};

struct FakePortalShortcut {
    QString id;
    QVariantMap properties;
};
using FakePortalShortcuts = QList<FakePortalShortcut>;
Q_DECLARE_METATYPE(FakePortalShortcut)
Q_DECLARE_METATYPE(FakePortalShortcuts)

inline QDBusArgument& operator<<(QDBusArgument& a, const FakePortalShortcut& s) {
    a.beginStructure();
    a << s.id << s.properties;
    a.endStructure();
    return a;
}
inline const QDBusArgument& operator>>(const QDBusArgument& a, FakePortalShortcut& s) {
    a.beginStructure();
    a >> s.id >> s.properties;
    a.endStructure();
    return a;
}

class FakeDesktopPortal : public QDBusVirtualObject {
public:
    static constexpr const char* service = "org.freedesktop.portal.Desktop";
    static constexpr const char* path = "/org/freedesktop/portal/desktop";
    static constexpr const char* shortcutsInterface = "org.freedesktop.portal.GlobalShortcuts";

    // What the desktop is set to do.
    uint version = 1;
    bool hasRegistry = true;
    uint bindAnswer = 0;  // 0: the user accepted the dialog
    // What the desktop says it bound, by shortcut id.
    QMap<QString, QString> descriptions;

    // What the client asked for, in order ("Register ormil", "CreateSession",
    // "BindShortcuts", "ListShortcuts", "ConfigureShortcuts").
    QStringList calls;
    QVariantMap createOptions;
    FakePortalShortcuts boundShortcuts;
    QString session;

    FakeDesktopPortal(PrivateBus& bus,
                      const QString& connectionName = QStringLiteral("fake-portal"))
        : m_bus(bus.connect(connectionName)) {
        qDBusRegisterMetaType<FakePortalShortcut>();
        qDBusRegisterMetaType<FakePortalShortcuts>();
        m_bus.registerVirtualObject(QLatin1String(path), this);
        m_registered = m_bus.registerService(QLatin1String(service));
    }
    ~FakeDesktopPortal() override {
        m_bus.unregisterService(QLatin1String(service));
        m_bus.unregisterObject(QLatin1String(path));
        QDBusConnection::disconnectFromBus(m_bus.name());
    }
    bool isRegistered() const { return m_registered; }

    // The desktop's signals for one shortcut of `sessionPath` (the client's
    // session when empty).
    void activate(const QString& id, bool down, const QString& sessionPath = {}) {
        QDBusMessage signal = QDBusMessage::createSignal(
            QLatin1String(path), QLatin1String(shortcutsInterface),
            down ? QStringLiteral("Activated") : QStringLiteral("Deactivated"));
        signal << QVariant::fromValue(
                      QDBusObjectPath(sessionPath.isEmpty() ? session : sessionPath))
               << id << qulonglong(0) << QVariantMap{};
        m_bus.send(signal);
    }

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& m, const QDBusConnection& connection) override {
        const QString member = m.member();
        const QList<QVariant> args = m.arguments();
        if (m.interface() == u"org.freedesktop.DBus.Properties" && member == u"Get") {
            if (args.value(0).toString() != QLatin1String(shortcutsInterface))
                return error(m, "org.freedesktop.DBus.Error.UnknownInterface");
            connection.send(m.createReply(QVariant::fromValue(QDBusVariant(version))));
            return true;
        }
        if (m.interface() == u"org.freedesktop.host.portal.Registry") {
            if (!hasRegistry) return error(m, "org.freedesktop.DBus.Error.UnknownMethod");
            calls << "Register " + args.value(0).toString();
            connection.send(m.createReply());
            return true;
        }
        if (m.interface() != QLatin1String(shortcutsInterface)) return false;
        calls << member;
        const QVariantMap options = optionsOf(args.value(args.size() - 1));
        if (member == u"ConfigureShortcuts") {
            connection.send(m.createReply());
            return true;
        }
        QVariantMap results;
        uint code = 0;
        if (member == u"CreateSession") {
            createOptions = options;
            session = QStringLiteral("/org/freedesktop/portal/desktop/session/%1/%2")
                          .arg(senderPart(m), options.value("session_handle_token").toString());
            results.insert(QStringLiteral("session_handle"), session);
        } else if (member == u"BindShortcuts") {
            boundShortcuts = shortcutsOf(args.value(1));
            code = bindAnswer;
            if (code == 0) results.insert(QStringLiteral("shortcuts"), bound());
        } else if (member == u"ListShortcuts") {
            results.insert(QStringLiteral("shortcuts"), bound());
        }
        respond(m, connection, options, code, results);
        return true;
    }

    // Answers a portal call with its request's path, then the request's
    // Response signal.
    static void respond(const QDBusMessage& m, const QDBusConnection& connection,
                        const QVariantMap& options, uint code, const QVariantMap& results) {
        acceptRequest(m, connection, options);
        answerRequest(m, connection, options, code, results);
    }
    // The two halves of respond(): the call's reply naming its Request
    // object, and later the Request's answer.
    static void acceptRequest(const QDBusMessage& m, const QDBusConnection& connection,
                              const QVariantMap& options) {
        connection.send(
            m.createReply(QVariant::fromValue(QDBusObjectPath(requestPath(m, options)))));
    }
    static void answerRequest(const QDBusMessage& m, const QDBusConnection& connection,
                              const QVariantMap& options, uint code, const QVariantMap& results) {
        QDBusMessage response = QDBusMessage::createSignal(
            requestPath(m, options), QStringLiteral("org.freedesktop.portal.Request"),
            QStringLiteral("Response"));
        response << code << results;
        connection.send(response);
    }
    static QString requestPath(const QDBusMessage& m, const QVariantMap& options) {
        return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
            .arg(senderPart(m), options.value("handle_token").toString());
    }
    static QString senderPart(const QDBusMessage& m) {
        return m.service().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
    }

    static FakePortalShortcuts shortcutsOf(const QVariant& v) {
        if (v.canConvert<QDBusArgument>())
            return qdbus_cast<FakePortalShortcuts>(v.value<QDBusArgument>());
        return v.value<FakePortalShortcuts>();
    }
    static QVariantMap optionsOf(const QVariant& v) {
        if (v.canConvert<QDBusArgument>()) return qdbus_cast<QVariantMap>(v.value<QDBusArgument>());
        return v.toMap();
    }

private:
    bool error(const QDBusMessage& m, const char* name) {
        m_bus.send(m.createErrorReply(QLatin1String(name), QStringLiteral("not here")));
        return true;
    }
    QVariant bound() const {
        FakePortalShortcuts list;
        for (const FakePortalShortcut& s : boundShortcuts)
            if (descriptions.contains(s.id))
                list.append({s.id, {{QStringLiteral("trigger_description"), descriptions[s.id]}}});
        return QVariant::fromValue(list);
    }

    QDBusConnection m_bus;
    bool m_registered = false;
};
