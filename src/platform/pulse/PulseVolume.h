#pragma once

#include <pulse/volume.h>

#include <QString>
#include <map>
#include <mutex>

#include "platform/Volume.h"

class PulseServer;

// The default sink's volume, read and set in-process on the shared server
// connection (one round trip to read, two to set; no process per call).
class PulseVolume : public Volume {
public:
    explicit PulseVolume(PulseServer& server);
    std::optional<Settings> getVolumeSettings() override;
    void setSystemVolume(int volume) override;

    // A level in percent as the server's own tools show it: the loudest
    // channel, rounded.
    static int percentOf(const pa_cvolume& volume);

private:
    struct Sink {
        pa_cvolume volume;
        bool muted = false;
    };
    std::optional<Sink> readDefaultSink(QString* error);

    PulseServer& m_server;
    std::mutex m_mutex;
    // The latest reading at each level: a restore of a level finds its exact
    // channel values even when a reading of the lowered level came after it.
    std::map<int, pa_cvolume> m_readings;
};
