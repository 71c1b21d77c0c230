#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QRegularExpression>
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
    ASSERT_EQ(::symlink(target.toLocal8Bit().constData(), DebugLog::path().toLocal8Bit().constData()),
              0);
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
            for (int i = 0; i < 200; ++i) debugLog(QString("[T%1] %2 %3").arg(t).arg(i).arg(payload));
        });
    for (auto& th : threads) th.join();
    const QStringList lines = testsupport::debugLogText().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1600);
    const QRegularExpression shape(R"(^\[\d\d:\d\d:\d\d\.\d\d\d\] \[T\d\] \d+ x{300}$)");
    for (const QString& l : lines) ASSERT_TRUE(shape.match(l).hasMatch()) << l.toStdString();
}
