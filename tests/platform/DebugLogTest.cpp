#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QRegularExpression>
#include <functional>
#include <iostream>
#include <thread>
#include <vector>

#include "platform/DebugLog.h"
#include "support/TestSupport.h"

TEST(DebugLog, LineShapeAndCreationAfterDeletion) {
    QFile::remove(DebugLog::path());
    debugLog("[Audio] first\nsecond");
    const QString text = testsupport::debugLogText();
    EXPECT_TRUE(QRegularExpression(R"(^\[\d\d:\d\d:\d\d\.\d\d\d\] \[Audio\] first\nsecond\n$)")
                    .match(text)
                    .hasMatch())
        << text.toStdString();
    debugLog("[Audio] next");
    EXPECT_EQ(testsupport::debugLogText().count('\n'), 3);

    struct stat st {};
    ASSERT_EQ(::stat(DebugLog::path().toLocal8Bit().constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(DebugLog, NeverWritesThroughASymbolicLink) {
    const QString target = testsupport::root() + "/victim.txt";
    testsupport::writeFile(target, "untouched");
    QFile::remove(DebugLog::path());
    ASSERT_EQ(
        ::symlink(target.toLocal8Bit().constData(), DebugLog::path().toLocal8Bit().constData()), 0);
    debugLog("[Auth] secret dictation");
    DebugLog::truncate();
    EXPECT_EQ(testsupport::readFile(target), "untouched");
}

TEST(DebugLog, ConcurrentAppendsStayWhole) {
    DebugLog::truncate();
    const QString payload(300, QChar('x'));
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i)
                debugLog(QString("[T%1] %2 %3").arg(t).arg(i).arg(payload));
        });
    for (auto& th : threads) th.join();
    const QStringList lines = testsupport::debugLogText().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1600);
    const QRegularExpression shape(R"(^\[\d\d:\d\d:\d\d\.\d\d\d\] \[T\d\] \d+ x{300}$)");
    for (const QString& l : lines) ASSERT_TRUE(shape.match(l).hasMatch()) << l.toStdString();
}

// The log sits in a folder that every user can write to: only a regular file
// of this user is written, and others lose any access they had to it.
TEST(DebugLog, WritesOnlyARegularFileOfThisUser) {
    struct Case {
        const char* name;
        std::function<bool(const QByteArray& path)> plant;  // false: cannot be set up here
        bool written;
    };
    const Case cases[] = {
        {"a file of this user that others may read",
         [](const QByteArray& p) {
             testsupport::writeFile(QString::fromLocal8Bit(p), "before\n");
             return ::chmod(p.constData(), 0644) == 0;
         },
         true},
        {"a file of another user that this one may write",
         [](const QByteArray& p) {
             testsupport::writeFile(QString::fromLocal8Bit(p), "before\n");
             return ::chmod(p.constData(), 0666) == 0 && ::chown(p.constData(), 65534, 65534) == 0;
         },
         false},
        {"a folder", [](const QByteArray& p) { return ::mkdir(p.constData(), 0700) == 0; }, false},
        {"a named pipe", [](const QByteArray& p) { return ::mkfifo(p.constData(), 0600) == 0; },
         false},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = testsupport::root() + QStringLiteral("/planted-%1.log").arg(++n);
        const QByteArray p = path.toLocal8Bit();
        if (!c.plant(p)) {
            std::cerr << "skipped (needs root): " << c.name << '\n';
            continue;
        }
        DebugLog::setPath(path);
        testing::internal::CaptureStderr();
        debugLog("[Recorder] dictated words");
        DebugLog::truncate();
        debugLog("[Recorder] more dictated words");
        const std::string told = testing::internal::GetCapturedStderr();
        struct stat st {};
        ASSERT_EQ(::stat(p.constData(), &st), 0);
        if (c.written) {
            EXPECT_TRUE(testsupport::readFile(path).endsWith("] [Recorder] more dictated words\n"));
            EXPECT_EQ(st.st_mode & 0777, 0600u);
            EXPECT_EQ(told, "");
        } else {
            if (S_ISREG(st.st_mode)) {
                EXPECT_EQ(testsupport::readFile(path), "before\n");
            }
            // Told once, however many lines were kept out.
            EXPECT_EQ(QString::fromStdString(told).count(path), 1) << told;
        }
    }
}

TEST(DebugLog, NumbersReadBackExactly) {
    const std::pair<double, const char*> doubles[] = {
        {1500.0, "1500.0"},           {0.1, "0.1"},     {0.1 + 0.2, "0.30000000000000004"},
        {123456789.0, "123456789.0"}, {-49.9, "-49.9"}, {12.000000123, "12.000000123"},
    };
    for (const auto& [value, text] : doubles) EXPECT_EQ(logNumber(value), text) << text;
    // A float is shortest for its own precision, not the double it widens to.
    const std::pair<float, const char*> floats[] = {
        {-23.4567f, "-23.4567"}, {0.70710677f, "0.70710677"}, {1.0f, "1.0"}, {-160.0f, "-160.0"}};
    for (const auto& [value, text] : floats) EXPECT_EQ(logNumber(value), text) << text;
}
