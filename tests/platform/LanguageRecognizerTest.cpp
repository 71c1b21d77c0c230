#include <gtest/gtest.h>

#include "platform/LanguageRecognizer.h"
#include "platform/linux/Cld2LanguageRecognizer.h"

TEST(LanguageRecognizer, TellsLanguagesApart) {
    const std::pair<const char*, std::optional<const char*>> cases[] = {
        {"Сегодня мы обсудим план работы на следующую неделю и распределим задачи.", "ru"},
        {"Today we will discuss the work plan for next week and assign the tasks.", "en"},
        {"Heute besprechen wir den Arbeitsplan für die nächste Woche und verteilen die Aufgaben.",
         "de"},
        {"Сьогодні ми обговоримо план роботи на наступний тиждень і розподілимо завдання.", "uk"},
        {"今天我们将讨论下周的工作计划并分配任务。我们需要尽快完成这个项目。", "zh-Hans"},
        {"今天我們將討論下週的工作計劃並分配任務。我們需要儘快完成這個項目。", "zh-Hant"},
        {"", std::nullopt},
        {"   \n", std::nullopt},
        {"12345 67890", std::nullopt},
    };
    Cld2LanguageRecognizer recognizer;
    for (const auto& [text, code] : cases) {
        std::optional<QString> want;
        if (code) want = QString(*code);
        EXPECT_EQ(recognizer.dominantLanguage(QString::fromUtf8(text)), want) << text;
    }
}
