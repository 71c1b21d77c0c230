#include <gtest/gtest.h>

#include "pipeline/InputSourceService.h"
#include "platform/InputSources.h"
#include "platform/LanguageRecognizer.h"
#include "platform/SettingsStore.h"
#include "support/TestSupport.h"
#include "fakes/FakeInputSources.h"
#include "fakes/FakeLanguageRecognizer.h"

namespace {

InputSource keyboard(const QString& id, QStringList languages, int group) {
    InputSource s;
    s.identifier = id;
    s.category = InputSources::keyboardCategory();
    s.languages = std::move(languages);
    s.group = group;
    return s;
}

QList<InputSource> systemSources() {
    InputSource palette = keyboard("emoji", {"ru", "en"}, 9);
    palette.category = "palette";
    InputSource disabled = keyboard("ru(typewriter)", {"ru"}, 8);
    disabled.selectCapable = false;
    InputSource noLanguages = keyboard("custom", {}, 7);
    noLanguages.languages.reset();
    return {palette,
            disabled,
            noLanguages,
            keyboard("us", {"en"}, 0),
            keyboard("ru(phonetic)", {"ru"}, 1),
            keyboard("ru", {"ru"}, 2),
            keyboard("ua", {"uk"}, 3),
            keyboard("tw", {"zh-Hant", "zh"}, 4),
            keyboard("de", {"de", "dsb"}, 5)};
}

QString newLogSince(const QString& before) {
    return testsupport::debugLogText().mid(before.size());
}

}  // namespace

TEST(InputSourceService, SelectsTheFirstMatchingSource) {
    const struct {
        const char* name;
        std::optional<const char*> recognised;
        QStringList selected;
        const char* logLine;
    } cases[] = {
        {"Russian: the first Russian layout in the system's order",
         "ru",
         {"ru(phonetic)"},
         "[InputSource] Switching to: ru(phonetic) for lang: ru"},
        {"English", "en", {"us"}, "[InputSource] Detected language: en"},
        {"Traditional Chinese uses the Chinese prefixes",
         "zh-Hant",
         {"tw"},
         "[InputSource] Switching to: tw for lang: zh-Hans"},
        {"Simplified Chinese", "zh-Hans", {"tw"}, "[InputSource] Detected language: zh-Hans"},
        {"a code outside the table is its own prefix", "uk", {"ua"}, "for lang: uk"},
        {"no layout for the language",
         "ja",
         {},
         "[InputSource] No matching input source found for: ja"},
        {"prefix, not whole-code, match", "d", {"de"}, "Switching to: de for lang: d"},
    };
    for (const auto& c : cases) {
        SettingsStore settings;
        settings.set("autoSwitchLayout", true);
        FakeLanguageRecognizer recognizer;
        if (c.recognised) recognizer.language = *c.recognised;
        FakeInputSources sources;
        sources.sources = systemSources();
        const QString before = testsupport::debugLogText();
        InputSourceService(settings, recognizer, sources).switchToMatchingLayout("some text");
        EXPECT_EQ(sources.selected, c.selected) << c.name;
        EXPECT_TRUE(newLogSince(before).contains(c.logLine)) << c.name;
    }
}

// Off only when switched off; an absent setting means on, as the settings
// page shows it.
TEST(InputSourceService, OnUnlessSwitchedOff) {
    for (const bool stored : {false, true}) {
        SettingsStore settings;
        if (stored) settings.set("autoSwitchLayout", false);
        FakeLanguageRecognizer recognizer;
        recognizer.language = "ru";
        FakeInputSources sources;
        sources.sources = systemSources();
        InputSourceService(settings, recognizer, sources).switchToMatchingLayout("Привет");
        EXPECT_EQ(recognizer.calls, stored ? 0 : 1);
        EXPECT_EQ(sources.selected.isEmpty(), stored);
    }
}

TEST(InputSourceService, UnrecognisedTextLogsItsFirstThirtyCharacters) {
    const std::pair<QString, QString> cases[] = {
        {"", "[InputSource] Could not detect language for: ..."},
        {"12345", "[InputSource] Could not detect language for: 12345..."},
        {QString(40, 'x'),
         "[InputSource] Could not detect language for: " + QString(30, 'x') + "..."},
        // Characters, not UTF-16 units: an emoji is never cut in half.
        {QString(29, 'a') + "😀😀", "for: " + QString(29, 'a') + "😀..."},
    };
    for (const auto& [text, line] : cases) {
        SettingsStore settings;
        settings.set("autoSwitchLayout", true);
        FakeLanguageRecognizer recognizer;
        FakeInputSources sources;
        sources.sources = systemSources();
        const QString before = testsupport::debugLogText();
        InputSourceService(settings, recognizer, sources).switchToMatchingLayout(text);
        EXPECT_TRUE(newLogSince(before).contains(line)) << line.toStdString();
        EXPECT_TRUE(sources.selected.isEmpty());
    }
}

TEST(InputSourceService, NoSourceListIsLogged) {
    SettingsStore settings;
    settings.set("autoSwitchLayout", true);
    FakeLanguageRecognizer recognizer;
    recognizer.language = "ru";
    FakeInputSources sources;
    const QString before = testsupport::debugLogText();
    InputSourceService(settings, recognizer, sources).switchToMatchingLayout("Привет");
    EXPECT_TRUE(newLogSince(before).contains("[InputSource] Failed to get input source list"));
}
