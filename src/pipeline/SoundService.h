#pragma once

#include <utility>
#include <vector>

class SettingsStore;
class TonePlayer;

// Short synthesised sine signals for start, stop, success and error.
class SoundService {
public:
    static constexpr int sampleRate = 44100;
    // (frequency in Hz, duration in seconds), played back to back.
    using ToneSequence = std::vector<std::pair<double, double>>;

    static const ToneSequence& startTones();
    static const ToneSequence& stopTones();
    static const ToneSequence& successTones();
    static const ToneSequence& errorTones();

    SoundService(SettingsStore& settings, TonePlayer& player);
    virtual ~SoundService() = default;
    static SoundService& shared();

    // "soundEnabled": true when absent or not a Boolean.
    bool isEnabled() const;
    // "soundVolume" / 100; an absent key is the settings page's 50 %.
    float volume() const;

    // Each plays its sequence when sounds are enabled and returns at once.
    virtual void playStartSound();
    virtual void playStopSound();
    virtual void playSuccessSound();
    virtual void playErrorSound();
    // Plays any sequence (does not look at isEnabled()); returns at once.
    void playSequence(const ToneSequence& tones);

    // The samples of a sequence at the given volume: each tone a sine with a
    // linear fade-in and fade-out of min(n / 4, 220) samples.
    static std::vector<float> synthesize(const ToneSequence& tones, float volume);

private:
    void playIfEnabled(const ToneSequence& tones);
    SettingsStore& m_settings;
    TonePlayer& m_player;
};
