#pragma once

// The built ormil executable run as a separate process by the X11 tests, with
// this test's private HOME and temporary folder.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QProcess>
#include <memory>

#include "platform/SettingsStore.h"
#include "platform/linux/SingleInstance.h"
#include "support/DevService.h"
#include "support/TestSupport.h"

namespace apptest {

// The debug log of the processes this test starts: its own file, not the
// one every user and every copy would share.
inline QString logPath() {
    return testsupport::root() + QStringLiteral("/app-debug.log");
}
inline QString logText() {
    return QString::fromUtf8(testsupport::readFile(logPath()));
}

inline std::unique_ptr<QProcess> launch(const QString& program = QStringLiteral(ORMIL_BINARY_PATH),
                                        const QStringList& args = {}) {
    // The settings this test stored reach the file the new process reads.
    SettingsStore::shared().flush();
    auto p = std::make_unique<QProcess>();
    p->setProcessChannelMode(QProcess::ForwardedChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ORMIL_DEBUG_LOG"), logPath());
    p->setProcessEnvironment(environment);
    p->start(program, args);
    return p;
}

// Starts the program with one argument (a dictation command, a link) as the
// desktop does, and waits for it to hand that over and exit. This test's
// event loop keeps running meanwhile: the test may own the clipboard, and the
// running copy reads the clipboard on its main thread, so a blocking wait
// here would have each wait on the other until the launch gave up.
inline void handOver(const char* argument) {
    auto p = launch(QStringLiteral(ORMIL_BINARY_PATH), {QString::fromUtf8(argument)});
    ASSERT_TRUE(p->waitForStarted()) << argument;
    EXPECT_TRUE(testsupport::waitUntil([&] { return p->state() == QProcess::NotRunning; }, 30000))
        << argument;
    EXPECT_EQ(p->exitStatus(), QProcess::NormalExit) << argument;
    EXPECT_EQ(p->exitCode(), 0) << argument;
}

// The process id the running copy gives on its socket, or 0 when none answers.
inline qint64 runningPid() {
    QLocalSocket socket;
    socket.connectToServer(SingleInstance::defaultSocketPath());
    if (!socket.waitForConnected(1000)) return 0;
    if (!testsupport::waitUntil([&] { return socket.canReadLine(); }, 3000)) return 0;
    return QJsonDocument::fromJson(socket.readLine()).object().value("pid").toInteger();
}

// Whether a visible window of this title (a regular expression) is mapped.
inline bool windowShown(const QString& title) {
    int exitCode = -1;
    testsupport::runProgram(QStringLiteral("xdotool"),
                            {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                             QStringLiteral("--name"), title},
                            &exitCode);
    return exitCode == 0;
}

// Starts the application into `app` and signs it in to a new account of the
// stand-in through a second launch with a sign-in link, as a browser does.
inline void launchSignedIn(DevService& service, const QString& email,
                           std::unique_ptr<QProcess>& app) {
    service.exportBases();
    service.createAccount({{"email", email}, {"password", "pw"}});
    const QString token = QStringLiteral("link-") + email;
    service.addTelegramToken(token, email);
    app = launch();
    ASSERT_TRUE(app->waitForStarted());
    ASSERT_TRUE(testsupport::waitUntil([&] { return runningPid() == app->processId(); }));
    auto link = launch(QStringLiteral(ORMIL_BINARY_PATH), {"ormil://auth?token=" + token});
    ASSERT_TRUE(link->waitForFinished(20000));
    ASSERT_TRUE(testsupport::waitUntil([&] {
        return QJsonDocument::fromJson(testsupport::readFile(SettingsStore::defaultFilePath()))
            .object()
            .contains("ormil_auth_fallback_access_token");
    }));
}

inline void stop(QProcess& p) {
    if (p.state() == QProcess::NotRunning) return;
    p.terminate();
    if (!p.waitForFinished(10000)) p.kill();
    p.waitForFinished(10000);
}

}  // namespace apptest
