#pragma once

#include <QByteArray>
#include <optional>

class SettingsStore;

// The audio that goes between the recorder and the speech client: WAV files
// of 16 kHz mono 16-bit PCM, cut into windows for long recordings, and the
// Ogg Opus bit rate the user's quality setting asks for.
struct AudioFormat {
    // WAV payloads between the recorder and the client: 16 kHz mono 16-bit.
    static constexpr int sampleRate = 16000;
    static constexpr int bytesPerSample = 2;
    static constexpr int bytesPerSecond = 32000;
    static constexpr int windowSeconds = 60;
    static constexpr int stepSeconds = 48;
    static constexpr int chunkThresholdSeconds = 60;

    struct DataChunk {
        qint64 offset;  // first payload byte
        qint64 size;    // payload bytes actually present (at least 1)
    };
    // The PCM payload of a finished WAV file; nothing for a malformed or
    // truncated header or an empty payload.
    static std::optional<DataChunk> parseDataChunk(const QByteArray& data);
    // The offset of the first PCM byte of a WAV file that may still be
    // growing (its size fields are not final); nothing until the "data"
    // chunk header is there.
    static std::optional<qint64> parseDataOffsetForGrowingFile(const QByteArray& data);
    // A complete 16 kHz mono 16-bit WAV file holding sampleCount samples from
    // startSample of the payload at dataOffset; a range past the end of the
    // data is cut short (a start past the end gives an empty, well-formed file).
    static QByteArray createWAVChunk(const QByteArray& data, qint64 dataOffset, qint64 startSample,
                                     qint64 sampleCount);

    // Ogg Opus bit rate (bits per second) of the "audioQuality" setting.
    static int opusBitrate(const SettingsStore& settings);
    // The same for the process-wide settings.
    static int opusBitrate();

};
