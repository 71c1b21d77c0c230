// Layout switching on the real X server: setxkbmap sets up two groups and
// the service locks the group of the recognised language.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include "pipeline/InputSourceService.h"
#include "platform/InputSources.h"
#include "platform/LanguageRecognizer.h"
#include "platform/SettingsStore.h"
#include "support/TestSupport.h"
#include "platform/linux/Cld2LanguageRecognizer.h"
#include "platform/x11/X11InputSources.h"

namespace {
class LayoutOnX11 : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testsupport::hasDisplay()) GTEST_SKIP() << "no X display";
        int rc = -1;
        testsupport::runProgram("setxkbmap", {"-layout", "us,ru", "-variant", ","}, &rc);
        ASSERT_EQ(rc, 0);
    }
    void TearDown() override {
        if (testsupport::hasDisplay()) testsupport::runProgram("setxkbmap", {"-layout", "us"});
    }
};
}  // namespace

TEST_F(LayoutOnX11, RussianTextSelectsTheRussianGroup) {
    X11InputSources sources;
    const auto list = sources.enabledSources();
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 2);
    EXPECT_EQ((*list)[0].identifier, "us");
    EXPECT_EQ((*list)[1].identifier, "ru");
    EXPECT_TRUE((*list)[1].languages && (*list)[1].languages->contains("ru"));

    SettingsStore settings;
    settings.set("autoSwitchLayout", true);
    Cld2LanguageRecognizer recognizer;
    InputSourceService service(settings, recognizer, sources);

    service.switchToMatchingLayout("Сегодня мы обсудим план работы на следующую неделю. ");
    EXPECT_TRUE(testsupport::waitUntil([&] { return sources.currentGroup() == 1; }));
    service.switchToMatchingLayout("Today we will discuss the plan for next week. ");
    EXPECT_TRUE(testsupport::waitUntil([&] { return sources.currentGroup() == 0; }));
}
