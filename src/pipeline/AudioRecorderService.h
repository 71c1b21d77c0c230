#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include "platform/AudioCapture.h"
#include "platform/Clock.h"

class AppState;
class Notifier;
class OverlayControl;
class SoundService;

// Records the microphone for one dictation at a time into a temporary WAV
// file, feeds the overlay's level meter, guards the length of a recording
// and hands the finished file on.
class AudioRecorderService : public QObject {
    Q_OBJECT
public:
    // What the recorder uses of the rest of the application.
    struct Collaborators {
        Clock* clock = nullptr;
        AppState* appState = nullptr;
        OverlayControl* overlay = nullptr;
        SoundService* sounds = nullptr;
        Notifier* notifier = nullptr;
        // Makes the platform recorder for a file; throws AudioCaptureError.
        AudioCaptureFactory makeRecorder;
        // The microphone authorisation status as a number (logged only).
        std::function<int()> microphoneStatus;
        // Opens the connection to the speech service ahead of the upload.
        std::function<void()> warmUpConnection;
        // Live encoding and streamed windows, started with each recording.
        std::function<void()> startStreamingChunks;
        // Takes over a finished recording (and deletes it when done).
        std::function<void(const QString& audioURL, double duration)> sendToTranscription;
        // Folder of the recording files (the system's temporary folder when empty).
        QString directory;
    };

    explicit AudioRecorderService(Collaborators collaborators, QObject* parent = nullptr);
    ~AudioRecorderService() override;
    static AudioRecorderService& shared();

    static constexpr double maxRecordingSeconds = 1500.0;
    static constexpr double warningBeforeSeconds = 60.0;
    static constexpr double meteringInterval = 0.05;
    // 1500 s of 16 kHz 16-bit mono, the header and about a second of slack:
    // every recording the length cap lets through fits.
    static constexpr qint64 maxAudioBytes =
        qint64(maxRecordingSeconds) * 32000 + 44 + 32000;  // 48,032,044
    // The quietest peak level at the cap that still counts as speech.
    static constexpr float salvagePowerFloor = -50.0f;

    // Any thread: starts a recording on the main thread.
    void startRecording();
    // Main thread.
    void stopRecording();
    void cancelRecording();

    // The meter's mapping of dBFS to the overlay's 0...1.
    static float levelForPower(float power);

    bool isRecording() const;
    std::optional<QString> recordingURL() const { return m_recordingURL; }
    float maxPowerObserved() const { return m_maxPowerObserved; }
    bool cancelRequested() const { return m_cancelRequested; }

protected:
    // Hook points of the later recording stages.
    virtual void startStreamingChunks();
    virtual void sendToTranscription(const QString& audioURL, double duration);

private:
    void beginRecording();
    void failStart(const QString& reason);
    void startMetering();
    void meterTick();
    void startMaxRecordingWatchdog();
    void stopMaxRecordingWatchdog();
    void stopMetering();
    void forceStopAtCap();
    void showRecordingWarning();
    void clearSession();
    void deleteRecordingFile(const std::optional<QString>& path);
    void audioRecorderDidFinishRecording(bool successfully);
    void audioRecorderEncodeErrorDidOccur(const std::optional<QString>& error);

    Collaborators m_c;
    std::unique_ptr<AudioCapture> m_audioRecorder;
    std::optional<QString> m_recordingURL;
    std::optional<double> m_recordingStartTime;
    ClockTimerPtr m_meteringTimer;
    ClockTimerPtr m_maxRecordingTimer;
    ClockTimerPtr m_recordingWarningTimer;
    std::atomic<bool> m_cancelRequested{false};
    float m_maxPowerObserved = -160.0f;
    qint64 m_meteringLogCounter = 0;
};
