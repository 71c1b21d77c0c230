// The crash hook: an uncaught exception is reported as category "crash"
// with its type, its text and the first frames of the backtrace, and the
// process aborts.
#include <gtest/gtest.h>

#include <QRegularExpression>

#include <QJsonDocument>
#include <QJsonObject>
#include <csignal>
#include <stdexcept>
#include <thread>

#include "fakes/FakeClock.h"
#include "platform/SettingsStore.h"
#include "service/CrashHandler.h"
#include "service/ErrorReportService.h"
#include "support/TestSupport.h"

namespace {

struct DiskFull : std::runtime_error {
    DiskFull() : std::runtime_error("no space left") {}
};

template <typename E>
std::exception_ptr thrown(E e) {
    try {
        throw e;
    } catch (...) {
        return std::current_exception();
    }
}

}  // namespace

TEST(CrashHandler, DescribesTheExceptionInFlight) {
    struct Case {
        const char* name;
        std::exception_ptr exception;
        QString code;
        QString reason;
    };
    const Case cases[] = {
        {"standard", thrown(std::runtime_error("boom")), "std::runtime_error", "boom"},
        {"own type", thrown(DiskFull()), "(anonymous namespace)::DiskFull", "no space left"},
        {"not an exception class", thrown(42), "int", ""},
        {"terminate without exception", nullptr, "std::terminate", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CrashReport report = CrashHandler::describe(c.exception, "frame1\nframe2");
        EXPECT_EQ(report.code, c.code);
        EXPECT_EQ(report.message, c.reason + "\nframe1\nframe2");
    }
}

TEST(CrashHandler, BacktraceHasAtMostEightFrames) {
    const QString trace = CrashHandler::currentBacktrace();
    EXPECT_FALSE(trace.isEmpty());
    EXPECT_LE(trace.split('\n').size(), CrashHandler::backtraceFrames);
}

// The program exports none of its own symbols; its frames are still named.
TEST(CrashHandler, BacktraceNamesTheProgramsOwnFunctions) {
    const QString trace = CrashHandler::currentBacktrace();
    const QString first = trace.section('\n', 0, 0);
    EXPECT_TRUE(first.contains("BacktraceNamesTheProgramsOwnFunctions")) << trace.toStdString();
    EXPECT_TRUE(first.contains(QRegularExpression("\\+0x[0-9a-f]+\\) \\[0x[0-9a-f]+\\]$")))
        << first.toStdString();
}

TEST(CrashHandler, UncaughtExceptionIsQueuedThenAborts) {
    const QString queue = testsupport::root() + "/data/Ormil/crash-queue.jsonl";
    // The child writes the event into the file this process reads back.
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(
        {
            SettingsStore settings;
            FakeClock clock;
            ErrorReportService reports(
                settings, clock, {}, [](const HttpRequest&) { return HttpResponse{}; },
                "http://127.0.0.1:9", queue);
            CrashHandler::install(reports);
            std::thread([] { throw std::logic_error("worker gave up"); }).join();
        },
        testing::KilledBySignal(SIGABRT), "");
    const QStringList lines =
        QString::fromUtf8(testsupport::readFile(queue)).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1);
    const QJsonObject event = QJsonDocument::fromJson(lines[0].toUtf8()).object();
    EXPECT_EQ(event.value("category"), "crash");
    EXPECT_EQ(event.value("code"), "std::logic_error");
    const QStringList message = event.value("message").toString().split('\n');
    EXPECT_EQ(message.first(), "worker gave up");
    EXPECT_GE(message.size(), 2);
    EXPECT_LE(message.size(), 1 + CrashHandler::backtraceFrames);
}
