#include "platform/linux/SingleInstance.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScopeGuard>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <optional>

#include "platform/DebugLog.h"
#include "platform/PrivateFiles.h"

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

// The socket address of a path; false when the path is too long for one.
bool socketAddress(const QString& path, sockaddr_un* address) {
    const QByteArray name = QFile::encodeName(path);
    *address = {};
    address->sun_family = AF_UNIX;
    if (name.isEmpty() || size_t(name.size()) >= sizeof(address->sun_path)) return false;
    std::memcpy(address->sun_path, name.constData(), size_t(name.size()));
    return true;
}

// Milliseconds left of a wait that started at `timer`.
int msLeft(const QElapsedTimer& timer, int timeoutMs) {
    return std::max(0, timeoutMs - int(timer.elapsed()));
}

// The launch's side of the conversation: one connection to the running copy,
// read and written with time limits. The launch has nothing else to do
// meanwhile, so it waits here.
class Link {
public:
    ~Link() { close(); }
    bool connectTo(const QString& path, int timeoutMs) {
        sockaddr_un address;
        if (!socketAddress(path, &address)) return false;
        m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (m_fd < 0) return false;
        QElapsedTimer timer;
        timer.start();
        // A full backlog refuses for now: try again until the time is up.
        while (::connect(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
            if (errno != EAGAIN && errno != EINTR) return false;
            if (msLeft(timer, timeoutMs) == 0) return false;
            ::poll(nullptr, 0, 10);
        }
        return true;
    }
    int fd() const { return m_fd; }
    // The next line as a JSON object; nothing when it is not one, is too long
    // or does not come in time.
    std::optional<QJsonObject> readLine(int timeoutMs) {
        QElapsedTimer timer;
        timer.start();
        qsizetype end;
        while ((end = m_buffer.indexOf('\n')) < 0) {
            if (m_buffer.size() > kMaxLine) return std::nullopt;
            pollfd p{m_fd, POLLIN, 0};
            const int ready = ::poll(&p, 1, msLeft(timer, timeoutMs));
            if (ready < 0 && errno == EINTR) continue;
            if (ready <= 0) return std::nullopt;
            char chunk[4096];
            const ssize_t n = ::read(m_fd, chunk, sizeof(chunk));
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            if (n <= 0) return std::nullopt;
            m_buffer.append(chunk, n);
        }
        const QByteArray line = m_buffer.left(end).trimmed();
        m_buffer.remove(0, end + 1);
        const auto doc = QJsonDocument::fromJson(line);
        if (!doc.isObject()) return std::nullopt;
        return doc.object();
    }
    bool write(const QByteArray& data, int timeoutMs) {
        QElapsedTimer timer;
        timer.start();
        qsizetype sent = 0;
        while (sent < data.size()) {
            const ssize_t n =
                ::send(m_fd, data.constData() + sent, size_t(data.size() - sent), MSG_NOSIGNAL);
            if (n > 0) {
                sent += n;
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
            pollfd p{m_fd, POLLOUT, 0};
            if (::poll(&p, 1, msLeft(timer, timeoutMs)) == 0) return false;
        }
        return true;
    }
    void close() {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd = -1;
    QByteArray m_buffer;
};

// The running copy's side of one connection: it says who it is at once and
// takes one line of arguments. Never blocks the main thread: a peer that does
// not read its small answers at once is dropped.
class Caller : public QObject {
public:
    using Handler = std::function<void(const QStringList&)>;
    Caller(int fd, const QByteArray& hello, Handler onArguments, QObject* parent)
        : QObject(parent), m_fd(fd), m_onArguments(std::move(onArguments)) {
        if (!send(hello)) {
            finish();
            return;
        }
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] { onReadable(); });
    }
    ~Caller() override {
        if (m_fd >= 0) ::close(m_fd);
    }

private:
    bool send(const QByteArray& data) {
        const ssize_t n =
            ::send(m_fd, data.constData(), size_t(data.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
        return n == data.size();
    }
    void onReadable() {
        char chunk[4096];
        for (;;) {
            const ssize_t n = ::read(m_fd, chunk, sizeof(chunk));
            if (n > 0) {
                m_buffer.append(chunk, n);
                if (std::memchr(chunk, '\n', size_t(n)) || m_buffer.size() > kMaxLine) break;
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && errno == EAGAIN) return;  // the rest of the line is still to come
            break;  // the caller stopped sending, or the socket failed
        }
        // Every hand-over gets an answer: the launch waits for it, and one
        // that hears nothing must not take the running copy for dead.
        const qsizetype end = m_buffer.indexOf('\n');
        if (end < 0 || end > kMaxLine) {
            refuse(m_buffer.size() > kMaxLine ? QStringLiteral("longer than %1 bytes").arg(kMaxLine)
                                              : QStringLiteral("incomplete"));
            return;
        }
        const auto doc = QJsonDocument::fromJson(m_buffer.left(end).trimmed());
        const QJsonValue args = doc.object().value(QStringLiteral("args"));
        if (!doc.isObject() || !args.isArray()) {
            refuse(QStringLiteral("not a list of arguments"));
            return;
        }
        QStringList list;
        for (const auto& v : args.toArray()) {
            if (v.isString()) list << v.toString();
        }
        send(jsonLine({{QStringLiteral("ok"), true}}));
        finish();
        m_onArguments(list);
    }
    void refuse(const QString& reason) {
        debugLog(QStringLiteral("[App] Hand-over refused: ") + reason);
        send(jsonLine({{QStringLiteral("ok"), false}, {QStringLiteral("error"), reason}}));
        finish();
    }
    void finish() {
        if (m_notifier) m_notifier->setEnabled(false);
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
        deleteLater();
    }

    int m_fd;
    Handler m_onArguments;
    QSocketNotifier* m_notifier = nullptr;
    QByteArray m_buffer;
};

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
    stopListening();
}

namespace {

// Why `path` is no folder of this user's alone; nothing when it is one (it
// is made, mode 0700, when absent). A link is never followed.
std::optional<QString> whyNotPrivate(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
        return QString::fromLocal8Bit(std::strerror(errno));
    struct stat info {};
    if (::lstat(name.constData(), &info) != 0) return QString::fromLocal8Bit(std::strerror(errno));
    if (S_ISLNK(info.st_mode)) return QStringLiteral("a link");
    if (!S_ISDIR(info.st_mode)) return QStringLiteral("not a folder");
    if (info.st_uid != ::getuid()) return QStringLiteral("another user's");
    if ((info.st_mode & 077) != 0) return QStringLiteral("open to other users");
    return std::nullopt;
}

}  // namespace

QString SingleInstance::defaultSocketPath() {
    return socketPathIn(qEnvironmentVariable("XDG_RUNTIME_DIR"), QDir::tempPath(),
                        QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                            QStringLiteral("/Ormil"));
}

QString SingleInstance::socketPathIn(const QString& runtimeDir, const QString& tempDir,
                                     const QString& fallbackDir) {
    // One socket per user and home folder. The runtime folder is the user's
    // own; in a shared temporary folder another user could take any name
    // first, so there the socket lives in a folder only this user may enter.
    const QByteArray key = QDir::homePath().toUtf8();
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(16));
    const QString name = QStringLiteral("ormil-%1-%2").arg(::getuid()).arg(hash);
    // Unix socket paths hold at most 107 bytes.
    const QString inRuntime = runtimeDir + QLatin1Char('/') + name + QStringLiteral(".sock");
    if (!runtimeDir.isEmpty() && QFileInfo(runtimeDir).isDir() && inRuntime.toUtf8().size() < 100)
        return inRuntime;
    const QString folder = tempDir + QLatin1Char('/') + name;
    const std::optional<QString> why = whyNotPrivate(folder);
    if (!why) return folder + QStringLiteral("/ormil.sock");
    // Every launch comes to the same conclusion, so they all meet there.
    debugLog(QStringLiteral("[App] Single-instance folder %1 is not usable (%2); using %3")
                 .arg(folder, *why, fallbackDir));
    PrivateFiles::ensureDir(fallbackDir);
    return fallbackDir + QLatin1Char('/') + name + QStringLiteral(".sock");
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
    return m_listenFd >= 0;
}

SingleInstance::Outcome SingleInstance::start(const QStringList& arguments) {
    switch (contactRunning(arguments)) {
        case Contact::handedOver:
            return Outcome::handedOver;
        case Contact::refused:
            return Outcome::refused;
        case Contact::none:
        case Contact::endedOther:
            break;
    }
    listen();
    return Outcome::primary;
}

SingleInstance::Contact SingleInstance::contactRunning(const QStringList& arguments) {
    Link socket;
    if (!socket.connectTo(m_socketPath, answerTimeoutMs)) return Contact::none;
    const auto hello = socket.readLine(answerTimeoutMs);
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
    const auto peer = m_processes.peerOfSameUser(socket.fd());
    if (!peer || *peer != pid) {
        debugLog(
            QStringLiteral("[App] Single-instance socket held by another process; taking over"));
        return Contact::none;
    }

    if (installation == m_self.installation && version == m_self.version) {
        // The running copy answered: it is alive, and stays whatever it says
        // to the arguments. Its answer is read even when it stopped taking
        // them half-way: a refusal waits on the socket.
        socket.write(jsonLine({{QStringLiteral("args"), QJsonArray::fromStringList(arguments)}}),
                     answerTimeoutMs);
        const auto answer = socket.readLine(answerTimeoutMs);
        if (answer && answer->value(QStringLiteral("ok")).toBool(true)) return Contact::handedOver;
        debugLog(answer ? QStringLiteral("[App] Running instance refused the arguments: ") +
                              answer->value(QStringLiteral("error")).toString()
                        : QStringLiteral("[App] Running instance did not take the arguments; "
                                         "leaving it running"));
        return Contact::refused;
    }
    socket.close();
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
    const auto fail = [](const QString& reason) {
        debugLog(QStringLiteral("[App] Single-instance socket unavailable: ") + reason);
        return false;
    };
    // Bound in a private folder beside the final name and moved there once
    // only this user may connect: no moment exists in which another user
    // could reach it. The move also replaces a socket file left behind by a
    // copy that ended without removing it.
    const QString folder = QFileInfo(m_socketPath).absolutePath();
    QByteArray privateFolder = QFile::encodeName(folder + QStringLiteral("/.ormil-XXXXXX"));
    if (!::mkdtemp(privateFolder.data())) return fail(QString::fromLocal8Bit(std::strerror(errno)));
    const QString bound = QFile::decodeName(privateFolder) + QStringLiteral("/s");
    const QByteArray boundName = QFile::encodeName(bound);
    const QByteArray finalName = QFile::encodeName(m_socketPath);
    const auto cleanup = qScopeGuard([&] {
        ::unlink(boundName.constData());
        ::rmdir(privateFolder.constData());
    });
    sockaddr_un address, finalAddress;
    if (!socketAddress(m_socketPath, &finalAddress) || !socketAddress(bound, &address))
        return fail(QStringLiteral("the socket path is too long"));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    struct stat info {};
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
        ::chmod(boundName.constData(), 0600) != 0 || ::listen(fd, 50) != 0 ||
        ::rename(boundName.constData(), finalName.constData()) != 0 ||
        ::stat(finalName.constData(), &info) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        if (fd >= 0) ::close(fd);
        return fail(reason);
    }
    m_listenFd = fd;
    m_socketFile = {quint64(info.st_dev), quint64(info.st_ino)};
    m_listenNotifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_listenNotifier, &QSocketNotifier::activated, this, &SingleInstance::onNewConnection);
    return true;
}

void SingleInstance::stopListening() {
    if (m_listenFd < 0) return;
    delete m_listenNotifier;
    m_listenNotifier = nullptr;
    ::close(m_listenFd);
    m_listenFd = -1;
    // A later copy may have taken the name over: its socket stays.
    const QByteArray name = QFile::encodeName(m_socketPath);
    struct stat info {};
    if (::stat(name.constData(), &info) == 0 &&
        std::pair{quint64(info.st_dev), quint64(info.st_ino)} == m_socketFile)
        ::unlink(name.constData());
}

void SingleInstance::onNewConnection() {
    const QByteArray hello = jsonLine({{QStringLiteral("pid"), m_self.pid},
                                       {QStringLiteral("installation"), m_self.installation},
                                       {QStringLiteral("version"), m_self.version}});
    for (;;) {
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            return;  // nothing more waiting (EAGAIN), or out of descriptors for now
        }
        new Caller(
            fd, hello, [this](const QStringList& list) { emit argumentsReceived(list); }, this);
    }
}
