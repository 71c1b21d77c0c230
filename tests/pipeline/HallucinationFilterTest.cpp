#include <gtest/gtest.h>

#include <QString>
#include <optional>

#include "pipeline/HallucinationFilter.h"
#include "pipeline/TextPostProcessor.h"

namespace {

struct Case {
    const char* name;
    const char* input;
    std::optional<const char*> expected;  // nullopt: the transcript is dropped
};

std::optional<QString> expectedOf(const Case& c) {
    if (!c.expected) return std::nullopt;
    return QString::fromUtf8(*c.expected);
}

// clang-format off
const Case kFilterCases[] = {
    // Whole-phrase inventions, compared in any case but otherwise exactly.
    {"closing phrase", "Thanks for watching!", std::nullopt},
    {"closing phrase in capitals", "THANKS FOR WATCHING!", std::nullopt},
    {"closing phrase with surrounding space", "  thank you for watching \n", std::nullopt},
    {"closing phrase followed by words", "Thanks for watching! See you", "Thanks for watching! See you"},
    {"lone full stop", ".", std::nullopt},
    {"lone ellipsis character", "…", std::nullopt},
    {"lone note", "♪", std::nullopt},
    {"you in any case", "YoU", std::nullopt},
    {"Russian you", "Вы", std::nullopt},
    {"Russian you lower case", "вы", std::nullopt},
    {"Russian closing phrase in capitals", "СПАСИБО ЗА ПРОСМОТР", std::nullopt},
    {"thanks with full stop is not the phrase", "Спасибо.", "Спасибо."},
    {"Russian credit", "Субтитры сделал TitrMaster", std::nullopt},
    {"English community credit", "Subtitles by the SubCommunity.org community", std::nullopt},
    {"whitespace only", " \n\t ", std::nullopt},
    // Inline sound tags, literal and in any case.
    {"tag between words", "hello [music] world", "hello world"},
    {"tag in capitals", "hello [MUSIC] world", "hello world"},
    {"Russian tag in capitals", "привет (СМЕХ) мир", "привет мир"},
    {"tag only", "[music]", std::nullopt},
    {"several tags only", "*applause* [Laughter] (music)", std::nullopt},
    // Credit artifacts around and inside real text.
    {"credit after text", "Сегодня хорошая погода. Субтитры сделал SubtitleFox", "Сегодня хорошая погода."},
    {"credit with editor initial and space", "Текст. Редактор субтитров А. Иванова", "Текст."},
    {"corrector credit", "Итак. Корректор Б.Петрова", "Итак."},
    {"name left alone with trailer word", "Meet SubCommunity.org community today", "Meet today"},
    {"keyword far from name is kept", "Субтитры к фильму готовы и выложены на сайте вчера вечером, SubtitleFox",
     "Субтитры к фильму готовы и выложены на сайте вчера вечером,"},
    {"translator credit in any case", "ПЕРЕВОДЧИК: ГЛЕБ ЗАГЛУШКИН. Дальше текст", "Дальше текст"},
    // Punctuation clean-up.
    {"space before comma", "one , two", "one, two"},
    {"repeated exclamation", "Wow!!", "Wow!"},
    {"spaced repeated marks", "Really? ? ?", "Really?"},
    {"leading punctuation", ", and then", "and then"},
    {"no-break space before comma", "Привет\u00A0, мир", "Привет, мир"},
    {"ellipsis collapses", "Wait... what", "Wait. what"},
    {"plain Cyrillic text unchanged", "Ёлка стоит в углу", "Ёлка стоит в углу"},
};
// clang-format on

}  // namespace

TEST(HallucinationFilter, InputOutputTable) {
    const HallucinationFilter& f = HallucinationFilter::shared();
    for (const Case& c : kFilterCases) {
        EXPECT_EQ(f.filter(QString::fromUtf8(c.input)), expectedOf(c)) << c.name;
    }
}

TEST(HallucinationFilter, ListsHaveTheirShape) {
    const HallucinationFilter& f = HallucinationFilter::shared();
    EXPECT_EQ(f.fullMatchPhrases.size(), 61);
    EXPECT_EQ(f.inlinePatterns.size(), 34);
    EXPECT_EQ(f.creditArtifactNames.size(), 7);
    EXPECT_EQ(f.creditKeywords.size(), 7);
    // Every whole-phrase credit must also be caught when it trails real text.
    for (const QString& phrase : f.fullMatchPhrases) {
        bool isCredit = false;
        for (const QString& k : f.creditKeywords) isCredit |= phrase.toLower().startsWith(k);
        if (!isCredit || phrase.toLower().startsWith("subtitles by the")) continue;
        EXPECT_EQ(f.filter("Начало. " + phrase), QString("Начало.")) << phrase.toStdString();
    }
}

namespace {
// Stands in for the history store's dictionary and snippets.
class FakeReplacements : public TextReplacements {
public:
    QString applyDictionary(const QString& text) const override {
        return QString(text).replace("ормил", "Ormil");
    }
    QString applySnippets(const QString& text) const override {
        return QString(text).replace("мойадрес", "ул. Ленина, 1");
    }
};
}  // namespace

TEST(TextPostProcessor, ProcessTable) {
    FakeReplacements replacements;
    const TextPostProcessor p(HallucinationFilter::shared(), &replacements);
    struct P {
        const char* input;
        std::optional<const char*> expected;
    };
    const P cases[] = {
        {"word", "word "},
        {"   ", std::nullopt},
        {"Thanks for watching!", std::nullopt},
        {" hello [music] world \n", "hello world "},
        {"Он сказал «привет", "Он сказал «привет» "},
        {"ормил и мойадрес", "Ormil и ул. Ленина, 1 "},
        {"Wow!!", "Wow! "},
    };
    for (const P& c : cases) {
        std::optional<QString> want;
        if (c.expected) want = QString::fromUtf8(*c.expected);
        EXPECT_EQ(p.process(QString::fromUtf8(c.input)), want) << c.input;
    }
}

TEST(TextPostProcessor, ReplacementsThatEmptyTheTextGiveNothing) {
    class Eraser : public TextReplacements {
    public:
        QString applyDictionary(const QString&) const override { return "  "; }
        QString applySnippets(const QString& t) const override { return t; }
    } eraser;
    const TextPostProcessor p(HallucinationFilter::shared(), &eraser);
    EXPECT_EQ(p.process("something"), std::nullopt);
}

TEST(TextPostProcessor, FixUnclosedQuotesTable) {
    const std::pair<const char*, const char*> cases[] = {
        {"«a", "«a»"}, {"a»", "«a»"},    {"««a»", "««a»»"},    {"“a” b”", "““a” b”"},
        {"“a", "“a”"}, {"«“a", "«“a»”"}, {"\"a 'b", "\"a 'b"}, {"«a» “b”", "«a» “b”"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(TextPostProcessor::fixUnclosedQuotes(QString::fromUtf8(in)),
                  QString::fromUtf8(out))
            << in;
}

TEST(TextPostProcessor, SharedUsesInstalledReplacements) {
    FakeReplacements replacements;
    EXPECT_EQ(TextPostProcessor::shared().process("ормил"), QString("ормил "));
    TextPostProcessor::setSharedReplacements(&replacements);
    EXPECT_EQ(TextPostProcessor::shared().process("ормил"), QString("Ormil "));
    TextPostProcessor::setSharedReplacements(nullptr);
}
