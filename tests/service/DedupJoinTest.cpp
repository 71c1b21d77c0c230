// Joining ordered window texts with the overlap removed.
#include <gtest/gtest.h>

#include "service/TranscriptionService.h"

namespace {

QString numbered(const QString& prefix, int from, int to) {
    QStringList words;
    for (int i = from; i < to; ++i) words << prefix + QString::number(i);
    return words.join(' ');
}

TEST(DedupJoin, OverlapTable) {
    struct Case {
        const char* name;
        QStringList texts;
        QString joined;
    };
    const Case cases[] = {
        {"nothing", {}, ""},
        {"only blank texts", {"", "  \n\t "}, ""},
        {"one text, first letter raised", {"hello world"}, "Hello world"},
        {"digit first stays", {"42 apples"}, "42 apples"},
        {"upper case first stays", {"Über alles"}, "Über alles"},
        {"raising may grow the text", {"ßtraße ok"}, "SStraße ok"},
        {"spacing becomes single spaces", {"a  b\n\nc\t d", " e "}, "A b c d e"},
        {"a run of three is kept", {"a b c d e", "c d e f"}, "A b c d e c d e f"},
        {"a run of four is removed, first spelling kept",
         {"so we said one two three four", "One, two three four five"},
         "So we said one two three four five"},
        {"blank windows are skipped", {"x1 x2 x3 x4", "", "x1 x2 x3 x4 x5"}, "X1 x2 x3 x4 x5"},
        {"equal runs: the one ending earlier in the text so far",
         {"a b c d q a b c d", "a b c d z"},
         "A b c d z"},
        {"a lone dash breaks a run",
         {"one two - three four", "one two - three four five"},
         "One two - three four one two - three four five"},
        {"decomposed and precomposed spellings match",
         {QString::fromUtf8("le cafe\xcc\x81 est bon ici"),
          QString::fromUtf8("café est bon ici enfin")},
         QString::fromUtf8("Le cafe\xcc\x81 est bon ici enfin")},
        {"other scripts",
         {"мы пошли в лес гулять", "Пошли в лес, гулять! и дальше"},
         "Мы пошли в лес гулять и дальше"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TranscriptionService::dedupJoin(c.texts), c.joined);
    }
}

TEST(DedupJoin, CombiningMarksTellWordsApart) {
    // A run of four words, and the same run with its vowel signs, harakat,
    // tone marks or Thai vowels changed: the first is a repeat and removed,
    // the second is other words and kept.
    struct Case {
        const char* script;
        const char* run;
        const char* otherMarks;
    };
    const Case cases[] = {
        {"Hindi", "उसने कहा कि यह", "उसने कहा का यह"},
        {"Hindi vowel signs only", "कि का के को", "क कु कै कौ"},
        {"Arabic with harakat", "كَتَبَ الوَلَدُ دَرْسًا جَدِيدًا", "كُتِبَ الوَلَدُ دَرْسًا جَدِيدًا"},
        {"Vietnamese, decomposed", "toi di ma\u0300 ve\u0302\u0300", "toi di ma\u0309 ve\u0302\u0300"},
        {"Thai", "ฉัน กิน ข้าว แล้ว", "ฉัน กน ข้าว แล้ว"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        const QString run = QString::fromUtf8(c.run);
        const QString first = QStringLiteral("x1 ") + run;
        EXPECT_EQ(TranscriptionService::dedupJoin({first, run + QStringLiteral(" x2")}),
                  QStringLiteral("X1 ") + run + QStringLiteral(" x2"));
        // Precomposed spelling of the same run still counts as a repeat.
        EXPECT_EQ(TranscriptionService::dedupJoin(
                      {first, run.normalized(QString::NormalizationForm_C) + QStringLiteral(" x2")}),
                  QStringLiteral("X1 ") + run + QStringLiteral(" x2"));
        const QString other = QString::fromUtf8(c.otherMarks);
        EXPECT_EQ(TranscriptionService::dedupJoin({first, other}),
                  QStringLiteral("X1 ") + run + QLatin1Char(' ') + other);
    }
}

TEST(DedupJoin, OnlyTheLastAndFirstNinetyWordsAreCompared) {
    // A run of four at the start of the text so far is found only while it
    // lies within its last 90 words; the merge then continues after the run.
    struct Case {
        int filler;  // words after the repeated run in the text so far
        int words;   // in the joined text
    };
    const Case cases[] = {{86, 5}, {87, 4 + 87 + 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.filler);
        const QString first = numbered("a", 0, 4) + ' ' + numbered("f", 0, c.filler);
        const QString second = numbered("a", 0, 4) + " tail";
        const QString joined = TranscriptionService::dedupJoin({first, second});
        EXPECT_EQ(joined.split(' ').size(), c.words);
        EXPECT_TRUE(joined.endsWith("a3 tail"));
    }
    // The same on the new window's side: a repeat that runs past its 90th
    // word is cut to three words there and so is kept.
    const QString so = numbered("s", 0, 10);
    const QString lateRepeat = numbered("n", 0, 87) + ' ' + numbered("s", 6, 10);
    EXPECT_EQ(TranscriptionService::dedupJoin({so, lateRepeat}).split(' ').size(), 10 + 91);
    const QString inReach = numbered("n", 0, 86) + ' ' + numbered("s", 6, 10);
    EXPECT_EQ(TranscriptionService::dedupJoin({so, inReach}).split(' ').size(), 10);
}

}  // namespace
