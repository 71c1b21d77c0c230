#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

#include "platform/DebugLog.h"

namespace testsupport {

bool waitUntil(const std::function<bool()>& pred, int timeoutMs) {
    QElapsedTimer t;
    t.start();
    while (!pred()) {
        if (t.elapsed() > timeoutMs) return pred();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

void processEvents(int ms) {
    QElapsedTimer t;
    t.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (ms > 0) QThread::msleep(1);
    } while (t.elapsed() < ms);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

void writeFile(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(data);
}

QByteArray runProgram(const QString& program, const QStringList& args, int* exitCode,
                      const QByteArray& input) {
    QProcess p;
    p.start(program, args);
    if (!input.isEmpty()) p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(120000);
    if (exitCode) *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return p.readAllStandardOutput();
}

QString debugLogText() { return QString::fromUtf8(readFile(DebugLog::path())); }

bool hasDisplay() { return !qEnvironmentVariableIsEmpty("DISPLAY"); }
bool hasPulse() { return !qEnvironmentVariableIsEmpty("ORMIL_TEST_MIC_FIFO"); }

}  // namespace testsupport
