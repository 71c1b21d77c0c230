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
