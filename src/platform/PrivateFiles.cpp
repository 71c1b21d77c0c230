#include "platform/PrivateFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUuid>
#include <cerrno>
#include <cstring>
#include <mutex>

#include "platform/DebugLog.h"

namespace {

QString errnoText() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Makes the folder at 0700 or tightens an existing one; a link is followed
// only when the caller allows it. The folder must be this user's.
bool ownPrivateDir(const QString& path, bool followLink) {
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) {
        debugLog(QStringLiteral("[Files] Cannot create folder %1: %2").arg(path, errnoText()));
        return false;
    }
    const int fd = ::open(native.constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW));
    if (fd < 0) {
        debugLog(QStringLiteral("[Files] Not a folder of ours: %1: %2").arg(path, errnoText()));
        return false;
    }
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
    if (!ok)
        debugLog(QStringLiteral("[Files] Not a folder of ours: ") + path);
    else if ((st.st_mode & 07777) != 0700 && ::fchmod(fd, 0700) != 0) {
        debugLog(QStringLiteral("[Files] Cannot make %1 private: %2").arg(path, errnoText()));
        ok = false;
    }
    ::close(fd);
    return ok;
}

// Missing folders above path are made at 0700 too, as folders of a user's
// base directories are meant to be; existing ones are left as they are.
bool makeParents(const QString& path) {
    const QString parent = QFileInfo(path).absolutePath();
    if (QFileInfo(parent).isDir()) return true;
    if (parent == path || !makeParents(parent)) return false;
    if (::mkdir(QFile::encodeName(parent).constData(), 0700) != 0 && errno != EEXIST) {
        debugLog(QStringLiteral("[Files] Cannot create folder %1: %2").arg(parent, errnoText()));
        return false;
    }
    return true;
}

// A private folder of this process's own in the system's temporary folder:
// made at 0700 under a name nobody could have taken before.
QString processFallbackDir() {
    static std::mutex mutex;
    static QString made;
    const std::lock_guard lock(mutex);
    if (!made.isEmpty() && QFileInfo(made).isDir()) return made;
    QByteArray pattern = QFile::encodeName(QDir::tempPath() + QStringLiteral("/ormil-XXXXXX"));
    if (::mkdtemp(pattern.data()) == nullptr) {
        debugLog(QStringLiteral("[Files] Cannot make a private temporary folder: ") + errnoText());
        return {};
    }
    made = QFile::decodeName(pattern);
    debugLog(QStringLiteral("[Files] Temporary files go to ") + made);
    return made;
}

QString newName(const QString& prefix, const QString& suffix) {
    return prefix + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() + suffix;
}

}  // namespace

namespace PrivateFiles {

bool ensureDir(const QString& path) {
    if (path.isEmpty() || !makeParents(path)) return false;
    // A folder that cannot be tightened is still used; the log says why.
    return ownPrivateDir(path, true) || QFileInfo(path).isDir();
}

QString temporaryDirectory() {
    QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty()) cache = QDir::homePath() + QStringLiteral("/.cache");
    const QString app = cache + QStringLiteral("/Ormil");
    const QString temp = app + QStringLiteral("/tmp");
    if (makeParents(app) && ownPrivateDir(app, false) && ownPrivateDir(temp, false)) return temp;
    return processFallbackDir();
}

QString temporaryPath(const QString& prefix, const QString& suffix) {
    const QString dir = temporaryDirectory();
    if (dir.isEmpty()) return {};
    return dir + QLatin1Char('/') + newName(prefix, suffix);
}

QString createTemporaryFile(const QString& prefix, const QString& suffix) {
    const QString path = temporaryPath(prefix, suffix);
    if (path.isEmpty()) return {};
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        debugLog(QStringLiteral("[Files] Cannot create %1: %2").arg(path, errnoText()));
        return {};
    }
    ::close(fd);
    return path;
}

bool writeFile(const QString& path, const QByteArray& data) {
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::getuid()) {
        ::close(fd);
        return false;
    }
    bool ok = ((st.st_mode & 077) == 0 || ::fchmod(fd, 0600) == 0) && ::ftruncate(fd, 0) == 0;
    for (qsizetype done = 0; ok && done < data.size();) {
        const ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0)
            ok = false;
        else
            done += n;
    }
    if (::close(fd) != 0) ok = false;
    if (!ok) ::unlink(native.constData());
    return ok;
}

QString writeTemporaryFile(const QString& prefix, const QString& suffix, const QByteArray& data) {
    const QString path = createTemporaryFile(prefix, suffix);
    if (path.isEmpty()) return {};
    if (!writeFile(path, data)) {
        QFile::remove(path);
        return {};
    }
    return path;
}

}  // namespace PrivateFiles
