#include <gtest/gtest.h>

#include "platform/pulse/PactlVolume.h"

namespace {

TEST(DuckingPactl, ReadsTheLoudestChannelAndKeepsRawValues) {
    struct Case {
        const char* output;
        std::optional<int> percent;
        std::vector<quint32> channels;
    } cases[] = {
        {"Volume: front-left: 65536 / 100% / 0.00 dB,   front-right: 65536 / 100% / 0.00 dB\n"
         "        balance 0.00\n",
         100,
         {65536, 65536}},
        {"Volume: front-left: 50000 /  76% / -7.05 dB,   front-right: 40000 /  61% / -12.87 dB\n"
         "        balance -0.20\n",
         76,
         {50000, 40000}},
        {"Volume: mono: 0 /   0% / -inf dB\n", 0, {0}},
        {"Volume: aux0: 98304 / 150% / 10.57 dB\n", 150, {98304}},
        // A sink without volume control, an error text, nothing at all.
        {"Volume: (none)\n", std::nullopt, {}},
        {"Failure: No such entity\n", std::nullopt, {}},
        {"", std::nullopt, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.output);
        const auto r = PactlVolume::parseVolume(QString::fromUtf8(c.output));
        ASSERT_EQ(r.has_value(), c.percent.has_value());
        if (!r) continue;
        EXPECT_EQ(r->percent, *c.percent);
        EXPECT_EQ(r->channels, c.channels);
    }
}

TEST(DuckingPactl, ReadsMute) {
    const std::pair<const char*, std::optional<bool>> cases[] = {
        {"Mute: yes\n", true}, {"Mute: no\n", false}, {"Failure: No such entity", std::nullopt}};
    for (auto [text, muted] : cases) EXPECT_EQ(PactlVolume::parseMute(text), muted) << text;
}

}  // namespace
