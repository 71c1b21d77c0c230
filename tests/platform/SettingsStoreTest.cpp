#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
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
    s.flush();
    EXPECT_EQ(SettingsStore(path).integer("x"), 1);
}

// The file as another process finds it: the values of one whole write.
static QJsonObject onDisk(const QString& path) {
    return QJsonDocument::fromJson(testsupport::readFile(path)).object();
}

TEST(SettingsStore, ABurstOfChangesIsOneWriteOnceItSettles) {
    const QString path = testsupport::root() + "/config/Ormil/burst.json";
    SettingsStore s(path);
    s.set("soundVolume", 10);
    s.flush();
    ASSERT_EQ(s.writeCount(), 1);
    // A drag that never rests: the caller is not held up and a reader sees
    // each value at once; the file keeps the previous whole state meanwhile
    // (what a process killed now would leave).
    s.setWriteDelay(std::chrono::hours(1));
    for (int v = 11; v <= 60; ++v) {
        s.set("soundVolume", v);
        EXPECT_EQ(s.integer("soundVolume"), v);
    }
    EXPECT_EQ(onDisk(path).value("soundVolume").toInt(), 10);
    EXPECT_EQ(s.writeCount(), 1);
    // Once it settles, the last value is written, once.
    s.setWriteDelay(std::chrono::milliseconds(20));
    ASSERT_TRUE(testsupport::waitUntil([&] { return s.writeCount() == 2; }));
    EXPECT_EQ(onDisk(path).value("soundVolume").toInt(), 60);
    s.flush();  // nothing pending: no write
    EXPECT_EQ(s.writeCount(), 2);
}

TEST(SettingsStore, WhatIsPendingReachesTheFileAtQuit) {
    const QString path = testsupport::root() + "/config/Ormil/quit.json";
    for (const bool byDestructor : {false, true}) {
        SCOPED_TRACE(byDestructor ? "destroyed" : "flushed");
        QFile::remove(path);
        {
            SettingsStore s(path);
            s.setWriteDelay(std::chrono::hours(1));
            s.setMany({{"toneStyle", "neutral"}, {"soundVolume", 30}});
            s.remove("toneStyle");
            EXPECT_FALSE(QFile::exists(path));
            if (!byDestructor) {
                s.flush();
                EXPECT_EQ(s.writeCount(), 1);
                EXPECT_EQ(onDisk(path), (QJsonObject{{"soundVolume", 30}}));
            }
        }
        EXPECT_EQ(onDisk(path), (QJsonObject{{"soundVolume", 30}}));
        EXPECT_EQ(QFileInfo(path).permissions() & 0x0077, 0);
    }
}

TEST(SettingsStore, DefaultsTableAnswersForAbsentKeysOnly) {
    SettingsStore s;
    EXPECT_EQ(s.integerOrDefault("soundVolume"), 50);
    EXPECT_TRUE(s.boolOrDefault("soundEnabled"));
    s.set("soundEnabled", false);
    EXPECT_FALSE(s.boolOrDefault("soundEnabled"));
    EXPECT_EQ(s.integerOrDefault("noSuchKey"), 0);
}

TEST(SettingsStore, BytesKeepTheirTypeThroughTheFile) {
    const QString path = testsupport::root() + "/config/Ormil/bytes.json";
    const QByteArray bytes("\x00\xff[{\"name\":1}]", 14);
    {
        SettingsStore s(path);
        s.setData("blob", bytes);
        s.set("text", QString::fromLatin1(bytes.toBase64()));
        s.set("tagLike", QJsonObject{{"$bytes", "not base64 !"}});
    }
    SettingsStore again(path);
    EXPECT_EQ(again.data("blob"), bytes);
    EXPECT_TRUE(again.isData("blob"));
    EXPECT_FALSE(again.isDictionary("blob"));
    EXPECT_FALSE(again.dictionary("blob").has_value());
    // A string is not bytes, whatever it spells.
    EXPECT_FALSE(again.data("text").has_value());
    // Neither is a dictionary that only looks like the tag.
    EXPECT_FALSE(again.data("tagLike").has_value());
    EXPECT_TRUE(again.isDictionary("tagLike"));
    EXPECT_FALSE(again.data("absent").has_value());
}

// Numbers come from a file anyone can edit: a value that is no 64-bit integer
// reads as absent (the default), never as whatever a cast would make of it.
TEST(SettingsStore, IntegerEdgesAsWrittenInTheFile) {
    const struct {
        const char* json;  // the stored value as it stands in settings.json
        std::optional<qint64> integer;
    } cases[] = {
        {"9223372036854775807", INT64_MAX},
        {"-9223372036854775808", INT64_MIN},
        {"9223372036854775808", std::nullopt},  // 2^63
        {"1e300", std::nullopt},
        {"-1e300", std::nullopt},
        {"\"1e300\"", std::nullopt},
        {"\"9223372036854775807\"", INT64_MAX},
        {"\"-9223372036854775809\"", std::nullopt},  // -2^63-1
        {"\"9223372036854775808\"", std::nullopt},
        {"\"nan\"", std::nullopt},
        {"\"NaN\"", std::nullopt},
        {"\"-inf\"", std::nullopt},
        {"\"infinity\"", std::nullopt},
        {"\"twelve\"", std::nullopt},
        {"12.0", 12},
        {"12.5", 12},
        {"-12.5", -12},
        {"\"12.5\"", 12},
        {"\" 42 \"", 42},
        {"true", 1},
        {"[12]", std::nullopt},
        {"{}", std::nullopt},
        {"null", std::nullopt},
    };
    const QString path = testsupport::root() + "/config/edges.json";
    for (const auto& c : cases) {
        testsupport::writeFile(path, QByteArray("{\"soundVolume\": ") + c.json + "}");
        SettingsStore s(path);
        ASSERT_TRUE(s.contains("soundVolume")) << c.json;
        EXPECT_EQ(s.integerValue("soundVolume"), c.integer) << c.json;
        EXPECT_EQ(s.integer("soundVolume"), c.integer.value_or(0)) << c.json;
        EXPECT_EQ(s.integerOrDefault("soundVolume"), c.integer.value_or(50)) << c.json;
    }
}

TEST(SettingsStore, DoublesThatAreNotFiniteReadAsAbsent) {
    SettingsStore s;
    for (const char* text : {"nan", "inf", "-Infinity", "1e999", "loud"}) {
        s.set("soundVolume", text);
        EXPECT_EQ(s.finiteDouble("soundVolume"), std::nullopt) << text;
        EXPECT_EQ(s.doubleValue("soundVolume"), 0.0) << text;
        EXPECT_EQ(s.doubleOrDefault("soundVolume"), 50.0) << text;
    }
    s.set("soundVolume", " 12.5 ");
    EXPECT_EQ(s.doubleOrDefault("soundVolume"), 12.5);
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
