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

// Keeps every buffer; for tests.
class FakeTonePlayer : public TonePlayer {
public:
    struct Played {
        std::vector<float> samples;
        int sampleRate = 0;
    };
    void play(std::vector<float> samples, int sampleRate) override {
        std::lock_guard lock(m_mutex);
        played.push_back({std::move(samples), sampleRate});
    }
    std::vector<Played> played;

private:
    std::mutex m_mutex;
};
