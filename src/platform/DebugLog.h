#pragma once

#include <QString>

// The application's one logger: appends "[HH:mm:ss.SSS] message\n" to
// /tmp/ormil-debug.log ($ORMIL_DEBUG_LOG when set). Callable from any thread; a line always reaches the
// file whole; failures are swallowed. The file is created private to the user
// (it can hold dictated text) and never written through a symbolic link.
void debugLog(const QString& message);

namespace DebugLog {
QString defaultPath();
// The file in use (tests point each process at its own file).
QString path();
void setPath(const QString& path);
// Empties (or creates) the log, as the launch sequence does once.
void truncate();
}  // namespace DebugLog
