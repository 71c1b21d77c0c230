// The file-job wire records: strict decoding, the job row's derived texts,
// the file name written into the upload and the size limit arithmetic.
#include <gtest/gtest.h>

#include <QTimeZone>
#include <limits>

#include "records/FileTranscriptionService.h"

using FileJob = FileTranscriptionService::FileJob;
using Limits = FileTranscriptionService::FileLimits;

namespace {

const char* kLimits =
    R"({"feature_enabled":true,"daily_minutes_limit":30,"daily_minutes_used":5,)"
    R"("daily_minutes_remaining":25,"max_file_size_mb":100,"service_available":false})";

QByteArray limitsWith(const QString& from, const QString& to) {
    return QString::fromLatin1(kLimits).replace(from, to).toUtf8();
}

}  // namespace

TEST(FileLimitsDecoding, RequiredKeysAndIntegerRules) {
    const auto complete = Limits::decode(kLimits);
    ASSERT_TRUE(complete);
    EXPECT_TRUE(complete->feature_enabled);
    EXPECT_EQ(complete->daily_minutes_limit, 30);
    EXPECT_EQ(complete->daily_minutes_used, 5);
    EXPECT_EQ(complete->daily_minutes_remaining, 25);
    EXPECT_EQ(complete->max_file_size_mb, 100);
    EXPECT_FALSE(complete->service_available);

    struct Case {
        const char* name;
        QByteArray body;
        bool decodes;
    };
    const Case cases[] = {
        {"missing service_available", limitsWith(R"(,"service_available":false)", ""), false},
        {"missing daily_minutes_used", limitsWith(R"("daily_minutes_used":5,)", ""), false},
        {"null limit", limitsWith(R"("daily_minutes_limit":30)", R"("daily_minutes_limit":null)"),
         false},
        {"5.0 is an integer", limitsWith(R"("max_file_size_mb":100)", R"("max_file_size_mb":5.0)"),
         true},
        {"45.5 is not", limitsWith(R"("max_file_size_mb":100)", R"("max_file_size_mb":45.5)"),
         false},
        {"bool as number", limitsWith(R"("feature_enabled":true)", R"("feature_enabled":1)"),
         false},
        {"number as string", limitsWith(R"("max_file_size_mb":100)", R"("max_file_size_mb":"100")"),
         false},
        {"extra key",
         limitsWith(R"("service_available":false)", R"("service_available":false,"plan":"pro")"),
         true},
        {"array", "[]", false},
        {"not JSON", "<html>", false},
        {"empty", "", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Limits::decode(c.body).has_value(), c.decodes) << c.name;
    }
    EXPECT_EQ(Limits::decode(limitsWith(R"("max_file_size_mb":100)", R"("max_file_size_mb":5.0)"))
                  ->max_file_size_mb,
              5);
}

TEST(FileLimitsDecoding, HugeValuesAreClampedForTheState) {
    const auto limits = Limits::decode(
        limitsWith(R"("max_file_size_mb":100)", R"("max_file_size_mb":9000000000000)"));
    ASSERT_TRUE(limits);
    EXPECT_EQ(limits->max_file_size_mb, 9000000000000);
    EXPECT_EQ(limits->toAppState().maxFileSizeMb, std::numeric_limits<int>::max());
    EXPECT_FALSE(limits->toAppState().serviceAvailable);
}

TEST(FileJobDecoding, ListFailsAsAWhole) {
    const QByteArray good =
        R"({"id":"a","status":"done","progress":100,"filename":"x.mp3",)"
        R"("duration_seconds":12,"text":"hello","created_at":"2024-03-05T07:08:09"})";
    const QByteArray minimal =
        R"({"id":"b","status":"queued","progress":0,"filename":"y.mp4","duration_seconds":3})";
    const auto list = FileJob::decodeList("{\"jobs\":[" + good + "," + minimal + "]}");
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 2);
    EXPECT_EQ(list->at(0).id, "a");
    EXPECT_EQ(list->at(0).text, QString("hello"));
    EXPECT_EQ(list->at(1).id, "b");
    EXPECT_FALSE(list->at(1).text);
    EXPECT_FALSE(list->at(1).created_at);

    struct Case {
        const char* name;
        QByteArray body;
        bool decodes;
    };
    const Case cases[] = {
        {"empty list", R"({"jobs":[]})", true},
        {"null optionals",
         R"({"jobs":[{"id":"c","status":"error","progress":0,"filename":"z",)"
         R"("duration_seconds":0,"text":null,"error":null,"created_at":null}]})",
         true},
        {"null duration",
         R"({"jobs":[)" + good +
             R"(,{"id":"c","status":"done","progress":1,)"
             R"("filename":"z","duration_seconds":null}]})",
         false},
        {"fractional progress",
         R"({"jobs":[{"id":"c","status":"processing","progress":45.5,)"
         R"("filename":"z","duration_seconds":1}]})",
         false},
        {"whole float progress",
         R"({"jobs":[{"id":"c","status":"processing","progress":45.0,)"
         R"("filename":"z","duration_seconds":1}]})",
         true},
        {"optional of wrong type",
         R"({"jobs":[{"id":"c","status":"done","progress":1,)"
         R"("filename":"z","duration_seconds":1,"text":5}]})",
         false},
        {"missing id",
         R"({"jobs":[{"status":"done","progress":1,"filename":"z",)"
         R"("duration_seconds":1}]})",
         false},
        {"jobs null", R"({"jobs":null})", false},
        {"no jobs key", R"({})", false},
        {"job not an object", R"({"jobs":[1]})", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FileJob::decodeList(c.body).has_value(), c.decodes) << c.name;
    }
}

TEST(FileJobTexts, DisplayTextDateAndDuration) {
    struct TextCase {
        const char* status;
        std::optional<QString> text;
        std::optional<QString> error;
        QString expected;
    };
    const TextCase texts[] = {
        {"error", std::nullopt, std::nullopt, "Error"},
        {"error", QString("ignored"), QString("Too long"), "Too long"},
        {"done", std::nullopt, QString("ignored"), ""},
        {"done", QString("hi"), std::nullopt, "hi"},
        {"ERROR", QString("shown"), QString("not shown"), "shown"},
        {"processing", std::nullopt, std::nullopt, ""},
    };
    for (const TextCase& c : texts) {
        FileJob job;
        job.status = c.status;
        job.text = c.text;
        job.error = c.error;
        EXPECT_EQ(job.displayText(), c.expected) << c.status;
    }

    struct DateCase {
        std::optional<QString> createdAt;
        std::optional<QDateTime> expected;
    };
    const QDateTime at(QDate(2024, 3, 5), QTime(7, 8, 9), QTimeZone::utc());
    const DateCase dates[] = {
        {QString("2024-03-05T07:08:09.123456"), at.addMSecs(123)},
        {QString("2024-03-05T07:08:09"), at},
        {QString("2024-03-05 07:08:09"), std::nullopt},
        {QString("2024-03-05T07:08:09Z"), std::nullopt},
        {QString("2024-03-05T07:08:09.123"), std::nullopt},
        {QString("2024-13-05T07:08:09"), std::nullopt},
        {QString(""), std::nullopt},
        {std::nullopt, std::nullopt},
    };
    for (const DateCase& c : dates) {
        FileJob job;
        job.created_at = c.createdAt;
        EXPECT_EQ(job.createdDate(), c.expected) << c.createdAt.value_or("(absent)").toStdString();
        EXPECT_EQ(job.formattedDate().isEmpty(), !c.expected);
    }
    FileJob dated;
    dated.created_at = "2024-03-05T07:08:09";
    EXPECT_EQ(dated.formattedDate(), at.toLocalTime().toString("dd.MM.yyyy HH:mm"));

    const std::pair<qint64, const char*> durations[] = {
        {0, "0:00"},    {5, "0:05"},     {59, "0:59"},     {60, "1:00"},
        {725, "12:05"}, {3725, "62:05"}, {7200, "120:00"}, {-5, "0:00"},
    };
    for (const auto& [seconds, expected] : durations) {
        FileJob job;
        job.duration_seconds = seconds;
        EXPECT_EQ(job.formattedDuration(), expected) << seconds;
    }
}

TEST(FileUploadName, QuotesAndLineBreaksAreEncodedOnly) {
    const std::pair<QString, QByteArray> cases[] = {
        {"clip.mp4", "clip.mp4"},
        {"Встреча 5%.mov", "Встреча 5%.mov"},
        {"semi;colon 'single'.mp3", "semi;colon 'single'.mp3"},
        {"say \"hi\".mp3", "say %22hi%22.mp3"},
        {"a\r\nX-Injected: 1.mp3", "a%0D%0AX-Injected: 1.mp3"},
    };
    for (const auto& [name, expected] : cases) {
        EXPECT_EQ(FileTranscriptionService::dispositionFileName(name), expected)
            << name.toStdString();
    }
}

TEST(FileUploadName, SizeLimitSaturates) {
    constexpr qint64 max = std::numeric_limits<qint64>::max();
    EXPECT_EQ(FileTranscriptionService::sizeLimitBytes(100), 104857600);
    EXPECT_EQ(FileTranscriptionService::sizeLimitBytes(0), 0);
    EXPECT_EQ(FileTranscriptionService::sizeLimitBytes(max / 1048576), max / 1048576 * 1048576);
    EXPECT_EQ(FileTranscriptionService::sizeLimitBytes(max / 1048576 + 1), max);
    EXPECT_EQ(FileTranscriptionService::sizeLimitBytes(max), max);
    EXPECT_EQ(FileTranscriptionService::sizeLimitBytes(std::numeric_limits<qint64>::min()),
              std::numeric_limits<qint64>::min());
}
