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
// that grows while it records. Used from the main thread; the callbacks may
// come from any thread.
class AudioCapture {
public:
    static constexpr int kSampleRate = 16000;
    static constexpr int kChannels = 1;
    static constexpr int kBitsPerSample = 16;

    virtual ~AudioCapture() = default;

    // Creates the file with its header; false when it cannot be written.
    virtual bool prepareToRecord() = 0;
    // Starts writing samples (prepares first when needed); false on failure,
    // with the reason in errorString().
    virtual bool record() = 0;
    // Stops, patches the header's sizes and closes the file. Safe to call
    // twice.
    virtual void stop() = 0;
    virtual bool isRecording() const = 0;
    virtual QString errorString() const = 0;

    // Takes the samples captured since the previous call into the meter;
    // averagePower() is then their RMS level in dBFS (-160 for silence or
    // when nothing was captured yet).
    virtual void updateMeters() = 0;
    virtual float averagePower() const = 0;

    // Called when the recording ends: success false when capture broke off.
    std::function<void(bool success)> onFinished;
    // Called when samples could not be written (disk full, file removed).
    std::function<void(std::optional<QString> error)> onEncodeError;
};

// Makes a recorder writing to `path`; throws AudioCaptureError.
using AudioCaptureFactory = std::function<std::unique_ptr<AudioCapture>(const QString& path)>;

// RMS level of 16-bit samples in dBFS, -160 for silence.
float averagePowerDb(double sumOfSquares, qint64 sampleCount);
