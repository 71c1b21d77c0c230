#pragma once

#include <QDBusConnection>
#include <QString>

// Start-up's questions to the desktop portals on the session bus. Each call
// waits for its answer at most timeoutMs: a portal that is slow to start
// never holds the launch up for longer.
namespace DesktopPortal {

// Tells the portals which application this program is (the basename of its
// desktop entry), as a program outside a sandbox must before its first
// portal call where the portal has a host registry. False when there is no
// registry (older portals) or it refused; `error` then says why.
bool registerHostApplication(QDBusConnection bus, const QString& appId, int timeoutMs,
                             QString* error = nullptr);

// The version of a portal interface ("org.freedesktop.portal.GlobalShortcuts");
// 0 when the portal does not offer it.
uint interfaceVersion(QDBusConnection bus, const QString& interface, int timeoutMs);

}  // namespace DesktopPortal
