// Launching the real executable twice: the same installation hands over and
// exits, another installation ends the running copy and takes its place.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "AppProcessTest.h"

namespace {

TEST(SingleInstanceApp, SecondLaunchHandsOverAndOtherInstallationTakesOver) {
    // No tray host runs here: the application must keep running without one.
    auto first = apptest::launch();
    ASSERT_TRUE(first->waitForStarted());
    ASSERT_TRUE(
        testsupport::waitUntil([&] { return apptest::runningPid() == first->processId(); }));

    auto second = apptest::launch(QStringLiteral(ORMIL_BINARY_PATH), {"ormil://auth?token=t"});
    ASSERT_TRUE(second->waitForFinished(20000));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(first->state(), QProcess::Running);
    EXPECT_EQ(apptest::runningPid(), first->processId());

    // A copy installed elsewhere is another installation.
    const QString other = testsupport::root() + "/other/ormil";
    QDir().mkpath(testsupport::root() + "/other");
    ASSERT_TRUE(QFile::copy(QStringLiteral(ORMIL_BINARY_PATH), other));
    auto third = apptest::launch(other);
    ASSERT_TRUE(third->waitForStarted());
    ASSERT_TRUE(first->waitForFinished(20000));
    EXPECT_EQ(third->state(), QProcess::Running);
    ASSERT_TRUE(
        testsupport::waitUntil([&] { return apptest::runningPid() == third->processId(); }));
    apptest::stop(*third);
}

TEST(SingleInstanceApp, OverlongHandOverIsRefusedAndTheRunningCopyStays) {
    auto first = apptest::launch();
    ASSERT_TRUE(first->waitForStarted());
    ASSERT_TRUE(
        testsupport::waitUntil([&] { return apptest::runningPid() == first->processId(); }));

    // More than the running copy takes in one hand-over (each argument
    // stays under the kernel's limit for one argument).
    const QStringList args{QString(100 * 1024, 'a'), QString(100 * 1024, 'b'),
                           QString(100 * 1024, 'c')};
    auto second = apptest::launch(QStringLiteral(ORMIL_BINARY_PATH), args);
    ASSERT_TRUE(second->waitForFinished(20000));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_NE(second->exitCode(), 0);
    EXPECT_EQ(first->state(), QProcess::Running);
    EXPECT_EQ(apptest::runningPid(), first->processId());
    EXPECT_TRUE(apptest::logText().contains("[App] Hand-over refused"))
        << apptest::logText().toStdString();
    apptest::stop(*first);
}

}  // namespace
