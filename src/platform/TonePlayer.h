#pragma once

#include <mutex>
#include <vector>

// Plays a buffer of mono 32-bit float samples on the default output without
// blocking the caller; buffers played at the same time mix.
class TonePlayer {
public:
    virtual ~TonePlayer() = default;
    virtual void play(std::vector<float> samples, int sampleRate) = 0;

    // The PulseAudio player unless a test installed another.
    static TonePlayer& shared();
    static void setShared(TonePlayer* player);
};
