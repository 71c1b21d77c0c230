#include <gtest/gtest.h>

#include <QJsonObject>
#include <functional>

#include "records/FailedTranscription.h"

namespace {

QJsonObject validEntry() {
    return QJsonObject{
        {"id", "6F1C2B9A-0D3E-4C1B-9F2A-1234567890AB"},
        {"audioFileName", "failed_6F1C2B9A-0D3E-4C1B-9F2A-1234567890AB.wav"},
        {"language", "ru"},
        {"provider", "openai"},
        {"toneStyle", "neutral"},
        {"duration", 3.25},
        {"errorMessage", "The request timed out."},
        {"createdAt", 786000000.125},
        {"audioSize", 52000},
        {"audioFormat", "ogg"},
    };
}

}  // namespace

TEST(FailedTranscription, DecodesOnlyCompleteWellTypedEntries) {
    struct Case {
        const char* name;
        std::function<void(QJsonObject&)> change;
        bool valid;
    };
    const Case cases[] = {
        {"complete", [](QJsonObject&) {}, true},
        {"no audioFormat", [](QJsonObject& o) { o.remove("audioFormat"); }, true},
        {"null audioFormat", [](QJsonObject& o) { o.insert("audioFormat", QJsonValue::Null); },
         true},
        {"unknown extra key", [](QJsonObject& o) { o.insert("extra", 1); }, true},
        {"no errorMessage", [](QJsonObject& o) { o.remove("errorMessage"); }, false},
        {"no createdAt", [](QJsonObject& o) { o.remove("createdAt"); }, false},
        {"createdAt as text", [](QJsonObject& o) { o.insert("createdAt", "2024-01-01"); }, false},
        {"duration as text", [](QJsonObject& o) { o.insert("duration", "3"); }, false},
        {"fractional audioSize", [](QJsonObject& o) { o.insert("audioSize", 1.5); }, false},
        {"numeric audioFormat", [](QJsonObject& o) { o.insert("audioFormat", 3); }, false},
        {"numeric id", [](QJsonObject& o) { o.insert("id", 7); }, false},
        {"file name with a folder", [](QJsonObject& o) { o.insert("audioFileName", "a/b.wav"); },
         false},
        {"file name going up", [](QJsonObject& o) { o.insert("audioFileName", ".."); }, false},
        {"empty file name", [](QJsonObject& o) { o.insert("audioFileName", ""); }, false},
    };
    for (const Case& c : cases) {
        QJsonObject o = validEntry();
        c.change(o);
        QString why;
        const auto entry = FailedTranscription::fromJson(o, &why);
        EXPECT_EQ(entry.has_value(), c.valid) << c.name;
        if (!c.valid) {
            EXPECT_FALSE(why.isEmpty()) << c.name;
        }
    }
}

TEST(FailedTranscription, KeepsItsFieldsAndDatesExactly) {
    const auto entry = FailedTranscription::fromJson(validEntry());
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->audioFormat, "ogg");
    EXPECT_EQ(entry->audioSize, 52000);
    EXPECT_EQ(entry->toJson(), validEntry());

    QJsonObject legacy = validEntry();
    legacy.remove("audioFormat");
    EXPECT_EQ(FailedTranscription::fromJson(legacy)->toJson().value("audioFormat"), "wav");

    // Seconds since 2001-01-01 UTC, both ways.
    const QDateTime start2001(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
    EXPECT_DOUBLE_EQ(FailedTranscription::referenceSeconds(start2001), 0);
    EXPECT_DOUBLE_EQ(FailedTranscription::referenceSeconds(start2001.addSecs(86400).addMSecs(250)),
                     86400.25);
    FailedTranscription e;
    e.createdAt = 86400.25;
    EXPECT_EQ(e.createdAtDate(), start2001.addSecs(86400).addMSecs(250));
}
