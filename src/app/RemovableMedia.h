#pragma once

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QSocketNotifier;

// A copy of Ormil started from a removable or mounted medium installs itself
// into the user's installation and starts from there; an installed copy
// quits when a medium named like Ormil's release media is mounted, so that
// the new copy can install cleanly.
namespace RemovableMedia {

// Where the system mounts media: /media/, /run/media/, /mnt/.
QStringList defaultRoots();
bool isOnMedia(const QString& path, const QStringList& roots = defaultRoots());

// Launched from a medium: copies the running bundle over the installation
// (beside it first, then swapped in; a failed copy keeps the old one),
// writes the desktop entry and starts the installed copy. True when the
// caller should exit now; false (and one log line) when it goes on from the
// medium.
bool installIfLaunchedFromMedia(const QString& bundlePath, const QString& installedPath,
                                const QStringList& roots,
                                const std::function<bool(const QString& program)>& start);

// Copies a folder tree, keeping permissions and symbolic links. False on
// the first failure, with why in `error`.
bool copyTree(const QString& from, const QString& to, QString* error);

// The mount rule: a new mount whose folder name, upper-cased, begins with
// "ORMIL" ends a copy that does not itself run from a medium.
bool shouldQuitForMount(const QString& mountPoint, const QString& ownBundle,
                        const QStringList& roots = defaultRoots());

// The desktop entry of an installation: ormil.desktop in the user's
// applications folder, the handler of ormil links.
void writeDesktopEntry(const QString& installedPath);

}  // namespace RemovableMedia

// Reports mount points that appear in a mountinfo file (the kernel's
// /proc/self/mountinfo, which signals every change).
class MountWatcher : public QObject {
    Q_OBJECT
public:
    explicit MountWatcher(QString mountInfoPath = QStringLiteral("/proc/self/mountinfo"),
                          QObject* parent = nullptr);
    ~MountWatcher() override;

    // Reads the file again and emits mounted() for each new mount point.
    void rescan();
    // The mount points of mountinfo text (octal escapes decoded).
    static QSet<QString> mountPoints(const QByteArray& mountInfo);

signals:
    void mounted(const QString& mountPoint);

private:
    QString m_path;
    QSet<QString> m_known;
    int m_fd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
