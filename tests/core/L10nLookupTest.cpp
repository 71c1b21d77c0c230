#include <gtest/gtest.h>

#include <functional>

#include "core/L10n.h"
#include "platform/SettingsStore.h"

namespace {

class L10nLookup : public ::testing::Test {
protected:
    void SetUp() override { SettingsStore::setSharedForTesting(&settings_); }
    void TearDown() override { SettingsStore::setSharedForTesting(nullptr); }

    SettingsStore settings_;
};

TEST_F(L10nLookup, LanguageRuleTable) {
    struct Case {
        QJsonValue lang;
        QString expected;
    };
    const Case cases[] = {
        {QJsonValue(QJsonValue::Undefined), "Session expired"},
        {"ru", "Сессия истекла"},
        {"de", "Sitzung abgelaufen"},
        {"xx", "Session expired"},
        {"pt-BR", "Session expired"},
        {"RU", "Session expired"},
        {"", "Session expired"},
        {QJsonValue(7), "Session expired"},
        {QJsonValue(QJsonValue::Null), "Session expired"},
    };
    for (const Case& c : cases) {
        settings_.set("interfaceLanguage", c.lang);
        EXPECT_EQ(L10n::sessionExpiredTitle(), c.expected)
            << c.lang.toVariant().toString().toStdString();
    }
    settings_.set("interfaceLanguage", "ja");
    EXPECT_EQ(L10n::t({{"ru", "только русский"}}), "");
    settings_.set("interfaceLanguage", "ru");
    EXPECT_EQ(L10n::longRecordingWarning(24),
              "Запись уже >24 мин. Качество результата может снизиться!");
    settings_.set("interfaceLanguage", "en");
    EXPECT_EQ(L10n::longRecordingWarning(24),
              "Recording has been going for over 24 min. The result may be less accurate!");
    EXPECT_EQ(L10n::stepHoldDesc("%2"), "Press and hold\n%2");
}

TEST_F(L10nLookup, PromptEditorTextsFallBackToEnglishOutsideTheirSixLanguages) {
    struct Case {
        const char* lang;
        QString save;
        QString openOrmil;
    };
    const Case cases[] = {
        {"en", "Save", "Open Ormil"},     {"de", "Speichern", "Ormil öffnen"},
        {"tr", "Kaydet", "Ormil'i aç"},   {"ja", "Save", "Ormil を開く"},
        {"uk", "Save", "Відкрити Ormil"}, {"xx", "Save", "Open Ormil"},
    };
    for (const Case& c : cases) {
        settings_.set("interfaceLanguage", c.lang);
        EXPECT_EQ(L10n::promptEditorSave(), c.save) << c.lang;
        EXPECT_EQ(L10n::openOrmil(), c.openOrmil) << c.lang;
    }
}

TEST_F(L10nLookup, LanguageChangeShowsAtTheNextLookup) {
    settings_.set("interfaceLanguage", "fr");
    EXPECT_EQ(L10n::settings(), "Paramètres");
    settings_.set("interfaceLanguage", "ko");
    EXPECT_EQ(L10n::settings(), "설정");
    settings_.remove("interfaceLanguage");
    EXPECT_EQ(L10n::settings(), "Settings");
}

TEST_F(L10nLookup, FunctionsInThreeLanguages) {
    struct Case {
        const char* name;
        std::function<QString()> call;
        QString en, de, ja;
    };
    const Case cases[] = {
        {"updateDownloading", [] { return L10n::updateDownloading("2.1.0"); },
         "Downloading version 2.1.0...", "Version 2.1.0 wird heruntergeladen...",
         "バージョン 2.1.0 をダウンロード中..."},
        {"updateUpToDate", [] { return L10n::updateUpToDate("2.1.0"); },
         "You have the latest version, 2.1.0", "Sie haben die neueste Version: 2.1.0",
         "最新バージョン 2.1.0 をお使いです"},
        {"holdHotkeyToRecord", [] { return L10n::holdHotkeyToRecord("Right Ctrl"); },
         "Hold Right Ctrl to record", "Right Ctrl zum Aufnehmen gedrückt halten",
         "Right Ctrl を押し続けて録音"},
        {"stepHoldDesc", [] { return L10n::stepHoldDesc("Right Ctrl"); },
         "Press and hold\nRight Ctrl", "Gedrückt halten\nRight Ctrl", "押し続ける\nRight Ctrl"},
        {"holdHotkeyToStart", [] { return L10n::holdHotkeyToStart("Right Ctrl"); },
         "Hold Right Ctrl to start recording",
         "Right Ctrl gedrückt halten, um die Aufnahme zu starten",
         "Right Ctrl を押し続けると録音を開始します"},
        {"filesHint", [] { return L10n::filesHint(25); },
         "Audio up to 25 MB. Video — no size limit, we only recognize the sound: mp3, wav, m4a, "
         "mp4, ogg, flac etc.",
         "Audio bis 25 MB. Video ohne Größenlimit, wir erkennen nur den Ton: mp3, wav, m4a, mp4, "
         "ogg, flac usw.",
         "音声は 25 MB まで。動画はサイズ無制限で、音声のみを認識します：mp3、wav、m4a、mp4、ogg、"
         "flac など。"},
        {"filesDailyQuotaHint", [] { return L10n::filesDailyQuotaHint(30, 12); },
         "Up to 30 min of audio per day. 12 min left today (resets at 00:00 UTC).",
         "Bis zu 30 Min. Audio pro Tag. Heute noch 12 Min. übrig (Zurücksetzung um 00:00 UTC).",
         "1日あたり最大 30 分の音声。今日の残りは 12 分です（00:00 UTC にリセット）。"},
        {"filesDailyQuotaExhausted", [] { return L10n::filesDailyQuotaExhausted(30); },
         "Daily limit of 30 min reached. Resets at 00:00 UTC.",
         "Tageslimit von 30 Min. erreicht. Zurücksetzung um 00:00 UTC.",
         "1日の上限 30 分に達しました。00:00 UTC にリセットされます。"},
        {"filesVideoExtractFailedTooLarge",
         [] { return L10n::filesVideoExtractFailedTooLarge(200); },
         "Could not extract audio from the video locally, and the file itself is larger than 200 "
         "MB.",
         "Das Audio konnte nicht lokal aus dem Video extrahiert werden, und die Datei selbst ist "
         "größer als 200 MB.",
         "動画から音声をローカルで抽出できず、ファイル自体も 200 MB を超えています。"},
        {"filesTooLarge", [] { return L10n::filesTooLarge(25); },
         "File is too large. Maximum size is 25 MB.",
         "Die Datei ist zu groß. Maximale Größe: 25 MB.",
         "ファイルが大きすぎます。最大サイズは 25 MB です。"},
        {"nWords", [] { return L10n::nWords(1); }, "1 words", "1 Wörter", "1 語"},
        {"longRecordingWarning", [] { return L10n::longRecordingWarning(24); },
         "Recording has been going for over 24 min. The result may be less accurate!",
         "Die Aufnahme läuft bereits über 24 Min. Das Ergebnis kann ungenauer werden!",
         "録音が 24 分を超えています。結果の精度が下がる可能性があります！"},
    };
    for (const Case& c : cases) {
        settings_.set("interfaceLanguage", "en");
        EXPECT_EQ(c.call(), c.en) << c.name;
        settings_.set("interfaceLanguage", "de");
        EXPECT_EQ(c.call(), c.de) << c.name;
        settings_.set("interfaceLanguage", "ja");
        EXPECT_EQ(c.call(), c.ja) << c.name;
    }
}

TEST_F(L10nLookup, RussianQuotaTextsNameMoscowTime) {
    settings_.set("interfaceLanguage", "ru");
    EXPECT_EQ(
        L10n::filesDailyQuotaHint(30, 0),
        "До 30 мин аудио в день. Сегодня осталось 0 мин (сброс в 03:00 по Москве, 00:00 UTC).");
    EXPECT_EQ(L10n::filesDailyQuotaExhausted(30),
              "Дневной лимит 30 мин исчерпан. Сброс в 03:00 по Москве (00:00 UTC).");
}

}  // namespace
