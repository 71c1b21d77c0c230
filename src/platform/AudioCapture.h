#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

// Thrown when a recorder cannot be made (no audio server, the source cannot
// be opened, the file cannot be created). what() is the user-facing reason.
class AudioCaptureError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One microphone recording into a 16 kHz mono 16-bit little-endian WAV file
// that grows while it records. Used from the main thread, which it never
// keeps waiting: the microphone opens and the file is finished on a capture
// thread of the recorder's own, and the callbacks may come from any thread.
// The file is only written while it records; the samples reach their
// readers through onSamples.
class AudioCapture {
public:
    static constexpr int kSampleRate = 16000;
    static constexpr int kChannels = 1;
    static constexpr int kBitsPerSample = 16;

    virtual ~AudioCapture() = default;

    // Creates the file with its header; false when it cannot be written.
    virtual bool prepareToRecord() = 0;
    // Starts the capture (prepares first when needed) and returns at once;
    // false when it cannot start at all, with the reason in errorString().
    // Whether the microphone opened follows through onStarted.
    virtual bool record() = 0;
    // Stops and returns at once; the header's sizes are patched and the file
    // closed on the capture thread, and onStopped follows (possibly before
    // stop() returns). Safe to call twice.
    virtual void stop() = 0;
    virtual bool isRecording() const = 0;
    virtual QString errorString() const = 0;

    // Takes the samples captured since the previous call into the meter;
    // averagePower() is then their RMS level in dBFS (-160 for silence or
    // when nothing was captured yet).
    virtual void updateMeters() = 0;
    virtual float averagePower() const = 0;

    // Called once the microphone is open (no failure) or could not be
    // opened (the user-facing reason); a recorder whose microphone failed is
    // no longer recording.
    std::function<void(std::optional<QString> failure)> onStarted;
    // Every block of samples as it is captured, in order, from the capture
    // thread; the last block comes before onStopped.
    std::function<void(const char* pcm, qint64 bytes)> onSamples;
    // Called once the file of a stop() is finished; with the reason when the
    // microphone never opened (nothing was recorded).
    std::function<void(std::optional<QString> failure)> onStopped;
    // Called when the recording ends: success false when capture broke off.
    std::function<void(bool success)> onFinished;
    // Called when samples could not be written (disk full, file removed).
    std::function<void(std::optional<QString> error)> onEncodeError;
};

// Makes a recorder writing to `path`; throws AudioCaptureError.
using AudioCaptureFactory = std::function<std::unique_ptr<AudioCapture>(const QString& path)>;

// RMS level of 16-bit samples in dBFS, -160 for silence.
float averagePowerDb(double sumOfSquares, qint64 sampleCount);
