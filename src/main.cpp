#include <QApplication>

#include "pipeline/DebugLog.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ormil"));
    QApplication::setQuitOnLastWindowClosed(false);
    DebugLog::truncate();
    debugLog(QStringLiteral("[App] Ormil launching..."));
    return app.exec();
}
