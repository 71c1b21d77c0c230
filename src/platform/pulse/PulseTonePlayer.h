#pragma once

#include <QString>

#include "platform/TonePlayer.h"

// Each buffer gets its own PulseAudio playback stream on a worker thread,
// which drains it and closes.
class PulseTonePlayer : public TonePlayer {
public:
    void play(std::vector<float> samples, int sampleRate) override;
    // Plays synchronously; the error text, or empty on success.
    static QString playBlocking(const std::vector<float>& samples, int sampleRate);
};
