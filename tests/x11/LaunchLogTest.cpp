// What the launch logs while it sets its services up stays in the debug log:
// the launch empties the log first, then makes the services.
#include <gtest/gtest.h>

#include <QFile>

#include "AppProcessTest.h"
#include "records/TextExpansionService.h"

namespace {

TEST(LaunchLog, TextExpansionLoadLineSurvivesTheStart) {
    if (!testsupport::hasDisplay()) GTEST_SKIP() << "no test display";
    const QString items = TextExpansionService::defaultFilePath();
    struct Case {
        const char* name;
        std::function<void()> prepare;
        QString line;
    };
    const Case cases[] = {
        {"no file", [&] { QFile::remove(items); },
         "[TextExpansion] No file at " + items + ", starting with empty list"},
        {"damaged file", [&] { testsupport::writeFile(items, "{not json"); },
         "[TextExpansion] Failed to load: "},
        {"two items",
         [&] {
             QFile::remove(items);
             TextExpansionService writer(items);
             writer.addItem("sig", "Best regards", std::nullopt);
             writer.addItem("addr", "1 Main St", std::nullopt);
         },
         "[TextExpansion] Loaded 2 items from file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.prepare();
        QFile::remove(apptest::logPath());
        auto app = apptest::launch();
        ASSERT_TRUE(app->waitForStarted());
        const bool launched = testsupport::waitUntil(
            [] { return apptest::logText().contains("[App] Permission requests sent"); }, 60000);
        const QString log = apptest::logText();
        apptest::stop(*app);
        ASSERT_TRUE(launched) << log.toStdString();
        EXPECT_GT(log.indexOf(c.line), log.indexOf("[App] Ormil launching..."))
            << log.toStdString();
    }
}

}  // namespace
