#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <optional>

// One installed application's desktop entry (its [Desktop Entry] group).
struct DesktopEntry {
    // The desktop file id without ".desktop": the path below applications/
    // with "/" turned into "-" ("org.telegram.desktop", "kde4-kate").
    QString id;
    QString path;
    // "Name" under "", "Name[ru]" under "ru", ...
    QMap<QString, QString> names;
    QString icon;
    QString startupWMClass;
    // The file name of Exec's program ("code" for "/usr/bin/code %F").
    QString execProgram;
    bool noDisplay = false;

    // Name in `language` ("ru", "pt_BR"), else its language without the
    // country, else the plain Name.
    QString name(const QString& language) const;
};

// The application entries of $XDG_DATA_HOME and $XDG_DATA_DIRS, read again
// when one of their folders (or those variables) changed. Safe to call from
// any thread.
namespace DesktopEntries {
std::optional<DesktopEntry> find(const QString& id);
// The entry of a window's application: StartupWMClass equal to the class
// or instance of WM_CLASS, else an id (or the last dot-separated piece of
// one) equal to either, else Exec's program equal to either. At each step
// an exact match wins over one that differs in letter case, and an entry
// shown in menus over a hidden one.
std::optional<DesktopEntry> matchWindowClass(const QString& instanceName, const QString& className);
// The id that a desktop file at `path` has: the path below an applications
// folder, else its file name; without ".desktop".
QString idForPath(const QString& path);
// Every entry, in the order the folders take precedence.
QList<DesktopEntry> all();
// Parses one file; nothing when it is no application entry or is hidden.
std::optional<DesktopEntry> parse(const QString& path, const QString& id);
}  // namespace DesktopEntries
