// Entry of every test program: a private HOME and XDG tree per test, a
// QApplication (offscreen unless the test group asks for the X server), and
// the debug log and settings store inside that tree. CTest runs one test per
// process, a developer runs a whole program in one: each test starts from the
// same clean state either way.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <vector>

#include "platform/DebugLog.h"
#include "platform/SettingsStore.h"
#include "platform/Threading.h"
#include "support/TestSupport.h"

namespace {
QString g_root;

std::vector<std::function<void()>>& resets() {
    static std::vector<std::function<void()>> list;
    return list;
}

// Points the environment at a fresh folder tree.
void useTree(const QString& root) {
    g_root = root;
    for (const char* sub : {"home", "config", "data", "cache", "tmp"}) QDir(root).mkpath(sub);
    qputenv("HOME", (root + "/home").toUtf8());
    qputenv("XDG_CONFIG_HOME", (root + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (root + "/data").toUtf8());
    qputenv("XDG_CACHE_HOME", (root + "/cache").toUtf8());
    qputenv("TMPDIR", (root + "/tmp").toUtf8());
    DebugLog::setPath(root + "/ormil-debug.log");
}

// Gives every test its own tree, debug log and settings store, and undoes
// what an earlier test of the same process changed in the process-wide state.
class FreshStatePerTest : public ::testing::EmptyTestEventListener {
public:
    explicit FreshStatePerTest(QString processRoot) : m_processRoot(std::move(processRoot)) {}

    void OnTestStart(const ::testing::TestInfo&) override {
        useTree(m_processRoot + QStringLiteral("/test-%1").arg(++m_count));
        for (const auto& reset : resets()) reset();
        m_settings.push_back(std::make_unique<SettingsStore>(SettingsStore::defaultFilePath()));
        SettingsStore::setSharedForTesting(m_settings.back().get());
    }

    void OnTestEnd(const ::testing::TestInfo&) override {
        // Work a test left on the worker pool must not reach into the next one.
        waitForAsyncWork(30000);
        SettingsStore::setSharedForTesting(nullptr);
    }

private:
    QString m_processRoot;
    int m_count = 0;
    // Kept to the end: an object of a finished test may still hold its store.
    std::vector<std::unique_ptr<SettingsStore>> m_settings;
};
}  // namespace

QString testsupport::root() {
    return g_root;
}

void testsupport::atEveryTestStart(std::function<void()> reset) {
    resets().push_back(std::move(reset));
}

int main(int argc, char** argv) {
    QTemporaryDir dir(QDir::tempPath() + "/ormil-test-XXXXXX");
    dir.setAutoRemove(qEnvironmentVariableIsEmpty("ORMIL_KEEP_TEST_DIRS"));
    useTree(dir.path());
    const QByteArray qpa = qgetenv("ORMIL_TEST_QPA");
    qputenv("QT_QPA_PLATFORM", qpa.isEmpty() ? QByteArray("offscreen") : qpa);
    for (const auto& reset : resets()) reset();

    QApplication app(argc, argv);
    QApplication::setApplicationName("Ormil");
    QStandardPaths::setTestModeEnabled(false);
    ::testing::InitGoogleTest(&argc, argv);
    auto* fresh = new FreshStatePerTest(dir.path());
    ::testing::UnitTest::GetInstance()->listeners().Append(fresh);
    const int result = RUN_ALL_TESTS();
    // A page or service may have left a request running on the worker pool;
    // it must not outlive the objects it uses.
    waitForAsyncWork(30000);
    // The stores die with the listener, before the application object.
    delete ::testing::UnitTest::GetInstance()->listeners().Release(fresh);
    return result;
}
