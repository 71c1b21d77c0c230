#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <functional>
#include <optional>

class SettingsStore;

// The speech-to-text client: one process-wide instance. It also lends the
// recorder its WAV helpers, the Ogg Opus bit rate and the AAC encoder.
class TranscriptionService {
public:
    // The encoders behind compressToM4A(); tests replace them to make one fail.
    struct AudioEncoders {
        // WAV file path and bit rate to an Ogg Opus file, or nothing.
        std::function<std::optional<QByteArray>(const QString& wavPath, int bitrate)> opus;
        // WAV file path and M4A output path to the M4A file's bytes, or nothing.
        std::function<std::optional<QByteArray>(const QString& wavPath, const QString& m4aPath)>
            aac;
        static AudioEncoders standard();
    };

    explicit TranscriptionService(SettingsStore& settings,
                                  AudioEncoders encoders = AudioEncoders::standard());
    static TranscriptionService& shared();

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
    static int opusBitrate();

    // WAV bytes made smaller for the upload: Ogg Opus (begins "OggS"), else
    // AAC in M4A, else nothing (the caller then sends the WAV). Blocking; call
    // it off the main thread. Its temporary files are always removed.
    std::optional<QByteArray> compressToM4A(const QByteArray& wav) const;

    // AAC (16 kHz mono, 24 kbit/s) in an M4A file written to m4aPath; the
    // file's bytes, or nothing. Both files stay in place for the caller.
    static std::optional<QByteArray> encodeAAC(const QString& wavPath, const QString& m4aPath);

private:
    SettingsStore& m_settings;
    AudioEncoders m_encoders;
};
