// Live encoding, streamed windows and the dispatch of a finished recording.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QUuid>
#include <algorithm>
#include <stdexcept>

#include "audio/AudioFormat.h"
#include "audio/AudioNormalizer.h"
#include "audio/OggOpus.h"
#include "core/AppState.h"
#include "core/L10n.h"
#include "core/OverlayControl.h"
#include "pipeline/AudioRecorderService.h"
#include "pipeline/BuiltinTonePromptStore.h"
#include "pipeline/DictationDispatch.h"
#include "pipeline/SoundService.h"
#include "platform/DebugLog.h"
#include "platform/Notifier.h"
#include "platform/PrivateFiles.h"
#include "platform/SettingsStore.h"
#include "platform/Threading.h"
#include "service/TranscriptionService.h"

namespace {

// Enough of the file's start for any header our recorders write.
constexpr qint64 kHeaderProbeBytes = 65536;

int samplePeak(const char* data, qint64 bytes, int peak) {
    for (qint64 i = 0; i + 1 < bytes; i += 2) {
        const qint16 v = qint16(quint16(quint8(data[i])) | (quint16(quint8(data[i + 1])) << 8));
        const int a = v == -32768 ? 32767 : (v < 0 ? -v : v);
        if (a > peak) peak = a;
    }
    return peak;
}

// A WAV file that may still be growing: its size now and where its PCM
// payload starts. The header bytes are kept for cutting pieces from it.
struct GrowingWAV {
    qint64 size = 0;
    qint64 dataOffset = 0;
    QByteArray head;
};

enum class GrowingWAVError { unreadable, noDataChunk };

std::optional<GrowingWAV> openGrowingWAV(QFile& file, GrowingWAVError* error) {
    if (!file.open(QIODevice::ReadOnly)) {
        *error = GrowingWAVError::unreadable;
        return std::nullopt;
    }
    GrowingWAV wav;
    wav.size = file.size();
    wav.head = file.read(std::min(wav.size, kHeaderProbeBytes));
    const auto offset = AudioFormat::parseDataOffsetForGrowingFile(wav.head);
    if (!offset) {
        *error = GrowingWAVError::noDataChunk;
        return std::nullopt;
    }
    wav.dataOffset = *offset;
    wav.head.truncate(int(std::min<qint64>(*offset, wav.head.size())));
    return wav;
}

QByteArray readRange(QFile& file, qint64 from, qint64 bytes) {
    if (bytes <= 0 || !file.seek(from)) return {};
    return file.read(bytes);
}

bool normalizationOn(const SettingsStore& settings) {
    const QString key = QStringLiteral("audioNormalization");
    return !(settings.isBool(key) && !settings.boolean(key));
}


}  // namespace

AudioRecorderService::LiveEncoding::~LiveEncoding() = default;

SettingsStore& AudioRecorderService::settings() const {
    return *m_c.settings;
}

int AudioRecorderService::peakOfWAVFile(const QString& path, qint64 fromByte, int peakSoFar) {
    QFile file(path);
    GrowingWAVError error;
    const auto wav = openGrowingWAV(file, &error);
    if (!wav || wav->size - wav->dataOffset <= 2) return 0;
    int peak = peakSoFar;
    const qint64 start = std::clamp(fromByte & ~qint64(1), qint64(0), wav->size - wav->dataOffset);
    file.seek(wav->dataOffset + start);
    while (!file.atEnd()) {
        const QByteArray block = file.read(1 << 20);
        if (block.isEmpty()) break;
        peak = samplePeak(block.constData(), block.size() & ~qint64(1), peak);
    }
    return peak;
}

// ---- live encoding and streamed windows ----

void AudioRecorderService::startStreamingChunks() {
    if (m_c.startStreamingChunks) {
        m_c.startStreamingChunks();
        return;
    }
    m_streamedWindows = 0;
    m_live = std::make_shared<LiveEncoding>();
    const int bitrate = m_c.opusBitrate ? m_c.opusBitrate() : AudioFormat::opusBitrate(settings());
    m_live->encoder = OggOpusStream::create(AudioFormat::sampleRate, bitrate);
    const SettingsStore& s = settings();
    m_streamLanguage =
        s.string(QStringLiteral("recognitionLanguage")).value_or(QStringLiteral("ru"));
    m_streamProvider = s.string(QStringLiteral("provider")).value_or(QStringLiteral("openai"));
    // The translate key was pressed before the recording started: every
    // window of this recording is translated.
    m_streamTranslateTo.reset();
    if (m_translateMode) {
        QString target = s.string(QStringLiteral("translateTargetLanguage")).value_or(QString());
        m_streamTranslateTo = target.isEmpty() ? QStringLiteral("en") : target;
    }
    if (m_c.beginStreaming) m_c.beginStreaming();
    stopStreamTimer();
    m_streamTimer = m_c.clock->repeat(streamInterval, this, [this] { streamTick(); });
}

void AudioRecorderService::stopStreamTimer() {
    if (m_streamTimer) m_streamTimer->cancel();
    m_streamTimer.reset();
}

void AudioRecorderService::streamTick() {
    emitReadyWindow(false, m_recordingURL);
}

void AudioRecorderService::SampleFeed::push(const char* pcm, qint64 bytes) {
    std::lock_guard lock(m_mutex);
    m_kept.append(pcm, qsizetype(bytes));
    if (!m_live || !m_waiting.isEmpty()) {
        m_waiting.append(pcm, qsizetype(bytes));
        if (m_live) encodeLocked(std::exchange(m_waiting, {}));
        return;
    }
    encodeLocked(QByteArray::fromRawData(pcm, qsizetype(bytes)));
}

void AudioRecorderService::SampleFeed::attach(std::shared_ptr<LiveEncoding> live) {
    std::lock_guard lock(m_mutex);
    m_live = std::move(live);
    encodeLocked(std::exchange(m_waiting, {}));
}

qint64 AudioRecorderService::SampleFeed::pushedBytes() const {
    std::lock_guard lock(m_mutex);
    return m_keptFrom + m_kept.size();
}

QByteArray AudioRecorderService::SampleFeed::samples(qint64 from, qint64 count) const {
    std::lock_guard lock(m_mutex);
    const qint64 at = std::clamp<qint64>(from - m_keptFrom, 0, m_kept.size());
    return m_kept.mid(qsizetype(at), qsizetype(std::max<qint64>(count, 0)));
}

void AudioRecorderService::SampleFeed::releaseBefore(qint64 offset) {
    std::lock_guard lock(m_mutex);
    const qint64 n = std::min<qint64>(offset - m_keptFrom, m_kept.size());
    if (n <= 0) return;
    m_kept.remove(0, qsizetype(n));
    m_keptFrom += n;
}

void AudioRecorderService::SampleFeed::encodeLocked(const QByteArray& pcm) {
    // Whole samples only; an odd last byte waits for the next block.
    const qint64 whole = pcm.size() & ~qint64(1);
    if (whole < pcm.size()) m_waiting = pcm.right(1);
    if (whole <= 0) return;
    m_live->peak = samplePeak(pcm.constData(), whole, m_live->peak);
    // A recording longer than the live encoding is used for is sent as WAV:
    // the encoder stops past that length (and a slack), the peak goes on.
    constexpr qint64 kUsefulBytes = qint64(liveEncodingMaxSeconds) * 32000 + liveEncodingSlackBytes;
    const qint64 take = std::min(whole, kUsefulBytes - m_live->encodedBytes);
    if (!m_live->encoder || take <= 0) return;
    m_live->encoder->append(take == pcm.size() ? QByteArray(pcm.constData(), take)
                                               : pcm.left(qsizetype(take)));
    m_live->encodedBytes += take;
}

void AudioRecorderService::feedLiveEncoder(LiveEncoding& live, const QString& path) {
    if (!live.encoder) return;
    QFile file(path);
    GrowingWAVError error;
    const auto wav = openGrowingWAV(file, &error);
    if (!wav) return;
    const qint64 available = wav->size - wav->dataOffset;
    if (live.encodedBytes >= available) return;
    const qint64 start = wav->dataOffset + live.encodedBytes;
    const qint64 n = (wav->size - start) & ~qint64(1);
    if (n <= 0) return;
    const QByteArray chunk = readRange(file, start, n);
    // A short read leaves the rest for the next look.
    const qint64 got = chunk.size() & ~qint64(1);
    if (got <= 0) return;
    live.peak = samplePeak(chunk.constData(), got, live.peak);
    live.encoder->append(got == chunk.size() ? chunk : chunk.left(int(got)));
    live.encodedBytes += got;
}

void AudioRecorderService::emitReadyWindow(bool force, const std::optional<QString>& path) {
    // The windows are cut from the samples the recorder pushed, which are
    // the file's payload byte for byte; the file is never read back for them.
    if (!path || !m_feed) {
        debugLog(QStringLiteral("[Streaming] окно не готово: файл записи недоступен"));
        return;
    }
    const qint64 available = m_feed->pushedBytes();
    for (;;) {
        const int k = m_streamedWindows;
        const qint64 start = qint64(k) * windowStepBytes;
        if (start >= available) return;
        const qint64 remainder = available - start;
        if (!(remainder > windowBytes - 1 || (force && remainder > leastLastWindowBytes))) return;
        const qint64 count = std::min(remainder, windowBytes) & ~qint64(1);
        const QByteArray pcm = m_feed->samples(start, count);
        QByteArray window = AudioFormat::createWAVChunk(pcm, 0, 0, qint64(pcm.size()) / 2);
        if (normalizationOn(settings())) window = AudioNormalizer::normalizeAudio(window);
        if (m_c.streamWindow)
            m_c.streamWindow(window, k, m_streamLanguage, m_streamProvider, m_streamTranslateTo);
        m_streamedWindows = k + 1;
        const qint64 nextStart = qint64(k + 1) * windowStepBytes;
        m_feed->releaseBefore(nextStart);
        if (!(force && available - nextStart > leastLastWindowBytes)) return;
    }
}

// ---- dispatch ----

void AudioRecorderService::sendToTranscription(const QString& audioURL, double duration) {
    if (m_c.sendToTranscription) {
        m_c.sendToTranscription(audioURL, duration);
        return;
    }
    debugLog(QStringLiteral("[Audio] sendToTranscription: url=") + audioURL +
             QStringLiteral(", duration=") + logNumber(duration));
    stopStreamTimer();
    // The dispatch owns this recording's live encoding from here on: a new
    // recording may start while it is still being sent.
    std::shared_ptr<LiveEncoding> live = std::move(m_live);
    if (m_streamedWindows < 1) {
        sendToTranscriptionClassic(audioURL, duration, live);
        return;
    }
    // Cut from the file being dispatched: at the length cap the session's
    // path is already cleared.
    emitReadyWindow(true, audioURL);
    const QString language = m_streamLanguage;
    const std::optional<QString> translateTo = m_streamTranslateTo;
    // The windows already carry the target; the key's mode ends with this dictation.
    m_translateMode = false;
    // The streamed text is asked for on the worker, which sends the whole
    // recording itself when the collection is empty.
    dispatch(audioURL, duration, std::move(live), [&](DictationDispatchRequest& request) {
        request.streamed = true;
        request.streamLanguage = language;
        request.translateTo = translateTo;
    });
}

void AudioRecorderService::showHint(const QString& counterKey, const QString& title,
                                    const QString& body) {
    SettingsStore& s = settings();
    const qint64 shown = s.integer(counterKey);
    if (shown > 2) return;
    s.set(counterKey, shown + 1);
    m_c.notifier->notify(title, body);
}

void AudioRecorderService::sendToTranscriptionClassic(const QString& audioURL, double duration,
                                                      std::shared_ptr<LiveEncoding> live) {
    if (const auto rejected = DictationDispatch::gate(audioURL, duration, live.get())) {
        DictationDispatchRequest request;
        request.audioURL = audioURL;
        dispatchEnded(request, *rejected);
        return;
    }
    m_c.appState->setIsProcessing(true);
    dispatch(audioURL, duration, std::move(live), [&](DictationDispatchRequest& request) {
        if (!m_translateMode) return;
        const QString stored =
            settings().string(QStringLiteral("translateTargetLanguage")).value_or(QString());
        request.translateTo = stored.isEmpty() ? QStringLiteral("en") : stored;
        request.translateKeyTarget = true;
        m_translateMode = false;
    });
}

void AudioRecorderService::dispatch(const QString& audioURL, double duration,
                                    std::shared_ptr<LiveEncoding> live,
                                    std::function<void(DictationDispatchRequest&)> complete) {
    const SettingsStore& s = settings();
    DictationDispatchRequest request;
    request.audioURL = audioURL;
    request.duration = duration;
    request.language =
        s.string(QStringLiteral("recognitionLanguage")).value_or(QStringLiteral("ru"));
    request.provider = s.string(QStringLiteral("provider")).value_or(QStringLiteral("openai"));
    request.tone = m_c.resolveTone ? m_c.resolveTone() : resolveEffectiveDictationTone();
    request.live = std::move(live);
    request.normalization = normalizationOn(s);
    request.opusBitrate = m_c.opusBitrate ? m_c.opusBitrate() : AudioFormat::opusBitrate(s);
    request.settings = &s;
    complete(request);

    DictationDispatch::Services services{m_c.finishStreaming, m_c.transcribe, m_c.encodeOpus,
                                         m_c.encodeAAC,       m_c.reportError, {}};
    QPointer<AudioRecorderService> self(this);
    AppState* appState = m_c.appState;
    services.processingStarted = [self, appState] {
        runOnMain(self, [appState] { appState->setIsProcessing(true); });
    };
    auto job = std::make_shared<DictationDispatch>(std::move(request), std::move(services));
    // Delivered while the application runs: the recording's file is removed
    // after a streamed text even when the recorder is gone.
    runAsync(
        QCoreApplication::instance(), [job] { return job->run(); },
        [self, job](const DictationDispatchOutcome& outcome) {
            if (self)
                self->dispatchEnded(job->request(), outcome);
            else if (outcome.result == DictationDispatchOutcome::Result::streamedText)
                QFile::remove(job->request().audioURL);
        });
}

void AudioRecorderService::dispatchEnded(const DictationDispatchRequest& request,
                                         const DictationDispatchOutcome& outcome) {
    using Result = DictationDispatchOutcome::Result;
    switch (outcome.result) {
        case Result::streamedText:
            handleTranscriptionSuccess(outcome.text, request.streamLanguage, request.duration);
            QFile::remove(request.audioURL);
            return;
        case Result::silent:
            m_c.overlay->show(OverlayState::error);
            showHint(QStringLiteral("silentHintsShown"), L10n::nothingHeardTitle(),
                     L10n::nothingHeardHint());
            return;
        case Result::tooShort:
            m_c.overlay->show(OverlayState::error);
            showHint(QStringLiteral("shortPressHintsShown"), L10n::tooShortTitle(),
                     L10n::tooShortHint());
            return;
        case Result::readFailure:
            finishRead(request.audioURL);
            return;
        case Result::transcribed:
            handleTranscriptionSuccess(outcome.text, request.language, request.duration);
            QFile::remove(request.audioURL);
            return;
        case Result::uploadFailed:
            // A recording the retry queue could not take is left for the next
            // start, which adopts it as interrupted.
            if (uploadFailed(request, outcome)) QFile::remove(request.audioURL);
            return;
    }
}

void AudioRecorderService::handleTranscriptionSuccess(const QString& text, const QString& language,
                                                      double duration) {
    emit transcribed(text, language, duration);
}

void AudioRecorderService::finishRead(const QString& audioURL) {
    m_c.appState->setLastError(QStringLiteral("Failed to read audio file"));
    m_c.appState->setIsProcessing(false);
    m_c.overlay->show(OverlayState::error);
    m_c.sounds->playErrorSound();
    QFile::remove(audioURL);
}

bool AudioRecorderService::uploadFailed(const DictationDispatchRequest& request,
                                        const DictationDispatchOutcome& outcome) {
    const bool kept =
        !m_c.saveFailedTranscription ||
        m_c.saveFailedTranscription(outcome.payload, outcome.format, request.language,
                                    request.provider, request.tone, request.duration,
                                    outcome.failure);
    m_c.appState->setLastError(QStringLiteral("Transcription failed — saved for retry"));
    m_c.appState->setIsProcessing(false);
    m_c.overlay->show(OverlayState::error);
    m_c.sounds->playErrorSound();
    return kept;
}
