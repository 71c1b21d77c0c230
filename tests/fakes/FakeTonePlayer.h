#pragma once

#include <mutex>
#include <vector>

#include "platform/TonePlayer.h"

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
