#include "pipeline/SoundService.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/SettingsStore.h"
#include "platform/TonePlayer.h"

const SoundService::ToneSequence& SoundService::startTones() {
    static const ToneSequence t{{880.0, 0.1}};
    return t;
}
const SoundService::ToneSequence& SoundService::stopTones() {
    static const ToneSequence t{{440.0, 0.1}};
    return t;
}
const SoundService::ToneSequence& SoundService::successTones() {
    static const ToneSequence t{{523.25, 0.08}, {659.25, 0.08}};
    return t;
}
const SoundService::ToneSequence& SoundService::errorTones() {
    static const ToneSequence t{{392.0, 0.1}, {261.63, 0.15}};
    return t;
}

SoundService::SoundService(SettingsStore& settings, TonePlayer& player)
    : m_settings(settings), m_player(player) {}

SoundService& SoundService::shared() {
    static SoundService service(SettingsStore::shared(), TonePlayer::shared());
    return service;
}

bool SoundService::isEnabled() const {
    return m_settings.isBool("soundEnabled") ? m_settings.boolean("soundEnabled") : true;
}

float SoundService::volume() const {
    // Kept within full scale: a stored value above 100 would clip the tones.
    return float(std::clamp(m_settings.doubleOrDefault("soundVolume") / 100.0, 0.0, 1.0));
}

void SoundService::playStartSound() {
    playIfEnabled(startTones());
}
void SoundService::playStopSound() {
    playIfEnabled(stopTones());
}
void SoundService::playSuccessSound() {
    playIfEnabled(successTones());
}
void SoundService::playErrorSound() {
    playIfEnabled(errorTones());
}

void SoundService::playIfEnabled(const ToneSequence& tones) {
    if (isEnabled()) playSequence(tones);
}

void SoundService::playSequence(const ToneSequence& tones) {
    // A quarter second of samples is made in well under a millisecond; the
    // player streams them without blocking.
    std::vector<float> samples = synthesize(tones, volume());
    if (samples.empty()) return;
    m_player.play(std::move(samples), sampleRate);
}

std::vector<float> SoundService::synthesize(const ToneSequence& tones, float volume) {
    std::vector<float> out;
    for (const auto& [frequency, duration] : tones) {
        const int n = int(duration * sampleRate);
        if (n <= 0) continue;
        const int fade = std::min(n / 4, 220);
        out.reserve(out.size() + size_t(n));
        for (int i = 0; i < n; ++i) {
            const double s = std::sin(2.0 * std::numbers::pi * frequency * i / sampleRate);
            double a = volume * s;
            if (i < fade) a *= double(i) / fade;
            if (i > n - fade) a *= double(n - i) / fade;
            out.push_back(float(a));
        }
    }
    return out;
}
