#pragma once

#include <QString>

// The application's one logger: appends "[HH:mm:ss.SSS] message\n" to
// /tmp/ormil-debug.log, or to the file that the environment variable
// ORMIL_DEBUG_LOG names (tests and probes give each process its own).
// Callable from any thread; a line always reaches the file whole; failures
// are swallowed. The file is kept private to the user (it can hold dictated
// text); a link, or a file that another user owns, is never written (said
// once on standard error).
void debugLog(const QString& message);

// A number as log lines show it: the shortest text that reads back as
// exactly this value, with ".0" on whole numbers ("1500.0", "-23.4567",
// "0.1"). The float overload is shortest for the float itself.
QString logNumber(double value);
QString logNumber(float value);

namespace DebugLog {
QString defaultPath();
// The file in use (tests point each process at its own file).
QString path();
void setPath(const QString& path);
// Empties (or creates) the log, as the launch sequence does once.
void truncate();
}  // namespace DebugLog
