#include <gtest/gtest.h>

#include "platform/Characters.h"

TEST(Characters, CountAndCutWholeCharacters) {
    struct Case {
        const char* name;
        QString text;
        int n;
        QString leading;
        int count;
    };
    const QString accented = QString::fromUtf8("e\u0301").repeated(4);  // e + combining acute
    const QString flags = QString::fromUtf8("🇩🇪🇫🇷🇮🇹");
    const Case cases[] = {
        {"shorter than the cut", "abc", 5, "abc", 3},
        {"plain letters", "abcdef", 3, "abc", 6},
        {"combining marks", accented, 2, QString::fromUtf8("e\u0301e\u0301"), 4},
        {"flags", flags, 1, QString::fromUtf8("🇩🇪"), 3},
        {"emoji with a skin tone", QString::fromUtf8("👍🏽ab"), 2,
         QString::fromUtf8("👍🏽a"), 3},
        {"Devanagari syllables", QString::fromUtf8("कि का के"), 2, QString::fromUtf8("कि "), 5},
        {"nothing", "", 3, "", 0},
        {"a cut of none", "abc", 0, "", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Characters::leading(c.text, c.n), c.leading);
        EXPECT_EQ(Characters::count(c.text), c.count);
    }
}
