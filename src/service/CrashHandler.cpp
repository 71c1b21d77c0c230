#include "service/CrashHandler.h"

#include <cxxabi.h>
#include <execinfo.h>

#include <QStringList>
#include <cstdlib>
#include <memory>
#include <typeinfo>

#include "service/ErrorReportService.h"

namespace {

ErrorReportService* g_reports = nullptr;

QString demangle(const char* name) {
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> out(
        abi::__cxa_demangle(name, nullptr, nullptr, &status), &std::free);
    return QString::fromUtf8(status == 0 && out ? out.get() : name);
}

[[noreturn]] void onTerminate() {
    // Leave the handler first: an exception inside the report must not
    // bring us back here.
    std::set_terminate(std::abort);
    if (g_reports) {
        try {
            const CrashReport report = CrashHandler::describe(
                std::current_exception(),
                CrashHandler::currentBacktrace(CrashHandler::backtraceFrames, 1));
            g_reports->report(QStringLiteral("crash"), report.code, report.message);
        } catch (...) {
        }
    }
    std::abort();
}

}  // namespace

CrashReport CrashHandler::describe(std::exception_ptr exception, const QString& backtrace) {
    CrashReport report;
    QString reason;
    if (!exception) {
        report.code = QStringLiteral("std::terminate");
    } else {
        try {
            std::rethrow_exception(exception);
        } catch (const std::exception& e) {
            report.code = demangle(typeid(e).name());
            reason = QString::fromUtf8(e.what());
        } catch (...) {
            const std::type_info* type = abi::__cxa_current_exception_type();
            report.code = type ? demangle(type->name()) : QStringLiteral("unknown");
        }
    }
    report.message = reason + "\n" + backtrace;
    return report;
}

QString CrashHandler::currentBacktrace(int frames, int skip) {
    void* addresses[64];
    const int count = backtrace(addresses, 64);
    QStringList lines;
    if (char** symbols = backtrace_symbols(addresses, count)) {
        // Past this function and the caller's own frames, the runtime's
        // terminate and throw machinery says nothing about the fault.
        int i = 1 + skip;
        while (i < count && QByteArray(symbols[i]).contains("libstdc++")) ++i;
        for (; i < count && lines.size() < frames; ++i) lines.append(QString::fromUtf8(symbols[i]));
        std::free(symbols);
    }
    return lines.join('\n');
}

void CrashHandler::install(ErrorReportService& reports) {
    g_reports = &reports;
    std::set_terminate(onTerminate);
}
