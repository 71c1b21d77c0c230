#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "pipeline/AudioRecorderService.h"

class SettingsStore;

// What a dispatch knows before its worker starts, all read on the main
// thread.
struct DictationDispatchRequest {
    QString audioURL;
    double duration = 0;
    // Of the upload of the whole recording.
    QString language;
    QString provider;
    QString tone;
    std::optional<QString> translateTo;
    // The translate key's target was read for this upload: logged when
    // the payload is ready.
    bool translateKeyTarget = false;
    std::shared_ptr<AudioRecorderService::LiveEncoding> live;
    bool normalization = true;
    int opusBitrate = 0;
    // The normaliser reads its own switch (thread-safe).
    const SettingsStore* settings = nullptr;
    // A streamed dictation: the windows' joined text is asked for first
    // (in the windows' language); without one the gate runs here.
    bool streamed = false;
    QString streamLanguage;
};

// How a dispatch ended, handed back to the main thread.
struct DictationDispatchOutcome {
    enum class Result { streamedText, silent, tooShort, readFailure, transcribed, uploadFailed };
    Result result = Result::readFailure;
    QString text;     // streamedText, transcribed
    QString failure;  // uploadFailed: the user-facing description
    int peak = 0;     // silent
    QByteArray payload;
    QString format;
};

// One finished recording on its way to the speech service. Everything it
// needs of the main thread (settings, the tone, the translation target) is
// read when it is made; run() does the slow part on a worker (the streamed
// windows' text, the gate of a streamed dictation that fell back, the
// payload, the upload) and its Outcome goes back to the main thread once.
class DictationDispatch {
public:
    using LiveEncoding = AudioRecorderService::LiveEncoding;
    using Request = DictationDispatchRequest;
    using Outcome = DictationDispatchOutcome;
    using Result = Outcome::Result;

    // What the worker calls; copied from the recorder's collaborators.
    struct Services {
        AudioRecorderService::FinishStreaming finishStreaming;
        AudioRecorderService::Transcribe transcribe;
        AudioRecorderService::EncodeOpus encodeOpus;
        AudioRecorderService::EncodeAAC encodeAAC;
        AudioRecorderService::ReportError reportError;
        // Tells the main thread that a streamed dictation that fell back is
        // being sent whole (called from the worker).
        std::function<void()> processingStarted;
    };

    DictationDispatch(Request request, Services services);

    // Worker thread.
    Outcome run();

    const Request& request() const { return m_request; }

    // The gate before a recording is sent whole: silent (peak at most 100)
    // or too short, logged and the file deleted; nothing when it may go.
    // The main thread runs it for a dictation sent whole at once, the
    // worker for a streamed one that fell back.
    static std::optional<Outcome> gate(const QString& audioURL, double duration,
                                       const LiveEncoding* live);

    // Compresses the WAV file into a file beside it and returns that file:
    // Ogg Opus, or AAC when Opus gives nothing. Throws std::exception.
    static QString convertToAAC(const QString& wavURL, int bitrate, const Services& services);

private:
    // The streamed windows' text, or nothing when the collection is empty.
    std::optional<QString> finishStream();
    // One function per choice of what is sent; each false when it has no
    // payload and the next choice is tried.
    bool payloadAsLongWAV(Outcome& outcome);
    bool payloadFromLiveEncoding(Outcome& outcome);
    bool payloadReencoded(Outcome& outcome);
    bool payloadAsWAV(Outcome& outcome, const char* failureLog);
    bool choosePayload(Outcome& outcome);
    Outcome upload(Outcome outcome);

    Request m_request;
    Services m_services;
};
