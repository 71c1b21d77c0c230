#include <gtest/gtest.h>

#include "app/SignInLink.h"

TEST(SignInLink, TokenOfEachKindOfLink) {
    const struct {
        const char* link;
        std::optional<const char*> token;
    } cases[] = {
        {"ormil://auth?token=abc123", "abc123"},
        {"ORMIL://Auth?TOKEN=abc123", "abc123"},
        {"ormil://auth?x=1&token=a%2Bb%20c", "a+b c"},
        {"ormil://auth?token=first&token=second", "second"},
        {"ormil://auth?token=", std::nullopt},
        {"ormil://auth", std::nullopt},
        {"ormil://other?token=abc", std::nullopt},
        {"https://auth?token=abc", std::nullopt},
        {"ormil:auth?token=abc", std::nullopt},
        {"", std::nullopt},
        {"ormil://auth?token=%FF%FE", "\xEF\xBF\xBD\xEF\xBF\xBD"},
    };
    for (const auto& c : cases) {
        const std::optional<QString> expected =
            c.token ? std::optional<QString>(QString::fromUtf8(*c.token)) : std::nullopt;
        EXPECT_EQ(signInToken(QString::fromUtf8(c.link)), expected) << c.link;
    }
}
