#include <gtest/gtest.h>

#include "pipeline/AudioDuckingService.h"
#include "fakes/FakeClock.h"
#include "platform/SettingsStore.h"
#include "platform/Volume.h"
#include "support/TestSupport.h"
#include "fakes/FakeVolume.h"

namespace {

class Ducking : public ::testing::Test {
protected:
    // Runs duck() and returns what reached the volume.
    std::vector<int> duckOnce() {
        ducking.duck();
        ducking.waitForQueue();
        return volume.writtenVolumes();
    }

    SettingsStore settings;
    FakeVolume volume;
    FakeClock clock;
    AudioDuckingService ducking{settings, volume, clock};
};

TEST_F(Ducking, ModeAndLevelDecideTheTarget) {
    struct Case {
        QJsonValue mode, level;
        int startVolume;
        std::vector<int> writes;
    } cases[] = {
        {QJsonValue::Undefined, QJsonValue::Undefined, 75, {37}},  // the page's "Partial", 50 %
        {0, QJsonValue::Undefined, 75, {}},
        {1, QJsonValue::Undefined, 75, {37}},
        {1, 20, 80, {16}},
        {1, 150, 75, {75}},
        {1, -5, 75, {0}},
        {2, 50, 75, {0}},
        {3, 50, 75, {}},
        {-1, 50, 75, {}},
        {1, 50, 1, {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode.toDouble(-99) << " level "
                                        << c.level.toDouble(-99) << " volume " << c.startVolume);
        SettingsStore s;
        if (!c.mode.isUndefined()) s.set("audioDucking", c.mode);
        if (!c.level.isUndefined()) s.set("duckingLevel", c.level);
        FakeVolume v;
        v.volume = c.startVolume;
        AudioDuckingService d(s, v, clock);
        d.duck();
        d.waitForQueue();
        EXPECT_EQ(v.writtenVolumes(), c.writes);
        EXPECT_EQ(d.isDucked(), !c.writes.empty());
        d.unduck();
        d.waitForQueue();
        if (!c.writes.empty()) {
            EXPECT_EQ(v.currentVolume(), c.startVolume);
        }
    }
}

TEST_F(Ducking, LeavesASilentOrUnreadableOutputAlone) {
    struct Case {
        const char* name;
        bool readable, muted;
        int level;
    } cases[] = {
        {"unreadable", false, false, 60},
        {"muted", true, true, 60},
        {"volume 0", true, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeVolume v;
        v.readable = c.readable;
        v.muted = c.muted;
        v.volume = c.level;
        AudioDuckingService d(settings, v, clock);
        d.duck();
        d.unduck();
        d.waitForQueue();
        clock.advance(2);
        d.waitForQueue();
        EXPECT_TRUE(v.writtenVolumes().empty());
        EXPECT_FALSE(d.isDucked());
    }
    EXPECT_TRUE(testsupport::debugLogText().contains(
        "[Duck] DUCK пропущен: звук выключен (muted=true, vol=60) — не включаем"));
    EXPECT_TRUE(testsupport::debugLogText().contains(
        "[Duck] DUCK отменён: не удалось прочитать громкость"));
}

TEST_F(Ducking, UnduckRestoresThreeTimes) {
    settings.set("audioDucking", 1);
    EXPECT_EQ(duckOnce(), std::vector<int>{37});
    ducking.duck();  // a second duck keeps the first saved volume
    EXPECT_EQ(ducking.savedVolume(), 75);

    ducking.unduck();
    ducking.waitForQueue();
    EXPECT_EQ(volume.writtenVolumes(), (std::vector<int>{37, 75}));
    const std::pair<double, size_t> steps[] = {{0.44, 2}, {0.02, 3}, {0.63, 3}, {0.02, 4}, {5, 4}};
    for (auto [advance, writes] : steps) {
        clock.advance(advance);
        ducking.waitForQueue();
        EXPECT_EQ(volume.writtenVolumes().size(), writes) << "after " << clock.now();
    }
    EXPECT_EQ(volume.writtenVolumes().back(), 75);
    const QString log = testsupport::debugLogText();
    for (const char* line :
         {"[Duck] DUCK mode=1 level=50% saved=75 target=37",
          "[Duck] UNDUCK restore=75 (повтор 1/3)", "[Duck] UNDUCK re-apply=75 (повтор 2/3)",
          "[Duck] UNDUCK re-apply=75 (повтор 3/3)"})
        EXPECT_TRUE(log.contains(QString::fromUtf8(line))) << line;
}

TEST_F(Ducking, UnduckWithoutDuckChangesNothing) {
    ducking.unduck();
    clock.advance(2);
    ducking.waitForQueue();
    EXPECT_TRUE(volume.writtenVolumes().empty());
}

TEST_F(Ducking, QuickReRecordKeepsTheUsersOwnVolume) {
    settings.set("audioDucking", 1);
    duckOnce();
    ducking.unduck();
    ducking.waitForQueue();
    // The next dictation starts before the output shows the restore: a read
    // still gives the lowered level.
    volume.volume = 37;
    ducking.duck();
    ducking.waitForQueue();
    EXPECT_EQ(ducking.savedVolume(), 75);
    const size_t atSecondDuck = volume.writtenVolumes().size();
    EXPECT_EQ(volume.writtenVolumes().back(), 37);

    // The pending repeats of the first restore must not raise the volume
    // in the middle of this recording.
    clock.advance(2);
    ducking.waitForQueue();
    EXPECT_EQ(volume.writtenVolumes().size(), atSecondDuck);

    ducking.unduck();
    clock.advance(2);
    ducking.waitForQueue();
    EXPECT_EQ(volume.currentVolume(), 75);
}

}  // namespace
