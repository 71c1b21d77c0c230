#include <gtest/gtest.h>

#include <QSignalSpy>
#include <functional>

#include "core/AppState.h"
#include "platform/SettingsStore.h"

namespace {
TokenReader reader(std::optional<QString> token, int status) {
    return [=](const QString& key) {
        EXPECT_EQ(key, "access_token");
        return TokenReadResult{token, status};
    };
}
}  // namespace

TEST(AppState, InitialValues) {
    SettingsStore settings;
    AppState s(settings, {});
    EXPECT_FALSE(s.isRecording());
    EXPECT_EQ(s.userPlan(), "Free");
    EXPECT_EQ(s.wordsLimit(), 2000);
    EXPECT_EQ(s.filesMaxSizeMb(), 100);
    EXPECT_EQ(s.filesDailyMinutesLimit(), -1);
    EXPECT_EQ(s.filesDailyMinutesRemaining(), -1);
    EXPECT_TRUE(s.filesServiceAvailable());
    EXPECT_FALSE(s.lastError().has_value());
    EXPECT_EQ(s.lastTranscribedText(), "");
}

TEST(AppState, UnlimitedWordsBoundaries) {
    SettingsStore settings;
    AppState s(settings, {});
    const std::pair<int, bool> cases[] = {{-1, true}, {1000000, true}, {999999, false}, {0, false}};
    for (auto [limit, unlimited] : cases) {
        s.setWordsLimit(limit);
        EXPECT_EQ(s.isUnlimitedWords(), unlimited) << limit;
    }
}

TEST(AppState, LastTranscribedTextPersistsAndWritesEqualTextOnce) {
    SettingsStore settings;
    settings.set("lastTranscribedText", "from before");
    AppState s(settings, {});
    EXPECT_EQ(s.lastTranscribedText(), "from before");
    QSignalSpy writes(&settings, &SettingsStore::changed);
    s.setLastTranscribedText("hello ");
    s.setLastTranscribedText("hello ");
    EXPECT_EQ(writes.count(), 1);
    EXPECT_EQ(settings.string("lastTranscribedText"), QString("hello "));
}

TEST(AppState, LoadAuthStateTable) {
    struct Case {
        std::optional<QString> token;
        int status;
        bool authenticated;
    };
    const Case cases[] = {
        {QString("tok"), 0, true},    {QString(""), 0, false},     {std::nullopt, -25300, false},
        {std::nullopt, -25308, true}, {QString(""), -25308, true},
    };
    for (const Case& c : cases) {
        SettingsStore settings;
        AppState s(settings, reader(c.token, c.status));
        EXPECT_EQ(s.isAuthenticated(), c.authenticated) << c.status;
    }
    // Never signs out by itself.
    SettingsStore settings;
    AppState s(settings, reader(std::nullopt, -25300));
    s.setIsAuthenticated(true);
    s.loadAuthState();
    EXPECT_TRUE(s.isAuthenticated());
}

TEST(AppState, ApplyFileLimitsCopiesAllButMinutesUsed) {
    SettingsStore settings;
    AppState s(settings, {});
    QSignalSpy spy(&s, &AppState::filesDailyMinutesRemainingChanged);
    s.applyFileLimits(FileLimits{true, 60, 17, 43, 250, false});
    EXPECT_TRUE(s.filesFeatureEnabled());
    EXPECT_EQ(s.filesDailyMinutesLimit(), 60);
    EXPECT_EQ(s.filesDailyMinutesRemaining(), 43);
    EXPECT_EQ(s.filesMaxSizeMb(), 250);
    EXPECT_FALSE(s.filesServiceAvailable());
    EXPECT_EQ(spy.count(), 1);
}

TEST(AppState, EveryAssignmentIsPublishedAlsoOfAnEqualValue) {
    SettingsStore settings;
    AppState s(settings, {});
    // Each property assigned its current value twice.
    struct Case {
        const char* name;
        void (AppState::*signal)();
        std::function<void()> assign;
    };
    const Case cases[] = {
        {"isRecording", &AppState::isRecordingChanged, [&] { s.setIsRecording(false); }},
        {"recordingDuration", &AppState::recordingDurationChanged,
         [&] { s.setRecordingDuration(0); }},
        {"userPlan", &AppState::userPlanChanged, [&] { s.setUserPlan("Free"); }},
        {"wordsLimit", &AppState::wordsLimitChanged, [&] { s.setWordsLimit(2000); }},
        {"lastError", &AppState::lastErrorChanged, [&] { s.setLastError(std::nullopt); }},
        {"lastTranscribedText", &AppState::lastTranscribedTextChanged,
         [&] { s.setLastTranscribedText(""); }},
    };
    QSignalSpy writes(&settings, &SettingsStore::changed);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QSignalSpy spy(&s, c.signal);
        c.assign();
        c.assign();
        EXPECT_EQ(spy.count(), 2);
    }
    // Publishing an unchanged text stores nothing.
    EXPECT_EQ(writes.count(), 0);
}
