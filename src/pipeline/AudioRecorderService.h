#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "pipeline/RecordingLimits.h"
#include "platform/AudioCapture.h"
#include "platform/Clock.h"

class AppState;
class Notifier;
class OggOpusStream;
class OverlayControl;
class SettingsStore;
class SoundService;
struct DictationDispatchRequest;
struct DictationDispatchOutcome;

// Records the microphone for one dictation at a time into a temporary WAV
// file, feeds the overlay's level meter, guards the length of a recording
// and hands the finished file on.
class AudioRecorderService : public QObject {
    Q_OBJECT
public:
    // The functions of a dispatch's worker (see Collaborators).
    using FinishStreaming =
        std::function<std::optional<QString>(const QString& toneStyle, const QString& language)>;
    using Transcribe = std::function<QString(
        const QByteArray& audioData, const QString& language, const QString& provider,
        const QString& toneStyle, const QString& format, const std::optional<QString>& translateTo)>;
    using EncodeOpus = std::function<std::optional<QByteArray>(const QString& wavPath, int bitrate)>;
    using EncodeAAC =
        std::function<std::optional<QByteArray>(const QString& wavPath, const QString& m4aPath)>;
    using ReportError = std::function<void(const QString& category, const QString& code,
                                           const QString& message, const QJsonObject& context)>;

    // What the recorder uses of the rest of the application. The pointers,
    // makeRecorder, microphoneStatus and settings are required.
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
        // When set, these replace the built-in live encoding and dispatch
        // (tests of the recording session watch what would be handed on).
        std::function<void()> startStreamingChunks;
        std::function<void(const QString& audioURL, double duration)> sendToTranscription;
        // Folder of the recording files (the application's private temporary
        // folder when empty).
        QString directory;

        // What the dispatch of a finished recording uses; its transcript
        // goes out through the transcribed() signal.
        SettingsStore* settings = nullptr;
        // The transcription client's streaming session: a new one per
        // recording, windows uploaded in the background as they are cut, and
        // the joined text of all windows (blocking; nothing when empty).
        std::function<void()> beginStreaming;
        std::function<void(const QByteArray& wav, int index, const QString& language,
                           const QString& provider, const std::optional<QString>& translateTo)>
            streamWindow;
        FinishStreaming finishStreaming;
        // One upload of a whole recording; blocking, called off the main
        // thread. Throws a std::exception whose what() is the failure's
        // user-facing description (UTF-8).
        Transcribe transcribe;
        // Ogg Opus bit rate (bits per second) and the encoders of a re-encode.
        std::function<int()> opusBitrate;
        EncodeOpus encodeOpus;
        EncodeAAC encodeAAC;
        // The tone of the dictation about to be sent.
        std::function<QString()> resolveTone;
        // Keeps a failed upload's audio for a later retry (main thread);
        // false when it could not be kept.
        std::function<bool(const QByteArray& audioData, const QString& audioFormat,
                           const QString& language, const QString& provider,
                           const QString& toneStyle, double duration, const QString& error)>
            saveFailedTranscription;
        // Files a client error report (any thread).
        ReportError reportError;
    };

    // Throws std::invalid_argument naming the first required collaborator
    // missing.
    explicit AudioRecorderService(Collaborators collaborators, QObject* parent = nullptr);
    ~AudioRecorderService() override;

    static constexpr double maxRecordingSeconds = 1500.0;
    static constexpr double warningBeforeSeconds = 60.0;
    static constexpr double meteringInterval = 0.05;
    // 1500 s of 16 kHz 16-bit mono, the header and about a second of slack:
    // every recording the length cap lets through fits.
    static constexpr qint64 maxAudioBytes =
        qint64(maxRecordingSeconds) * 32000 + 44 + 32000;  // 48,032,044
    // The quietest peak level at the cap that still counts as speech.
    static constexpr float salvagePowerFloor = -50.0f;

    // Live encoding and streamed windows, in bytes of 16 kHz 16-bit mono PCM.
    static constexpr double streamInterval = 5.0;
    static constexpr qint64 windowStepBytes = 1536000;  // 48 s between window starts
    static constexpr qint64 windowBytes = 1920000;      // 60 s per window
    static constexpr qint64 leastLastWindowBytes = 32000;
    // Peaks of the finished-recording gate.
    static constexpr int silencePeak = 100;
    static constexpr double minimumDuration = RecordingLimits::minimumDuration;
    static constexpr double liveEncodingMaxSeconds = 60.0;
    static constexpr qint64 liveEncodingSlackBytes = 32000;

    // Any thread: starts a recording on the main thread. `translate`: the
    // translate key started it, so its text comes back translated.
    void startRecording(bool translate = false);
    // Main thread.
    void stopRecording();
    void cancelRecording();

    // The meter's mapping of dBFS to the overlay's 0...1.
    static float levelForPower(float power);

    bool isRecording() const;
    std::optional<QString> recordingURL() const { return m_recordingURL; }
    float maxPowerObserved() const { return m_maxPowerObserved; }
    bool cancelRequested() const { return m_cancelRequested; }

    // The streaming state of the current (or last) recording.
    int streamedWindows() const { return m_streamedWindows; }
    bool isStreamTimerActive() const { return m_streamTimer && m_streamTimer->isActive(); }
    std::optional<QString> streamTranslateTo() const { return m_streamTranslateTo; }

    // The peak of the PCM payload of a WAV file that may still be growing
    // (-32768 counts as 32767); 0 when unreadable or without a "data" chunk.
    // With a known peak of the payload's first `fromByte` bytes (the live
    // encoder keeps one while recording) only the rest of the file is read.
    static int peakOfWAVFile(const QString& path, qint64 fromByte = 0, int peakSoFar = 0);

    // The audio of a recording being compressed while it grows.
    struct LiveEncoding {
        std::unique_ptr<OggOpusStream> encoder;
        qint64 encodedBytes = 0;
        // Of every sample pushed so far, raw (before any gain), also when
        // there is no encoder: once the stop completed, the whole recording's.
        int peak = 0;
        ~LiveEncoding();
    };

    // Takes the samples the recorder pushes from its capture thread into the
    // live encoding once the recording has one (what came before waits for
    // it), and keeps them for the streamed windows from the next window's
    // start on; the file is never read back for them.
    class SampleFeed {
    public:
        void push(const char* pcm, qint64 bytes);
        void attach(std::shared_ptr<LiveEncoding> live);
        // Bytes pushed so far.
        qint64 pushedBytes() const;
        // Up to `count` pushed bytes from byte `from` of the recording (none
        // that were released).
        QByteArray samples(qint64 from, qint64 count) const;
        // No window starts before `offset` any more: the bytes before it go.
        void releaseBefore(qint64 offset);

    private:
        void encodeLocked(const QByteArray& pcm);

        mutable std::mutex m_mutex;
        std::shared_ptr<LiveEncoding> m_live;
        QByteArray m_waiting;  // before the live encoding, or an odd last byte
        QByteArray m_kept;     // the pushed bytes from m_keptFrom on
        qint64 m_keptFrom = 0;
    };

protected:
    // Starts the live encoding and the window timer of a new recording.
    virtual void startStreamingChunks();
    // Takes over a finished recording; the file is deleted on every path.
    virtual void sendToTranscription(const QString& audioURL, double duration);

signals:
    // A dictation's text came back (main thread); the file is deleted after
    // the receivers have taken it.
    void transcribed(const QString& text, const QString& language, double duration);
    // The length cap ended the recording; it was sent or discarded here, so
    // whoever started it must forget it without stopping it again.
    void recordingEndedAtCap();

private:
    // What a recording streams while it runs, kept apart while its stop
    // completes so that a new recording started meanwhile has its own.
    struct Streaming {
        std::shared_ptr<LiveEncoding> live;
        std::shared_ptr<SampleFeed> feed;
        int streamedWindows = 0;
        QString language;
        QString provider;
        std::optional<QString> translateTo;
    };
    Streaming takeStreaming();
    void swapStreaming(Streaming& other);

    void beginRecording(bool translate);
    void recorderStarted(quint64 session, const std::optional<QString>& failure);
    void failStart(const QString& reason);
    void reportStartFailure(const QString& reason);
    // Stops the session's recorder; `then` runs on the main thread once its
    // file is finished (at once when the recorder finished it in stop()),
    // with the reason when the microphone never opened. A new recording may
    // start meanwhile.
    void stopRecorder(std::function<void(const std::optional<QString>& failure)> then);
    void dropFinished(AudioCapture* recorder);
    void stoppedRecording(const QString& url, double duration);
    void stoppedAtCap(const std::optional<QString>& url, double duration, float maxPower);
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

    // Live encoding and streamed windows.
    void stopStreamTimer();
    void streamTick();
    static void feedLiveEncoder(LiveEncoding& live, const QString& path);
    void emitReadyWindow(bool force, const std::optional<QString>& path);

    // Dispatch of a finished recording.
    friend class DictationDispatch;
    void sendToTranscriptionClassic(const QString& audioURL, double duration,
                                    std::shared_ptr<LiveEncoding> live);
    void showHint(const QString& counterKey, const QString& title, const QString& body);
    // Starts the dispatch's worker; its outcome comes back to dispatchEnded().
    void dispatch(const QString& audioURL, double duration, std::shared_ptr<LiveEncoding> live,
                  std::function<void(DictationDispatchRequest&)> complete);
    void dispatchEnded(const DictationDispatchRequest& request,
                       const DictationDispatchOutcome& outcome);
    void finishRead(const QString& audioURL);
    // Whether the audio is in the retry queue now (the recording may go).
    bool uploadFailed(const DictationDispatchRequest& request,
                      const DictationDispatchOutcome& outcome);
    // Hands the text to whoever delivers transcripts (transcribed()).
    void handleTranscriptionSuccess(const QString& text, const QString& language, double duration);
    SettingsStore& settings() const;

    Collaborators m_c;
    std::unique_ptr<AudioCapture> m_audioRecorder;
    // Counts the recordings begun; a recorder's late report names its own.
    quint64 m_session = 0;
    // Recorders whose stop has not completed yet.
    std::vector<std::unique_ptr<AudioCapture>> m_finishing;
    std::optional<QString> m_recordingURL;
    std::optional<double> m_recordingStartTime;
    ClockTimerPtr m_meteringTimer;
    ClockTimerPtr m_maxRecordingTimer;
    ClockTimerPtr m_recordingWarningTimer;
    std::atomic<bool> m_cancelRequested{false};
    // The recording was started with the translate key; ends with its dispatch.
    bool m_translateMode = false;
    float m_maxPowerObserved = -160.0f;
    qint64 m_meteringLogCounter = 0;

    ClockTimerPtr m_streamTimer;
    int m_streamedWindows = 0;
    std::shared_ptr<LiveEncoding> m_live;
    std::shared_ptr<SampleFeed> m_feed;
    QString m_streamLanguage;
    QString m_streamProvider;
    std::optional<QString> m_streamTranslateTo;
};
