#include "app/RemovableMedia.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QSocketNotifier>
#include <QStandardPaths>

#include "platform/DebugLog.h"

namespace RemovableMedia {

QStringList defaultRoots() {
    return {QStringLiteral("/media/"), QStringLiteral("/run/media/"), QStringLiteral("/mnt/")};
}

bool isOnMedia(const QString& path, const QStringList& roots) {
    const QString clean = QDir::cleanPath(path) + '/';
    for (const QString& root : roots) {
        const QString r = root.endsWith('/') ? root : root + '/';
        if (clean.startsWith(r) && clean.size() > r.size()) return true;
    }
    return false;
}

bool copyTree(const QString& from, const QString& to, QString* error) {
    auto fail = [&](const QString& why) {
        if (error) *error = why;
        return false;
    };
    if (!QFileInfo(from).isDir()) return fail(QStringLiteral("“%1” is not a folder").arg(from));
    if (!QDir().mkpath(to)) return fail(QStringLiteral("cannot create “%1”").arg(to));
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    const QDir source(from);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        const QString target = to + '/' + source.relativeFilePath(path);
        if (info.isSymLink()) {
            // The link's own text: a relative link stays relative.
            char link[4096];
            const ssize_t n = ::readlink(QFile::encodeName(path).constData(), link, sizeof link - 1);
            if (n < 0 || ::symlink(QByteArray(link, int(n)).constData(),
                                   QFile::encodeName(target).constData()) != 0)
                return fail(QStringLiteral("cannot link “%1”").arg(target));
        } else if (info.isDir()) {
            if (!QDir().mkpath(target))
                return fail(QStringLiteral("cannot create “%1”").arg(target));
        } else if (!QFile::copy(path, target)) {
            return fail(QStringLiteral("cannot copy “%1”").arg(path));
        }
    }
    return true;
}

bool installIfLaunchedFromMedia(const QString& bundlePath, const QString& installedPath,
                                const QStringList& roots,
                                const std::function<bool(const QString&)>& start) {
    if (!isOnMedia(bundlePath, roots)) return false;
    const QString staged = installedPath + QStringLiteral(".new");
    const QString old = installedPath + QStringLiteral(".old");
    QString error;
    QDir(staged).removeRecursively();
    QDir(old).removeRecursively();
    bool ok = copyTree(bundlePath, staged, &error);
    if (ok && QFileInfo::exists(installedPath) && !QDir().rename(installedPath, old)) {
        error = QStringLiteral("cannot move the installed copy aside");
        ok = false;
    }
    if (ok && !QDir().rename(staged, installedPath)) {
        QDir().rename(old, installedPath);
        error = QStringLiteral("cannot move the new copy into place");
        ok = false;
    }
    QDir(staged).removeRecursively();
    if (!ok) {
        debugLog(QStringLiteral("[App] Auto-install from removable media failed: ") + error);
        return false;
    }
    QDir(old).removeRecursively();
    writeDesktopEntry(installedPath);
    start(installedPath + QStringLiteral("/bin/ormil"));  // a failed start is ignored
    return true;
}

bool shouldQuitForMount(const QString& mountPoint, const QString& ownBundle,
                        const QStringList& roots) {
    return QFileInfo(QDir::cleanPath(mountPoint))
               .fileName()
               .toUpper()
               .startsWith(QLatin1String("ORMIL")) &&
           !isOnMedia(ownBundle, roots);
}

void writeDesktopEntry(const QString& installedPath) {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                           QStringLiteral("/applications");
    QDir().mkpath(folder);
    // Exec quotes the path: the desktop entry format splits on spaces.
    QString exec = installedPath + QStringLiteral("/bin/ormil");
    exec.replace('\\', QLatin1String("\\\\"))
        .replace('"', QLatin1String("\\\""))
        .replace('`', QLatin1String("\\`"))
        .replace('$', QLatin1String("\\$"));
    const QString text = QStringLiteral(
                             "[Desktop Entry]\n"
                             "Type=Application\n"
                             "Name=Ormil\n"
                             "Comment=Dictation from the tray\n"
                             "Exec=\"%1\" %u\n"
                             "Icon=%2\n"
                             "Terminal=false\n"
                             "Categories=Utility;\n"
                             "MimeType=x-scheme-handler/ormil;\n"
                             "StartupWMClass=ormil\n")
                             .arg(exec, installedPath + QStringLiteral("/share/icons/ormil.svg"));
    QSaveFile file(folder + QStringLiteral("/ormil.desktop"));
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit()) return;
    if (!QStandardPaths::findExecutable(QStringLiteral("xdg-mime")).isEmpty()) {
        QProcess::execute(QStringLiteral("xdg-mime"),
                          {QStringLiteral("default"), QStringLiteral("ormil.desktop"),
                           QStringLiteral("x-scheme-handler/ormil")});
    }
}

}  // namespace RemovableMedia

// -------------------------------------------------------------- MountWatcher

MountWatcher::MountWatcher(QString mountInfoPath, QObject* parent)
    : QObject(parent), m_path(std::move(mountInfoPath)) {
    QFile file(m_path);
    if (file.open(QIODevice::ReadOnly)) m_known = mountPoints(file.readAll());
    // The kernel marks mountinfo "exceptional" whenever the mount table changes.
    m_fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_CLOEXEC);
    if (m_fd >= 0) {
        m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Exception);
        connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] { rescan(); });
    }
}

MountWatcher::~MountWatcher() {
    m_notifier.reset();
    if (m_fd >= 0) ::close(m_fd);
}

QSet<QString> MountWatcher::mountPoints(const QByteArray& mountInfo) {
    QSet<QString> out;
    for (const QByteArray& line : mountInfo.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 5) continue;
        // Field 5 is the mount point; space, tab, newline and backslash come
        // as three octal digits after a backslash.
        const QByteArray& raw = fields[4];
        QByteArray decoded;
        for (qsizetype i = 0; i < raw.size(); ++i) {
            if (raw[i] == '\\' && i + 3 < raw.size()) {
                bool ok = false;
                const int value = raw.mid(i + 1, 3).toInt(&ok, 8);
                if (ok) {
                    decoded += char(value);
                    i += 3;
                    continue;
                }
            }
            decoded += raw[i];
        }
        out.insert(QString::fromUtf8(decoded));
    }
    return out;
}

void MountWatcher::rescan() {
    // Reading the watched descriptor from its start is what clears the
    // kernel's change mark.
    QByteArray text;
    if (m_fd >= 0 && ::lseek(m_fd, 0, SEEK_SET) == 0) {
        char chunk[16384];
        for (;;) {
            const ssize_t n = ::read(m_fd, chunk, sizeof chunk);
            if (n <= 0) break;
            text.append(chunk, n);
        }
    } else {
        QFile file(m_path);
        if (!file.open(QIODevice::ReadOnly)) return;
        text = file.readAll();
    }
    const QSet<QString> now = mountPoints(text);
    QStringList added;
    for (const QString& point : now)
        if (!m_known.contains(point)) added << point;
    m_known = now;
    added.sort();
    for (const QString& point : added) emit mounted(point);
}
