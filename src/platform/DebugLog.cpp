#include "platform/DebugLog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <mutex>

namespace {
std::mutex g_mutex;

struct LogTarget {
    QString path;
    // The refusal of this path has been told on standard error.
    bool refusalTold = false;
};

LogTarget& target() {
    static LogTarget t{DebugLog::defaultPath()};
    return t;
}

// Opens the log for writing, or gives -1. The file lives in a folder every
// user can write to, so it is used only when it is a regular file that this
// user owns: O_NOFOLLOW keeps a planted link from redirecting the lines,
// O_NONBLOCK keeps a planted pipe from stalling the caller, and the checks
// after opening refuse what another user created. Access that others have to
// it is taken away, since it can hold dictated text. O_APPEND with one
// write() per line keeps lines whole even against other processes.
int openLog() {
    LogTarget& t = target();
    const QByteArray p = t.path.toLocal8Bit();
    int fd = ::open(p.constData(),
                    O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    struct stat st {};
    if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid())) {
        ::close(fd);
        fd = -1;
    }
    if (fd < 0) {
        if (!t.refusalTold) {
            t.refusalTold = true;
            std::fprintf(stderr,
                         "Ormil: %s cannot be the debug log (it must be a regular file of this "
                         "user); log lines are left out\n",
                         p.constData());
        }
        return -1;
    }
    if ((st.st_mode & 077) != 0) ::fchmod(fd, 0600);
    return fd;
}

template <typename T>
QString shortestNumber(T value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    QString text = QString::fromLatin1(buffer, result.ptr - buffer);
    if (std::isfinite(value) && !text.contains(QLatin1Char('.')) &&
        !text.contains(QLatin1Char('e')))
        text += QStringLiteral(".0");
    return text;
}
}  // namespace

QString logNumber(double value) {
    return shortestNumber(value);
}
QString logNumber(float value) {
    return shortestNumber(value);
}

QString DebugLog::defaultPath() {
    // The test environment gives every run its own file, so that parallel
    // runs on one machine do not truncate each other's log.
    const QString override = qEnvironmentVariable("ORMIL_DEBUG_LOG");
    return override.isEmpty() ? QStringLiteral("/tmp/ormil-debug.log") : override;
}

QString DebugLog::path() {
    std::lock_guard lock(g_mutex);
    return target().path;
}

void DebugLog::setPath(const QString& path) {
    std::lock_guard lock(g_mutex);
    target() = LogTarget{path};
}

void DebugLog::truncate() {
    std::lock_guard lock(g_mutex);
    const int fd = openLog();
    if (fd < 0) return;
    // Emptied only after the checks: opening with O_TRUNC would empty a file
    // that is not ours.
    [[maybe_unused]] const int ignored = ::ftruncate(fd, 0);
    ::close(fd);
}

void debugLog(const QString& message) {
    const QString line = QLatin1Char('[') +
                         QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss.zzz")) +
                         QStringLiteral("] ") + message + QLatin1Char('\n');
    const QByteArray bytes = line.toUtf8();
    std::lock_guard lock(g_mutex);
    const int fd = openLog();
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
