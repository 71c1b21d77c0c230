#include <gtest/gtest.h>

#include <cmath>

#include "pipeline/SoundService.h"
#include "platform/SettingsStore.h"
#include "platform/TonePlayer.h"
#include "fakes/FakeTonePlayer.h"

namespace {

struct Segment {
    double frequency;
    int samples;
};

TEST(Sound, SequencesHaveTheirLengthsFadesAndPitch) {
    struct Case {
        const char* name;
        const SoundService::ToneSequence& tones;
        std::vector<Segment> segments;
    } cases[] = {
        {"start", SoundService::startTones(), {{880, 4410}}},
        {"stop", SoundService::stopTones(), {{440, 4410}}},
        {"success", SoundService::successTones(), {{523.25, 3528}, {659.25, 3528}}},
        {"error", SoundService::errorTones(), {{392, 4410}, {261.63, 6615}}},
    };
    const float volume = 0.8f;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<float> s = SoundService::synthesize(c.tones, volume);
        size_t total = 0;
        for (const Segment& seg : c.segments) total += size_t(seg.samples);
        ASSERT_EQ(s.size(), total);

        size_t offset = 0;
        for (const Segment& seg : c.segments) {
            const int n = seg.samples, fade = std::min(n / 4, 220);
            EXPECT_EQ(fade, 220);
            const float* a = s.data() + offset;
            EXPECT_EQ(a[0], 0.0f);
            float body = 0;
            int crossings = 0;
            for (int i = 0; i < n; ++i) {
                double envelope = 1.0;
                if (i < fade) envelope = double(i) / fade;
                if (i > n - fade) envelope = double(n - i) / fade;
                ASSERT_LE(std::abs(a[i]), volume * envelope + 1e-6) << "sample " << i;
                if (i >= fade && i <= n - fade) body = std::max(body, std::abs(a[i]));
                if (i > 0 && (a[i - 1] < 0) != (a[i] < 0)) ++crossings;
            }
            EXPECT_GT(body, volume * 0.99f);
            // Two sign changes per period.
            const double expected = 2.0 * seg.frequency * n / SoundService::sampleRate;
            EXPECT_NEAR(crossings, expected, 2.0) << seg.frequency << " Hz";
            offset += size_t(n);
        }
    }
}

TEST(Sound, SettingsDecideWhetherAndHowLoudTonesPlay) {
    struct Case {
        const char* name;
        QJsonValue enabled, volume;
        bool plays;
        float peak;
    } cases[] = {
        {"defaults", QJsonValue::Undefined, QJsonValue::Undefined, true, 0.5f},
        {"disabled", false, 80, false, 0},
        {"enabled", true, 20, true, 0.2f},
        {"not a Boolean", "no", 100, true, 1.0f},
        {"volume 0", true, 0, true, 0.0f},
        {"volume above 100", true, 250, true, 1.0f},
        {"negative volume", true, -20, true, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SettingsStore settings;
        if (!c.enabled.isUndefined()) settings.set("soundEnabled", c.enabled);
        if (!c.volume.isUndefined()) settings.set("soundVolume", c.volume);
        FakeTonePlayer player;
        SoundService sounds(settings, player);
        sounds.playStartSound();
        sounds.playStopSound();
        sounds.playSuccessSound();
        sounds.playErrorSound();
        if (!c.plays) {
            EXPECT_TRUE(player.played.empty());
            continue;
        }
        ASSERT_EQ(player.played.size(), 4u);
        for (const auto& p : player.played) {
            EXPECT_EQ(p.sampleRate, 44100);
            float peak = 0;
            for (float x : p.samples) peak = std::max(peak, std::abs(x));
            EXPECT_NEAR(peak, c.peak, 0.01f);
        }
    }
}

TEST(Sound, PlaySequenceSkipsEmptyTones) {
    SettingsStore settings;
    FakeTonePlayer player;
    SoundService sounds(settings, player);
    sounds.playSequence({{440, 0.0}, {440, 0.00001}});
    EXPECT_TRUE(player.played.empty());
    sounds.playSequence({{440, 0.0}, {440, 0.01}});
    ASSERT_EQ(player.played.size(), 1u);
    EXPECT_EQ(player.played[0].samples.size(), 441u);
}

}  // namespace
