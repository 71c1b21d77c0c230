#pragma once

#include <QString>
#include <optional>

// What a top-level window tells about the application that owns it.
struct AppWindow {
    // _NET_WM_PID; 0 when the window has none or runs on another machine.
    qint64 pid = 0;
    QString instanceName;  // first WM_CLASS string
    QString className;     // second WM_CLASS string
};

// An application's identifier: its desktop entry id ("org.telegram.desktop"),
// the one name per-app tones are stored under. Safe to call from any thread.
namespace AppIdentity {
// The process's own desktop entry where it can be told (the entry it was
// launched from, its Flatpak or Snap id), else the installed entry that
// WM_CLASS names (DesktopEntries::matchWindowClass), else the WM_CLASS
// class itself (the instance when the class is empty). Nothing when the
// window tells nothing.
std::optional<QString> identifier(const AppWindow& window);

// The entry id the process tells by itself, from /proc/<pid> under
// `procRoot`: GIO_LAUNCHED_DESKTOP_FILE when it was set for this very
// process (children inherit it), BAMF_DESKTOP_FILE_HINT, FLATPAK_ID, or
// the Snap's entry (SNAP_NAME).
std::optional<QString> fromProcess(qint64 pid, const QString& procRoot = QStringLiteral("/proc"));

// This application's own identifier, as its windows resolve.
QString ownIdentifier();
}  // namespace AppIdentity
