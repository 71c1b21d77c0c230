#pragma once

// KWin's scripting interface on a private bus (PrivateBus), under KWin's
// name on a connection of its own and answering on a thread of its own (the
// client waits for its answers): scripts are loaded from files and run
// through their objects at the root (as KWin 5 keeps them), and a test plays
// the loaded script by calling back as it would.
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVirtualObject>
#include <QFile>
#include <QMutex>
#include <QThread>
#include <atomic>

#include "fakes/FakeDesktopPortal.h"

class FakeKWinScripting : public QDBusVirtualObject {
public:
    static constexpr const char* service = "org.kde.KWin";
    static constexpr int scriptId = 7;

    // What KWin is set to answer.
    std::atomic<int> loadAnswer = scriptId;
    std::atomic<bool> runFails = false;

    explicit FakeKWinScripting(PrivateBus& bus) : m_bus(bus.connect(QStringLiteral("fake-kwin"))) {
        m_bus.registerVirtualObject(QStringLiteral("/"), this, QDBusConnection::SubPath);
        m_thread.start();
        moveToThread(&m_thread);
        m_bus.registerService(QLatin1String(service));
    }
    ~FakeKWinScripting() override {
        m_bus.unregisterService(QLatin1String(service));
        m_bus.unregisterObject(QStringLiteral("/"));
        QDBusConnection::disconnectFromBus(m_bus.name());
        m_thread.quit();
        m_thread.wait();
    }

    // What the client asked for, in order ("loadScript", "unloadScript",
    // "run /7", ...), and what it loaded.
    QStringList calls() const {
        QMutexLocker lock(&m_mutex);
        return m_calls;
    }
    QString loadedPlugin() const {
        QMutexLocker lock(&m_mutex);
        return m_loadedPlugin;
    }
    QString scriptPath() const {
        QMutexLocker lock(&m_mutex);
        return m_scriptPath;
    }
    QByteArray scriptText() const {
        QMutexLocker lock(&m_mutex);
        return m_scriptText;
    }

    // The call the loaded script makes when a window is activated.
    static QDBusMessage activation(const QString& client, const QStringList& window) {
        QDBusMessage m = QDBusMessage::createMethodCall(
            client, QStringLiteral("/org/ormil/FocusedWindow"),
            QStringLiteral("org.ormil.FocusedWindow"), QStringLiteral("Activated"));
        for (const QString& s : window) m << s;
        return m;
    }
    // The script reports an activated window, as KWin's callDBus sends it
    // (never waited for: the client may be on this thread).
    void activate(const QString& client, const QStringList& window) {
        m_bus.asyncCall(activation(client, window));
    }

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& m, const QDBusConnection& connection) override {
        const QList<QVariant> args = m.arguments();
        const QString member = m.member();
        QMutexLocker lock(&m_mutex);
        if (m.interface() == u"org.kde.kwin.Scripting" && m.path() == u"/Scripting") {
            m_calls << member;
            if (member == u"loadScript") {
                m_scriptPath = args.value(0).toString();
                QFile file(m_scriptPath);
                if (file.open(QIODevice::ReadOnly)) m_scriptText = file.readAll();
                if (loadAnswer >= 0) m_loadedPlugin = args.value(1).toString();
                connection.send(m.createReply(loadAnswer.load()));
                return true;
            }
            if (member == u"unloadScript") {
                const bool was = m_loadedPlugin == args.value(0).toString();
                if (was) m_loadedPlugin.clear();
                connection.send(m.createReply(was));
                return true;
            }
            return false;
        }
        if (m.interface() == u"org.kde.kwin.Script" && member == u"run") {
            m_calls << QStringLiteral("run ") + m.path();
            if (m.path() != QStringLiteral("/%1").arg(scriptId) || runFails)
                connection.send(
                    m.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.UnknownObject"),
                                       QStringLiteral("no such script")));
            else
                connection.send(m.createReply());
            return true;
        }
        return false;
    }

private:
    QDBusConnection m_bus;
    QThread m_thread;
    mutable QMutex m_mutex;
    QStringList m_calls;
    QString m_loadedPlugin;
    QString m_scriptPath;
    QByteArray m_scriptText;
};
