#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <vector>

#include "service/TranscriptionError.h"

class AppState;
class Clock;
class HttpClient;
class HttpCancelToken;
struct HttpResponse;
class OverlayControl;
class SettingsStore;
class StreamingSession;
class TextRequests;

// The speech-to-text client: one process-wide instance. It uploads finished
// recordings (whole, or in overlapping windows when long), windows streamed
// while a recording runs, and text for post-processing and translation.
// Every network call blocks: call it off the main thread.
class TranscriptionService {
public:
    // What the account session lends the client.
    struct Auth {
        // The stored access token, if any.
        std::function<std::optional<QString>()> accessToken;
        // The app-wide single-flight refresh of the access token. Nothing on
        // success; otherwise why it failed.
        struct Failure {
            bool rejected = false;  // no refresh token, or the server refused it
            QString description;
        };
        std::function<std::optional<Failure>()> refresh;
    };

    // A refresh that failed on the text requests, passed on as it came.
    class RefreshError : public std::runtime_error {
    public:
        explicit RefreshError(const Auth::Failure& failure)
            : std::runtime_error(failure.description.toStdString()), m_failure(failure) {}
        const Auth::Failure& failure() const { return m_failure; }

    private:
        Auth::Failure m_failure;
    };

    // Everything the client talks to; clock, overlay and appState are
    // required, the other empty members have their defaults.
    struct Collaborators {
        HttpClient* http = nullptr;  // default: the client's own, 6 per host
        Clock* clock = nullptr;
        OverlayControl* overlay = nullptr;
        AppState* appState = nullptr;
        Auth auth;                          // default: signed out, refresh rejected
        // The user's replacement prompt of a built-in tone (nothing when
        // absent or empty).
        std::function<std::optional<QString>(const QString& tone)> toneOverride;
        // The API base (no trailing slash); default ServiceConfig::apiBase().
        std::function<QString()> apiBase;
        // The multipart boundary of one upload; default "ormil-" + new UUID.
        std::function<QByteArray()> boundary;
    };

    // The encoders behind compressToM4A(); tests replace them to make one fail.
    struct AudioEncoders {
        // WAV file path and bit rate to an Ogg Opus file, or nothing.
        std::function<std::optional<QByteArray>(const QString& wavPath, int bitrate)> opus;
        // WAV file path and M4A output path to the M4A file's bytes, or nothing.
        std::function<std::optional<QByteArray>(const QString& wavPath, const QString& m4aPath)>
            aac;
        static AudioEncoders standard();
    };

    TranscriptionService(SettingsStore& settings, Collaborators collaborators,
                         AudioEncoders encoders = AudioEncoders::standard());
    // Waits for the background uploads and warm-ups still running.
    ~TranscriptionService();
    TranscriptionService(const TranscriptionService&) = delete;
    TranscriptionService& operator=(const TranscriptionService&) = delete;
    static TranscriptionService& shared();
    // What shared() is built with (the account session, the tone prompts);
    // call once at start-up, before the first use of shared().
    static void setSharedCollaborators(Collaborators collaborators);

    // The build's version, sent as "app_version"; "0.0.0" when the build has none.
    static QString appVersion();
    // Request timeouts of every upload: idle and whole exchange, in seconds.
    static constexpr double requestTimeout = 120;
    static constexpr double resourceTimeout = 180;
    // Pauses before a repeated send after a dropped connection.
    static constexpr double retryPauses[] = {1.5, 3.0};
    // Uploads of one long recording in flight at once.
    static constexpr int maxChunksInFlight = 8;
    // From this many PCM bytes on a "wav" recording is uploaded in windows.
    static constexpr qint64 chunkedFromBytes = 1952000;
    static constexpr qint64 windowSamples = 960000;
    static constexpr qint64 stepSamples = 768000;

    // The API base + "/transcribe".
    QString endpoint() const;

    // Opens a connection to the service in the background so that the
    // upload finds it ready. Returns at once.
    void warmUpConnection();

    // The text of a finished recording. A "wav" recording with 61 s of audio
    // or more goes up in overlapping windows; a shorter one is compressed
    // first; any other format goes up as it is. Throws TranscriptionError.
    QString transcribe(const QByteArray& audioData, const QString& language,
                       const QString& provider, const QString& toneStyle, const QString& format,
                       const std::optional<QString>& translateTo);

    // --- windows streamed while a recording runs
    // A new, empty session replaces any earlier one.
    void beginStreaming();
    // Starts the window's upload (without tone) and registers it before
    // returning, so a finishStreaming() that follows always waits for it.
    // Does nothing without a session.
    void streamWindow(const QByteArray& wav, qint64 index, const QString& language,
                      const QString& provider, const std::optional<QString>& translateTo);
    // Closes the session and joins its windows, with the tone applied once.
    // Nothing when there was no session, no window, or when any window
    // failed or is missing (the caller then sends the whole recording), or
    // when the text is blank. Never throws.
    std::optional<QString> finishStreaming(const QString& toneStyle, const QString& language);

    // Ordered window texts joined into one, the words that neighbouring
    // windows repeat in their overlap kept once.
    static QString dedupJoin(const QStringList& texts);

    // --- text requests
    // The text reworked in a tone. Blank text comes back without a request;
    // a status other than 200, or a 200 without usable text, gives the input
    // back. Throws TranscriptionError (bad URL, not HTTP), HttpError
    // (transport), WireDecodingError (undecodable 200) or RefreshError.
    QString postProcess(const QString& text, const QString& toneStyle,
                        const std::optional<QString>& customPrompt, bool culturedFilter,
                        const QString& language, std::optional<bool> sameLanguage = {},
                        std::optional<bool> dontChangeMeaning = {}, bool isRetry = false);
    // The same, but a status other than 200 throws
    // TranscriptionError::serverError("HTTP " + status + ": " + body).
    QString postProcessStrict(const QString& text, const QString& toneStyle,
                              const std::optional<QString>& customPrompt, bool culturedFilter,
                              const QString& language, std::optional<bool> sameLanguage = {},
                              std::optional<bool> dontChangeMeaning = {});
    // The translation, or nothing on any failure. Blank text comes back as it is.
    std::optional<QString> translateArbitraryText(const QString& text,
                                                  const QString& targetLanguage, bool literal,
                                                  bool isRetry = false);

    // Runs operation (on this thread); when it takes longer than 1.5 s and
    // the overlay still shows processing then, the overlay switches to
    // post-processing. Returns or rethrows what the operation does.
    template <typename F>
    auto withPostProcessOverlay(F&& operation) {
        auto watcher = startPostProcessWatcher();
        struct Stop {
            std::shared_ptr<PostProcessWatcher> w;
            TranscriptionService* s;
            ~Stop() { s->stopPostProcessWatcher(w); }
        } stop{watcher, this};
        return operation();
    }

    // WAV bytes made smaller for the upload: Ogg Opus (begins "OggS"), else
    // AAC in M4A, else nothing (the caller then sends the WAV). Blocking; call
    // it off the main thread. Its temporary files are always removed.
    std::optional<QByteArray> compressToM4A(const QByteArray& wav) const;

    // The window list of a long recording: 60 s windows every 48 s, each a
    // complete WAV file; the last is the first that reaches the end.
    static std::vector<QByteArray> splitWAVIntoChunks(const QByteArray& wavData, qint64 dataOffset,
                                                      qint64 dataSize);

private:
    struct PostProcessWatcher;

    QString sendTranscription(const QByteArray& audioData, const QString& language,
                              const QString& provider, const QString& toneStyle,
                              const QString& format, const std::optional<QString>& translateTo,
                              bool isRetry, int networkAttempt,
                              const std::shared_ptr<HttpCancelToken>& cancel = {});
    QString sendOnce(const QByteArray& audioData, const QString& language, const QString& provider,
                     const QString& toneStyle, const QString& format,
                     const std::optional<QString>& translateTo, bool isRetry,
                     const std::shared_ptr<HttpCancelToken>& cancel);
    QString sendChunkWithRetry(const QByteArray& wav, qint64 index, qint64 total,
                               const QString& language, const QString& provider,
                               const QString& toneStyle, const std::optional<QString>& translateTo,
                               const std::shared_ptr<HttpCancelToken>& cancel = {});
    QString transcribeChunked(const QByteArray& audioData, qint64 dataOffset, qint64 dataSize,
                              const QString& language, const QString& provider,
                              const QString& toneStyle, const std::optional<QString>& translateTo);
    // The joined text with the tone applied once; the joined text when the
    // tone request fails or gives blank text.
    QString applyTone(const QString& joined, const QString& toneStyle, const QString& language,
                      bool logOutcome);
    void publishWordCounters(qint64 used, qint64 limit);

    std::shared_ptr<PostProcessWatcher> startPostProcessWatcher();
    void stopPostProcessWatcher(const std::shared_ptr<PostProcessWatcher>& watcher);

    // Background jobs that may outlive a call (window uploads, warm-ups);
    // the destructor waits for them.
    void startBackground(std::function<void()> job);

    SettingsStore& m_settings;
    AudioEncoders m_encoders;
    Collaborators m_c;
    std::unique_ptr<HttpClient> m_ownHttp;
    HttpClient* m_http = nullptr;
    Clock* m_clock = nullptr;
    std::unique_ptr<TextRequests> m_text;

    std::mutex m_streamingMutex;
    std::shared_ptr<StreamingSession> m_streaming;

    std::mutex m_backgroundMutex;
    std::condition_variable m_backgroundDone;
    int m_background = 0;
};
