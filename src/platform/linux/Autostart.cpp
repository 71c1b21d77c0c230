#include "platform/linux/Autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace Autostart {
namespace {
const char* const kFallbackEntry =
    "[Desktop Entry]\n"
    "Type=Application\n"
    "Name=Ormil\n"
    "Comment=Dictation from the tray\n"
    "Icon=ormil\n"
    "Terminal=false\n"
    "Categories=Utility;\n"
    "StartupWMClass=ormil\n";

QString quotedExec(QString path) {
    // The desktop entry format splits Exec on spaces and expands these.
    path.replace('\\', QLatin1String("\\\\"))
        .replace('"', QLatin1String("\\\""))
        .replace('`', QLatin1String("\\`"))
        .replace('$', QLatin1String("\\$"));
    return QLatin1Char('"') + path + QLatin1Char('"');
}
}  // namespace

QString entryPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/ormil.desktop");
}

QString entryText(const QString& installedEntry, const QString& executable) {
    const QString source = installedEntry.contains(QStringLiteral("[Desktop Entry]"))
                               ? installedEntry
                               : QString::fromLatin1(kFallbackEntry);
    QStringList lines;
    bool inMain = false;
    bool execDone = false;
    for (const QString& line : source.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('['))) {
            if (inMain && !execDone) {
                lines << QStringLiteral("Exec=") + quotedExec(executable);
                execDone = true;
            }
            inMain = line.trimmed() == QStringLiteral("[Desktop Entry]");
        }
        // At login there is no link to open, so no %u; the path is our own.
        if (inMain && line.startsWith(QStringLiteral("Exec="))) {
            if (!execDone) lines << QStringLiteral("Exec=") + quotedExec(executable);
            execDone = true;
            continue;
        }
        lines << line;
    }
    while (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    if (!execDone) lines << QStringLiteral("Exec=") + quotedExec(executable);
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

bool enable(const QString& executable, QString* error) {
    QString installed;
    QFile entry(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                QStringLiteral("/applications/ormil.desktop"));
    if (entry.open(QIODevice::ReadOnly)) installed = QString::fromUtf8(entry.readAll());

    const QString path = entryPath();
    if (!QDir().mkpath(QFileInfo(path).path())) {
        if (error) *error = QStringLiteral("cannot create ") + QFileInfo(path).path();
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(entryText(installed, executable).toUtf8()) < 0 || !file.commit()) {
        if (error) *error = file.errorString();
        return false;
    }
    return true;
}

bool disable(QString* error) {
    QFile file(entryPath());
    if (!file.exists()) return true;
    if (file.remove()) return true;
    if (error) *error = file.errorString();
    return false;
}
}  // namespace Autostart
