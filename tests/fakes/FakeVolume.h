#pragma once

#include <mutex>
#include <vector>

#include "platform/Volume.h"

// In-memory volume for tests. Thread-safe: the ducking queue sets it.
class FakeVolume : public Volume {
public:
    std::optional<Settings> getVolumeSettings() override {
        std::lock_guard lock(m_mutex);
        ++reads;
        if (!readable) return std::nullopt;
        return Settings{volume, muted};
    }
    void setSystemVolume(int v) override {
        std::lock_guard lock(m_mutex);
        volume = v;
        writes.push_back(v);
    }
    std::vector<int> writtenVolumes() const {
        std::lock_guard lock(m_mutex);
        return writes;
    }
    int currentVolume() const {
        std::lock_guard lock(m_mutex);
        return volume;
    }

    int volume = 75;
    bool muted = false;
    bool readable = true;
    int reads = 0;
    std::vector<int> writes;

private:
    mutable std::mutex m_mutex;
};
