#pragma once

// The desktop portal's remote desktop interface on a private bus
// (PrivateBus): records what a client asks for and answers as a desktop
// would, through its Request objects' Response signals; it can end the
// session as the desktop's indicator does.
#include <optional>
#include <utility>

#include "fakes/FakeDesktopPortal.h"

class FakeRemoteDesktopPortal : public QDBusVirtualObject {
public:
    static constexpr const char* interface = "org.freedesktop.portal.RemoteDesktop";

    // What the desktop is set to do.
    uint version = 2;
    uint startAnswer = 0;  // 0: the user allowed it, 1: the user said no
    QString restoreToken = QStringLiteral("token-from-the-desktop");
    // Start waits for answerStart(), as while the desktop's dialog is up.
    bool holdStart = false;
    // Key calls wait for answerKeys(), as on a busy desktop.
    bool holdKeys = false;

    // What the client asked for, in order, and the options it gave.
    QStringList calls;
    QVariantMap selectOptions;
    QList<QPair<int, uint>> keys;  // (key code, 1 pressed / 0 released)
    QString session;

    explicit FakeRemoteDesktopPortal(PrivateBus& bus)
        : m_bus(bus.connect(QStringLiteral("fake-remote-desktop"))) {
        m_bus.registerVirtualObject(QLatin1String(FakeDesktopPortal::path), this);
        m_bus.registerService(QLatin1String(FakeDesktopPortal::service));
    }
    ~FakeRemoteDesktopPortal() override {
        m_bus.unregisterService(QLatin1String(FakeDesktopPortal::service));
        m_bus.unregisterObject(QLatin1String(FakeDesktopPortal::path));
        QDBusConnection::disconnectFromBus(m_bus.name());
    }

    // Whether a Start waits for the user's answer.
    bool startHeld() const { return m_heldStart.has_value(); }
    // The user answers the dialog.
    void answerStart() {
        if (!m_heldStart) return;
        const auto [m, options] = *m_heldStart;
        m_heldStart.reset();
        FakeDesktopPortal::answerRequest(m, m_bus, options, startAnswer, startResults());
    }

    // The desktop answers the key calls it held.
    void answerKeys() {
        for (const QDBusMessage& m : std::exchange(m_heldKeys, {})) m_bus.send(m.createReply());
    }

    // The desktop ends the session (the user stopped it from the indicator).
    void closeSession() {
        m_bus.send(QDBusMessage::createSignal(session,
                                              QStringLiteral("org.freedesktop.portal.Session"),
                                              QStringLiteral("Closed"))
                   << QVariantMap{});
    }

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& m, const QDBusConnection& connection) override {
        const QString member = m.member();
        const QList<QVariant> args = m.arguments();
        if (m.interface() == u"org.freedesktop.DBus.Properties" && member == u"Get") {
            connection.send(m.createReply(QVariant::fromValue(QDBusVariant(version))));
            return true;
        }
        if (m.interface() != QLatin1String(interface)) return false;
        calls << member;
        if (member == u"NotifyKeyboardKeycode") {
            keys.append({args.value(2).toInt(), args.value(3).toUInt()});
            if (holdKeys)
                m_heldKeys << m;
            else
                connection.send(m.createReply());
            return true;
        }
        const QVariantMap options = FakeDesktopPortal::optionsOf(args.value(args.size() - 1));
        QVariantMap results;
        uint code = 0;
        if (member == u"CreateSession") {
            session = QStringLiteral("/org/freedesktop/portal/desktop/session/%1/%2")
                          .arg(FakeDesktopPortal::senderPart(m),
                               options.value("session_handle_token").toString());
            results.insert(QStringLiteral("session_handle"), session);
        } else if (member == u"SelectDevices") {
            selectOptions = options;
        } else if (member == u"Start") {
            if (holdStart) {
                m_heldStart.emplace(m, options);
                FakeDesktopPortal::acceptRequest(m, connection, options);
                return true;
            }
            code = startAnswer;
            results = startResults();
        }
        FakeDesktopPortal::respond(m, connection, options, code, results);
        return true;
    }

private:
    QVariantMap startResults() const {
        QVariantMap results{{QStringLiteral("devices"), uint(1)}};
        if (!restoreToken.isEmpty()) results.insert(QStringLiteral("restore_token"), restoreToken);
        return results;
    }

    QDBusConnection m_bus;
    std::optional<std::pair<QDBusMessage, QVariantMap>> m_heldStart;
    QList<QDBusMessage> m_heldKeys;
};
