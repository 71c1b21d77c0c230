// A sign-in link given to a second launch reaches the running copy, which
// completes the sign-in with the service and stays signed in.
#include <gtest/gtest.h>

#include <QJsonDocument>

#include "AppProcessTest.h"
#include "platform/SettingsStore.h"
#include "support/DevService.h"

namespace {

TEST(AppSignInLink, LinkHandedToRunningCopySignsIn) {
    DevService service;
    service.exportBases();
    service.createAccount({{"email", "link@ormil.test"}, {"password", "pw"}});
    service.addTelegramToken("one-time-42", "link@ormil.test");

    auto running = apptest::launch();
    ASSERT_TRUE(running->waitForStarted());
    ASSERT_TRUE(
        testsupport::waitUntil([&] { return apptest::runningPid() == running->processId(); }));

    auto second =
        apptest::launch(QStringLiteral(ORMIL_BINARY_PATH), {"ORMIL://auth?Token=one-time-42"});
    ASSERT_TRUE(second->waitForFinished(20000));
    EXPECT_EQ(second->exitCode(), 0);

    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return service.requests("/api/auth/telegram/token").size() == 1; }));
    EXPECT_TRUE(service.requests("/api/auth/telegram/token")[0].body.contains("one-time-42"));
    // The tokens are kept (the plain copy at least, without a secret store).
    const QString settingsFile = SettingsStore::defaultFilePath();
    EXPECT_TRUE(testsupport::waitUntil([&] {
        return QJsonDocument::fromJson(testsupport::readFile(settingsFile))
            .object()
            .contains("ormil_auth_fallback_access_token");
    }));
    EXPECT_EQ(running->state(), QProcess::Running);
    apptest::stop(*running);
}

}  // namespace
