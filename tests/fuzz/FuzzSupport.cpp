#include "FuzzSupport.h"

#include <QTemporaryDir>

#include "platform/DebugLog.h"

QString fuzz::scratchDir() {
    static QTemporaryDir* dir = [] {
        DebugLog::setPath(QStringLiteral("/dev/null"));
        return new QTemporaryDir(QDir::tempPath() + QStringLiteral("/ormil-fuzz-XXXXXX"));
    }();
    return dir->path();
}
