#include "FuzzSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include "platform/DebugLog.h"

QString fuzz::scratchDir() {
    static const bool started = [] {
        static int argc = 1;
        static char name[] = "ormil-fuzz";
        static char* argv[] = {name, nullptr};
        // Lives as long as the process; QCoreApplication::instance() keeps it.
        new QCoreApplication(argc, argv);
        DebugLog::setPath(QStringLiteral("/dev/null"));
        return true;
    }();
    (void)started;
    // A static object, so that a normal exit (the end of a timed run)
    // removes the folder.
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/ormil-fuzz-XXXXXX"));
    return dir.path();
}

QString fuzz::writeScratchFile(const QString& name, const uint8_t* data, size_t size) {
    const QString path = scratchDir() + QLatin1Char('/') + name;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return {};
    if (f.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size)) return {};
    return path;
}
