#include "platform/DebugLog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <mutex>

namespace {
std::mutex g_mutex;
QString& currentPath() {
    static QString p = DebugLog::defaultPath();
    return p;
}

// O_NOFOLLOW: a link planted at the path must not redirect our lines into
// another file. O_APPEND with one write() per line keeps lines whole even
// against other processes.
int openLog(int extraFlags) {
    const QByteArray p = currentPath().toLocal8Bit();
    return ::open(p.constData(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | extraFlags, 0600);
}
}  // namespace

QString DebugLog::defaultPath() {
    // The test environment gives every run its own file, so that parallel
    // runs on one machine do not truncate each other's log.
    const QString override = qEnvironmentVariable("ORMIL_DEBUG_LOG");
    return override.isEmpty() ? QStringLiteral("/tmp/ormil-debug.log") : override;
}

QString DebugLog::path() {
    std::lock_guard lock(g_mutex);
    return currentPath();
}

void DebugLog::setPath(const QString& path) {
    std::lock_guard lock(g_mutex);
    currentPath() = path;
}

void DebugLog::truncate() {
    std::lock_guard lock(g_mutex);
    int fd = openLog(O_TRUNC);
    if (fd >= 0) {
        ::fchmod(fd, 0600);
        ::close(fd);
    }
}

void debugLog(const QString& message) {
    const QString line = QLatin1Char('[') +
                         QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss.zzz")) +
                         QStringLiteral("] ") + message + QLatin1Char('\n');
    const QByteArray bytes = line.toUtf8();
    std::lock_guard lock(g_mutex);
    int fd = openLog(O_APPEND);
    if (fd < 0) return;
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, data, static_cast<size_t>(left));
        if (n <= 0) break;
        data += n;
        left -= n;
    }
    ::close(fd);
}
