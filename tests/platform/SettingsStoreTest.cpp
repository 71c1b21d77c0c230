#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QSignalSpy>

#include "platform/SettingsStore.h"
#include "support/TestSupport.h"

TEST(SettingsStore, TypedGettersKeepAbsentApartFromFalse) {
    SettingsStore s;
    EXPECT_FALSE(s.object("k").has_value());
    EXPECT_FALSE(s.boolean("k"));
    EXPECT_EQ(s.integer("k"), 0);
    EXPECT_FALSE(s.string("k").has_value());

    s.set("k", false);
    ASSERT_TRUE(s.object("k").has_value());
    EXPECT_TRUE(s.isBool("k"));
    EXPECT_FALSE(s.isNumber("k"));

    struct Case {
        QJsonValue v;
        bool b;
        qint64 i;
        std::optional<QString> str;
    };
    const Case cases[] = {
        {true, true, 1, std::nullopt},           {QJsonValue(2.9), true, 2, QString("2.9")},
        {QJsonValue(0), false, 0, QString("0")}, {"yes", true, 0, QString("yes")},
        {"42", false, 42, QString("42")},        {QJsonArray{"a"}, false, 0, std::nullopt},
    };
    for (const Case& c : cases) {
        s.set("v", c.v);
        EXPECT_EQ(s.boolean("v"), c.b) << c.v.toVariant().toString().toStdString();
        EXPECT_EQ(s.integer("v"), c.i) << c.v.toVariant().toString().toStdString();
        EXPECT_EQ(s.string("v"), c.str) << c.v.toVariant().toString().toStdString();
    }
}

TEST(SettingsStore, PersistsPrivatelyAndSignalsOnlyRealChanges) {
    const QString path = testsupport::root() + "/config/Ormil/settings.json";
    {
        SettingsStore s(path);
        QSignalSpy spy(&s, &SettingsStore::changed);
        s.set("toneStyle", "neutral");
        s.set("toneStyle", "neutral");
        s.set("soundVolume", 30);
        s.remove("absent");
        EXPECT_EQ(spy.count(), 2);
    }
    EXPECT_EQ(QFileInfo(path).permissions() & 0x0077, 0);  // no group/other bits
    SettingsStore again(path);
    EXPECT_EQ(again.string("toneStyle"), QString("neutral"));
    EXPECT_EQ(again.integer("soundVolume"), 30);
}

TEST(SettingsStore, CorruptFileStartsEmptyAndIsReplacedWhole) {
    const QString path = testsupport::root() + "/config/bad.json";
    testsupport::writeFile(path, "{not json");
    SettingsStore s(path);
    EXPECT_FALSE(s.contains("x"));
    s.set("x", 1);
    EXPECT_EQ(SettingsStore(path).integer("x"), 1);
}

TEST(SettingsStore, DefaultsTableAnswersForAbsentKeysOnly) {
    SettingsStore s;
    EXPECT_EQ(s.integerOrDefault("soundVolume"), 50);
    EXPECT_TRUE(s.boolOrDefault("soundEnabled"));
    s.set("soundEnabled", false);
    EXPECT_FALSE(s.boolOrDefault("soundEnabled"));
    EXPECT_EQ(s.integerOrDefault("noSuchKey"), 0);
}

// The defaults table against the values the settings page shows (and the
// overlay's dock edge): every entry, its type included, and nothing beyond.
TEST(SettingsStore, DefaultsTableHoldsThePageDefaults) {
    const QJsonObject expected{
        {"interfaceLanguage", "en"},
        {"recognitionLanguage", "ru"},
        {"audioDucking", 1},
        {"duckingLevel", 50},
        {"toneStyle", "none"},
        {"replaceProfanity", false},
        {"perAppStylesEnabled", false},
        {"soundEnabled", true},
        {"soundVolume", 50.0},
        {"overlayEnabled", true},
        {"overlayHideWhenIdle", true},
        {"autoSwitchLayout", true},
        {"audioNormalization", true},
        {"audioQuality", "balanced"},
        {"translateTargetLanguage", "en"},
        {"selectedMicrophone", ""},
        {"recordingMode", "pushToTalk"},
        {"openWindowOnLaunch", true},
        {"launchAtLogin", false},
        {"sendErrorReports", true},
        {"overlayDockEdge", "bottom"},
    };
    const QJsonObject& table = SettingsDefaults::all();
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        SCOPED_TRACE(it.key().toStdString());
        ASSERT_TRUE(table.contains(it.key()));
        EXPECT_EQ(table.value(it.key()).type(), it.value().type());
        EXPECT_EQ(table.value(it.key()), it.value());
    }
    for (const QString& key : table.keys())
        EXPECT_TRUE(expected.contains(key)) << key.toStdString();
}
