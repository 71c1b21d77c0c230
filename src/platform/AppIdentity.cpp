#include "platform/AppIdentity.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <unistd.h>

#include "platform/DesktopEntries.h"

namespace {

QByteArray readProcFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.read(1 << 20);
}

QHash<QByteArray, QByteArray> environmentOf(const QString& dir) {
    QHash<QByteArray, QByteArray> env;
    for (const QByteArray& pair : readProcFile(dir + QStringLiteral("/environ")).split('\0')) {
        const qsizetype eq = pair.indexOf('=');
        if (eq > 0) env.insert(pair.left(eq), pair.mid(eq + 1));
    }
    return env;
}

std::optional<QString> snapEntry(const QString& snap) {
    std::optional<QString> first;
    for (const DesktopEntry& e : DesktopEntries::all()) {
        if (!e.id.startsWith(snap + u'_')) continue;
        if (e.id == snap + u'_' + snap) return e.id;
        if (!first) first = e.id;
    }
    return first;
}

}  // namespace

std::optional<QString> AppIdentity::fromProcess(qint64 pid, const QString& procRoot) {
    if (pid <= 0) return std::nullopt;
    const QString dir = procRoot + u'/' + QString::number(pid);
    const QHash<QByteArray, QByteArray> env = environmentOf(dir);

    const QByteArray launched = env.value("GIO_LAUNCHED_DESKTOP_FILE");
    if (!launched.isEmpty() && env.value("GIO_LAUNCHED_DESKTOP_FILE_PID") == QByteArray::number(pid))
        return DesktopEntries::idForPath(QFile::decodeName(launched));
    const QByteArray hint = env.value("BAMF_DESKTOP_FILE_HINT");
    if (!hint.isEmpty() && QFileInfo::exists(QFile::decodeName(hint)))
        return DesktopEntries::idForPath(QFile::decodeName(hint));

    const QByteArray flatpak = env.value("FLATPAK_ID");
    if (!flatpak.isEmpty()) return QString::fromUtf8(flatpak);
    // A sandbox whose environment we may not read still names its
    // application in its control group.
    static const QRegularExpression flatpakScope(
        QStringLiteral("app-flatpak-([A-Za-z0-9_.-]+?)-\\d+\\.scope"));
    const QString cgroup = QString::fromUtf8(readProcFile(dir + QStringLiteral("/cgroup")));
    if (const auto m = flatpakScope.match(cgroup); m.hasMatch()) return m.captured(1);

    QString snap = QString::fromUtf8(env.value("SNAP_NAME"));
    if (snap.isEmpty()) {
        static const QRegularExpression snapScope(QStringLiteral("/snap\\.([a-z0-9-]+)\\."));
        if (const auto m = snapScope.match(cgroup); m.hasMatch()) snap = m.captured(1);
    }
    if (!snap.isEmpty()) return snapEntry(snap);
    return std::nullopt;
}

std::optional<QString> AppIdentity::identifier(const AppWindow& window) {
    if (auto id = fromProcess(window.pid)) return id;
    if (auto entry = DesktopEntries::matchWindowClass(window.instanceName, window.className))
        return entry->id;
    if (!window.className.isEmpty()) return window.className;
    if (!window.instanceName.isEmpty()) return window.instanceName;
    return std::nullopt;
}

QString AppIdentity::ownIdentifier() {
    // The WM_CLASS Qt gives our windows: the program's file name (or
    // RESOURCE_NAME) and the application's name.
    QString instance = qEnvironmentVariable("RESOURCE_NAME");
    if (instance.isEmpty())
        instance = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    return identifier({qint64(::getpid()), instance, QCoreApplication::applicationName()})
        .value_or(QCoreApplication::applicationName());
}
