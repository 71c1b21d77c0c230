#include "platform/linux/SingleInstance.h"

#include <sys/socket.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>
#include <cerrno>
#include <csignal>
#include <optional>

#include "platform/DebugLog.h"

namespace {

// Longest message a peer may send; a local client has no reason to send more.
constexpr qint64 kMaxLine = 256 * 1024;

class PosixProcessControl : public ProcessControl {
public:
    qint64 ownPid() const override { return qint64(::getpid()); }
    void terminate(qint64 pid) override { ::kill(pid_t(pid), SIGTERM); }
    void forceTerminate(qint64 pid) override { ::kill(pid_t(pid), SIGKILL); }
    bool isTerminated(qint64 pid) const override {
        // A child of ours that ended is reaped here; anything else is gone
        // once it no longer exists.
        int status = 0;
        if (::waitpid(pid_t(pid), &status, WNOHANG) == pid_t(pid)) return true;
        return ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
    }
    std::optional<qint64> peerOfSameUser(qintptr socketDescriptor) const override {
        struct ucred cred {};
        socklen_t len = sizeof(cred);
        if (::getsockopt(int(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0)
            return std::nullopt;
        if (cred.uid != ::getuid() || cred.pid <= 0) return std::nullopt;
        return qint64(cred.pid);
    }
};

QByteArray jsonLine(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<QJsonObject> readLine(QLocalSocket& socket, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!socket.canReadLine()) {
        if (socket.bytesAvailable() > kMaxLine) return std::nullopt;
        const int left = timeoutMs - int(timer.elapsed());
        if (left <= 0 || !socket.waitForReadyRead(left)) {
            if (!socket.canReadLine()) return std::nullopt;
        }
    }
    const auto doc = QJsonDocument::fromJson(socket.readLine(kMaxLine).trimmed());
    if (!doc.isObject()) return std::nullopt;
    return doc.object();
}

}  // namespace

ProcessControl& ProcessControl::system() {
    static PosixProcessControl instance;
    return instance;
}

SingleInstance::SingleInstance(QString socketPath, Identity self, ProcessControl& processes,
                               Clock& clock, QObject* parent)
    : QObject(parent),
      m_socketPath(std::move(socketPath)),
      m_self(std::move(self)),
      m_processes(processes),
      m_clock(clock) {}

SingleInstance::~SingleInstance() {
    if (m_server) m_server->close();
}

QString SingleInstance::defaultSocketPath() {
    // One socket per user and home folder, in the user's private runtime
    // folder when there is one: in a shared temporary folder another user
    // could take the name first.
    const QByteArray key = QDir::homePath().toUtf8();
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(16));
    const QString name = QStringLiteral("/ormil-%1-%2.sock").arg(::getuid()).arg(hash);
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    // Unix socket paths hold at most 107 bytes.
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir() && (runtime + name).toUtf8().size() < 100)
        return runtime + name;
    return QDir::tempPath() + name;
}

SingleInstance::Identity SingleInstance::currentIdentity(const QString& version) {
    Identity id;
    id.pid = qint64(::getpid());
    const QString exe = QCoreApplication::applicationFilePath();
    const QString canonical = QFileInfo(exe).canonicalFilePath();
    id.installation = canonical.isEmpty() ? exe : canonical;
    id.version = version;
    return id;
}

bool SingleInstance::isListening() const {
    return m_server && m_server->isListening();
}

SingleInstance::Outcome SingleInstance::start(const QStringList& arguments) {
    if (contactRunning(arguments) == Contact::handedOver) return Outcome::handedOver;
    listen();
    return Outcome::primary;
}

SingleInstance::Contact SingleInstance::contactRunning(const QStringList& arguments) {
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(answerTimeoutMs)) return Contact::none;
    const auto hello = readLine(socket, answerTimeoutMs);
    if (!hello) {
        debugLog(QStringLiteral("[App] Running instance did not answer; taking over"));
        return Contact::none;
    }
    const qint64 pid = hello->value(QStringLiteral("pid")).toInteger();
    const QString installation = hello->value(QStringLiteral("installation")).toString();
    const QString version = hello->value(QStringLiteral("version")).toString();
    if (pid <= 0 || pid == m_processes.ownPid()) return Contact::none;
    // Only a process of this user that names itself truthfully is ended
    // or trusted with the arguments.
    const auto peer = m_processes.peerOfSameUser(socket.socketDescriptor());
    if (!peer || *peer != pid) {
        debugLog(
            QStringLiteral("[App] Single-instance socket held by another process; taking over"));
        return Contact::none;
    }

    if (installation == m_self.installation && version == m_self.version) {
        socket.write(jsonLine({{QStringLiteral("args"), QJsonArray::fromStringList(arguments)}}));
        socket.flush();
        // The answer tells that the running copy has taken the arguments.
        if (readLine(socket, answerTimeoutMs)) {
            socket.disconnectFromServer();
            return Contact::handedOver;
        }
        debugLog(QStringLiteral("[App] Running instance did not take the arguments; taking over"));
    }
    socket.abort();
    endOther(pid);
    return Contact::endedOther;
}

void SingleInstance::endOther(qint64 pid) {
    debugLog(QStringLiteral("[App] Terminating other instance pid=%1").arg(pid));
    m_processes.terminate(pid);
    m_clock.sleep(terminateWait);
    if (!m_processes.isTerminated(pid)) {
        m_processes.forceTerminate(pid);
        m_clock.sleep(forceTerminateWait);
    }
}

bool SingleInstance::listen() {
    m_server = std::make_unique<QLocalServer>();
    // Only this user may hand arguments over.
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server.get(), &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
    if (m_server->listen(m_socketPath)) return true;
    // A socket left behind by a copy that ended without closing it.
    QLocalServer::removeServer(m_socketPath);
    if (m_server->listen(m_socketPath)) return true;
    debugLog(QStringLiteral("[App] Single-instance socket unavailable: ") +
             m_server->errorString());
    return false;
}

void SingleInstance::onNewConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        socket->write(jsonLine({{QStringLiteral("pid"), m_self.pid},
                                {QStringLiteral("installation"), m_self.installation},
                                {QStringLiteral("version"), m_self.version}}));
        QPointer<QLocalSocket> guard(socket);
        connect(socket, &QLocalSocket::readyRead, this, [this, guard] {
            if (!guard) return;
            if (!guard->canReadLine()) {
                if (guard->bytesAvailable() > kMaxLine) guard->abort();
                return;
            }
            const auto doc = QJsonDocument::fromJson(guard->readLine(kMaxLine).trimmed());
            const QJsonValue args = doc.object().value(QStringLiteral("args"));
            if (!doc.isObject() || !args.isArray()) {
                guard->abort();
                return;
            }
            QStringList list;
            for (const auto& v : args.toArray()) {
                if (v.isString()) list << v.toString();
            }
            guard->write(jsonLine({{QStringLiteral("ok"), true}}));
            guard->flush();
            guard->disconnectFromServer();
            emit argumentsReceived(list);
        });
    }
}
