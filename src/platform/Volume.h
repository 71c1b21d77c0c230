#pragma once

#include <mutex>
#include <optional>
#include <vector>

// The system output volume: the default sink's level and mute, 0 to 100.
// Calls block the caller until the answer is there (or a timeout passes).
class Volume {
public:
    struct Settings {
        int volume = 0;
        bool muted = false;
    };
    virtual ~Volume() = default;
    // Nothing when the volume cannot be read (no audio server, a sink
    // without volume control).
    virtual std::optional<Settings> getVolumeSettings() = 0;
    // Sets the output volume, 0 to 100. Setting the level last read restores
    // exactly what was read, channel balance included.
    virtual void setSystemVolume(int volume) = 0;
};

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
