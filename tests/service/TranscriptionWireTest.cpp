// The error texts of the transcription client and its JSON records.
#include <gtest/gtest.h>

#include <QJsonDocument>

#include "platform/SettingsStore.h"
#include "service/TranscriptionError.h"
#include "service/TranscriptionWire.h"

namespace {

TEST(TranscriptionError, UserTexts) {
    SettingsStore settings;
    SettingsStore::setSharedForTesting(&settings);
    struct Case {
        const char* name;
        TranscriptionError error;
        QString language;  // interface language
        QString text;
    };
    const Case cases[] = {
        {"network", TranscriptionError::networkError("The request timed out."), "en",
         "Network error: The request timed out."},
        {"server message unchanged", TranscriptionError::serverError("HTTP 500: x"), "ru",
         "HTTP 500: x"},
        {"empty server message", TranscriptionError::serverError(""), "en", ""},
        {"invalid URL", TranscriptionError::invalidURL(), "ru", "Invalid API URL"},
        {"invalid response", TranscriptionError::invalidResponse(), "en",
         "Invalid server response"},
        {"word limit", TranscriptionError::wordLimitReached(), "ru", "Weekly word limit reached."},
        {"session expired, English", TranscriptionError::sessionExpired(), "en",
         "Session expired. Sign in again to continue."},
        {"session expired, Russian", TranscriptionError::sessionExpired(), "ru",
         "Сессия истекла. Войдите в аккаунт заново, чтобы продолжить работу."},
        {"session expired, a language without a table", TranscriptionError::sessionExpired(), "xx",
         "Session expired. Sign in again to continue."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        settings.set("interfaceLanguage", c.language);
        EXPECT_EQ(c.error.errorDescription(), c.text);
        EXPECT_EQ(QString::fromUtf8(c.error.what()), c.text);
    }
    SettingsStore::setSharedForTesting(nullptr);
}

TEST(TranscriptionWire, ResponseDecoding) {
    struct Case {
        const char* name;
        QByteArray body;
        bool decodes;
    };
    const Case cases[] = {
        {"full",
         R"({"success":true,"text":"a","error":"e","word_count":3,"weekly_words_used":9007199254740993,"weekly_words_limit":10,"other":[1]})",
         true},
        {"only required, nulls as absent", R"({"success":false,"text":null,"word_count":null})",
         true},
        {"required missing", R"({"text":"a"})", false},
        {"required null", R"({"success":null})", false},
        {"string for a Boolean", R"({"success":"true"})", false},
        {"fraction for a whole number", R"({"success":true,"word_count":2.5})", false},
        {"string for a whole number", R"({"success":true,"word_count":"2"})", false},
        {"number for a string", R"({"success":true,"text":5})", false},
        {"an array", "[]", false},
        {"not JSON", "{", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool decoded = true;
        try {
            TranscriptionAPIResponse::decode(c.body);
        } catch (const WireDecodingError&) {
            decoded = false;
        }
        EXPECT_EQ(decoded, c.decodes);
    }
    const auto full = TranscriptionAPIResponse::decode(cases[0].body);
    EXPECT_EQ(full.weekly_words_used, 9007199254740993LL);
    EXPECT_EQ(full.word_count, 3);
    const auto bare = TranscriptionAPIResponse::decode(cases[1].body);
    EXPECT_FALSE(bare.text);
    EXPECT_FALSE(bare.word_count);
}

TEST(TranscriptionWire, RequestsLeaveOutAbsentOptionalFields) {
    PostProcessRequest bare{"t", "formal", "ru", std::nullopt, false, std::nullopt, std::nullopt};
    EXPECT_EQ(QJsonDocument(bare.toJson()).toJson(QJsonDocument::Compact),
              R"({"cultured_filter":false,"language":"ru","text":"t","tone_style":"formal"})");
    PostProcessRequest full{"t", "formal", "ru", QString("p"), true, false, true};
    const QJsonObject o = full.toJson();
    EXPECT_EQ(o.value("custom_prompt").toString(), "p");
    EXPECT_EQ(o.value("same_language"), QJsonValue(false));
    EXPECT_EQ(o.value("dont_change_meaning"), QJsonValue(true));
    // Each record reads back what it wrote.
    const auto back = PostProcessRequest::decode(wireBytes(o));
    EXPECT_EQ(back.same_language, false);
    EXPECT_EQ(back.custom_prompt, "p");
    const TranslateTextRequest translate{"hi", "de", true};
    EXPECT_EQ(TranslateTextRequest::decode(wireBytes(translate.toJson())).target_language, "de");
    const TranslateTextResponse answer{true, std::nullopt, QString("e")};
    EXPECT_FALSE(answer.toJson().contains("text"));
}

}  // namespace
