// Entry of every test program: a private HOME and XDG tree per process, a
// QApplication (offscreen unless the test group asks for the X server), and
// the debug log inside the private tree.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "audio/MediaModule.h"
#include "platform/DebugLog.h"
#include "platform/Threading.h"
#include "support/TestSupport.h"

namespace {
QString g_root;
}

QString testsupport::root() { return g_root; }

int main(int argc, char** argv) {
    QTemporaryDir dir(QDir::tempPath() + "/ormil-test-XXXXXX");
    dir.setAutoRemove(qEnvironmentVariableIsEmpty("ORMIL_KEEP_TEST_DIRS"));
    g_root = dir.path();
    for (const char* sub : {"home", "config", "data", "cache", "tmp"}) QDir(g_root).mkpath(sub);
    qputenv("HOME", (g_root + "/home").toUtf8());
    qputenv("XDG_CONFIG_HOME", (g_root + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (g_root + "/data").toUtf8());
    qputenv("XDG_CACHE_HOME", (g_root + "/cache").toUtf8());
    qputenv("TMPDIR", (g_root + "/tmp").toUtf8());
    const QByteArray qpa = qgetenv("ORMIL_TEST_QPA");
    qputenv("QT_QPA_PLATFORM", qpa.isEmpty() ? QByteArray("offscreen") : qpa);
    DebugLog::setPath(g_root + "/ormil-debug.log");
    // Test programs do not sit in the bundle's bin/ folder.
    MediaModule::setPathForTesting(QStringLiteral(ORMIL_MEDIA_MODULE_PATH));

    QApplication app(argc, argv);
    QApplication::setApplicationName("Ormil");
    QStandardPaths::setTestModeEnabled(false);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    // A page or service may have left a request running on the worker pool;
    // it must not outlive the objects it uses.
    waitForAsyncWork(30000);
    return result;
}
