#pragma once

#include <QString>
#include <exception>

class ErrorReportService;

// What an uncaught exception is reported as: category "crash", code the
// exception's type name, message its text, a line break and the first 8
// frames of the backtrace (one a line).
struct CrashReport {
    QString code;
    QString message;
};

namespace CrashHandler {

constexpr int backtraceFrames = 8;

// Reads the exception in flight (none: code "std::terminate").
CrashReport describe(std::exception_ptr exception, const QString& backtrace);
// The calling thread's backtrace, at most `frames` lines, leaving out the
// caller's own `skip` innermost frames and the C++ runtime's frames above
// them.
QString currentBacktrace(int frames = backtraceFrames, int skip = 0);

// Makes std::terminate report the uncaught exception through reports, then
// abort. Installed once by the launch sequence, right after reports.start().
void install(ErrorReportService& reports);

}  // namespace CrashHandler
