#pragma once

#include <QString>

// Launch at login: the desktop's autostart entry
// "$XDG_CONFIG_HOME/autostart/ormil.desktop".
namespace Autostart {
QString entryPath();
// Writes the entry: the installed desktop entry (the user's applications
// folder) when there is one, else the built-in one, starting `executable`.
// False, with the reason in `error`, when it cannot be written.
bool enable(const QString& executable, QString* error);
// Removes the entry (absent already counts as done). False, with the reason
// in `error`, when it stays.
bool disable(QString* error);
// The entry's text: `installedEntry` (may be empty) with its Exec line
// replaced by the quoted executable.
QString entryText(const QString& installedEntry, const QString& executable);
}  // namespace Autostart
