#pragma once

#include <QString>
#include <QStringList>
#include <map>
#include <vector>

#include "platform/Volume.h"

// The default sink's volume through `pactl` (PulseAudio, or PipeWire's
// PulseAudio server), run as a process.
class PactlVolume : public Volume {
public:
    std::optional<Settings> getVolumeSettings() override;
    void setSystemVolume(int volume) override;

    // Parsing of pactl's answers (C locale), exposed for tests.
    struct Reading {
        std::vector<quint32> channels;  // raw volumes, 65536 = 100 %
        int percent = 0;                // the loudest channel, rounded
    };
    static std::optional<Reading> parseVolume(const QString& output);
    static std::optional<bool> parseMute(const QString& output);

private:
    std::mutex m_mutex;
    // The latest reading at each level: a restore of a level finds its exact
    // channel values even when a reading of the lowered level came after it.
    std::map<int, Reading> m_readings;
};

// Runs pactl with the C locale; false when it cannot run, fails or times out.
bool runPactl(const QStringList& args, QString* output = nullptr);
