#pragma once

// The built ormil executable run as a separate process by the X11 tests, with
// this test's private HOME and temporary folder.
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QProcess>
#include <memory>

#include "platform/linux/SingleInstance.h"
#include "support/TestSupport.h"

namespace apptest {

inline std::unique_ptr<QProcess> launch(const QString& program = QStringLiteral(ORMIL_BINARY_PATH),
                                        const QStringList& args = {}) {
    auto p = std::make_unique<QProcess>();
    p->setProcessChannelMode(QProcess::ForwardedChannels);
    p->start(program, args);
    return p;
}

// The process id the running copy gives on its socket, or 0 when none answers.
inline qint64 runningPid() {
    QLocalSocket socket;
    socket.connectToServer(SingleInstance::defaultSocketPath());
    if (!socket.waitForConnected(1000)) return 0;
    if (!testsupport::waitUntil([&] { return socket.canReadLine(); }, 3000)) return 0;
    return QJsonDocument::fromJson(socket.readLine()).object().value("pid").toInteger();
}

inline void stop(QProcess& p) {
    if (p.state() == QProcess::NotRunning) return;
    p.terminate();
    if (!p.waitForFinished(10000)) p.kill();
    p.waitForFinished(10000);
}

}  // namespace apptest
