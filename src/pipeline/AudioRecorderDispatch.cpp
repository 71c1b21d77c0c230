// Live encoding, streamed windows and the dispatch of a finished recording.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QUuid>
#include <algorithm>
#include <stdexcept>

#include "audio/AacEncoder.h"
#include "audio/AudioFormat.h"
#include "audio/AudioNormalizer.h"
#include "audio/OggOpus.h"
#include "core/AppState.h"
#include "core/L10n.h"
#include "core/OverlayControl.h"
#include "pipeline/AudioRecorderService.h"
#include "pipeline/BuiltinTonePromptStore.h"
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
constexpr int kQuietPeakLow = 251;
constexpr int kQuietPeakHigh = 4914;
constexpr qint64 kLiveEncodingHeaderSlack = 4096;

QString ratio(qint64 from, qint64 to) {
    return QString::asprintf("%.1f", double(from) / double(to < 2 ? 1 : to));
}

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

QString withExtension(const QString& path, const QString& extension) {
    const QFileInfo info(path);
    return info.dir().filePath(info.completeBaseName() + QLatin1Char('.') + extension);
}

std::optional<QByteArray> readWhole(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    return f.readAll();
}

qint64 fileSize(const QString& path) {
    const QFileInfo info(path);
    return info.exists() ? info.size() : 0;
}

}  // namespace

AudioRecorderService::LiveEncoding::~LiveEncoding() = default;

// What one upload of a whole recording carries between its steps.
struct AudioRecorderService::Upload {
    QString audioURL;
    double duration = 0;
    QString language;
    QString provider;
    QString tone;
    std::shared_ptr<LiveEncoding> live;
    // Fixed ahead (a streamed dictation that fell back); else read on the main thread.
    std::optional<std::optional<QString>> translateTo;
    QByteArray payload;
    QString format;
    Collaborators c;
};

SettingsStore& AudioRecorderService::settings() const {
    return m_c.settings ? *m_c.settings : SettingsStore::shared();
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
        sendToTranscriptionClassic(audioURL, duration, live, std::nullopt);
        return;
    }
    // Cut from the file being dispatched: at the length cap the session's
    // path is already cleared.
    emitReadyWindow(true, audioURL);
    const QString tone = m_c.resolveTone ? m_c.resolveTone() : resolveEffectiveDictationTone();
    const QString language = m_streamLanguage;
    const std::optional<QString> translateTo = m_streamTranslateTo;
    // The windows already carry the target; the key's mode ends with this dictation.
    m_translateMode = false;
    auto finish = m_c.finishStreaming;
    auto work = [finish, audioURL, tone, language]() -> std::optional<QString> {
        const std::optional<QString> text = finish ? finish(tone, language) : std::nullopt;
        if (text && !text->isEmpty()) {
            debugLog(QStringLiteral("[Streaming] Готово потоково: %1 символов").arg(text->size()));
            return text;
        }
        debugLog(QStringLiteral("[Streaming] Потоковый сбор пуст — падаем на обычный путь"));
        return std::nullopt;
    };
    // Delivered while the application runs: the recording's file is removed
    // after a streamed text even when the recorder is gone.
    QPointer<AudioRecorderService> self(this);
    runAsync(QCoreApplication::instance(), std::move(work),
             [self, audioURL, duration, live, language, translateTo](const auto& text) {
                 if (!text) {
                     if (self)
                         self->sendToTranscriptionClassic(audioURL, duration, live, translateTo);
                     return;
                 }
                 if (self) self->handleTranscriptionSuccess(*text, language, duration);
                 QFile::remove(audioURL);
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

void AudioRecorderService::sendToTranscriptionClassic(
    const QString& audioURL, double duration, std::shared_ptr<LiveEncoding> live,
    std::optional<std::optional<QString>> translateTo) {
    // The recorder pushed every sample to the live encoding before its stop
    // completed: its peak is the whole recording's.
    const int peak = live ? live->peak : peakOfWAVFile(audioURL);
    if (peak <= silencePeak) {
        debugLog(QStringLiteral("[Audio] Речи не слышно (пик %1) — не отправляем").arg(peak));
        QFile::remove(audioURL);
        m_c.overlay->show(OverlayState::error);
        showHint(QStringLiteral("silentHintsShown"), L10n::nothingHeardTitle(),
                 L10n::nothingHeardHint());
        return;
    }
    if (duration <= minimumDuration) {
        debugLog(QStringLiteral("[Audio] Duration too short (") + logNumber(duration) +
                 QStringLiteral("), skipping"));
        QFile::remove(audioURL);
        m_c.overlay->show(OverlayState::error);
        showHint(QStringLiteral("shortPressHintsShown"), L10n::tooShortTitle(),
                 L10n::tooShortHint());
        return;
    }
    m_c.appState->setIsProcessing(true);
    auto job = std::make_shared<Upload>();
    const SettingsStore& s = settings();
    job->audioURL = audioURL;
    job->duration = duration;
    job->language = s.string(QStringLiteral("recognitionLanguage")).value_or(QStringLiteral("ru"));
    job->provider = s.string(QStringLiteral("provider")).value_or(QStringLiteral("openai"));
    job->tone = m_c.resolveTone ? m_c.resolveTone() : resolveEffectiveDictationTone();
    job->live = std::move(live);
    job->translateTo = std::move(translateTo);
    job->c = m_c;
    job->c.settings = &settings();
    auto work = [job] {
        const Collaborators& c = job->c;
        SettingsStore& s = *c.settings;
        LiveEncoding* live = job->live ? job->live.get() : nullptr;
        const bool shortEnough = job->duration <= liveEncodingMaxSeconds;
        // The rest of the file goes into the live encoding before any gain is
        // applied to the file, so the encoding is of the raw recording only and
        // its peak covers all of it.
        if (shortEnough && live && live->encoder) feedLiveEncoder(*live, job->audioURL);
        AudioNormalizer::normalizeWAVFileIfNeeded(job->audioURL, s);

        bool reencode = true;
        if (!shortEnough) {
            debugLog(QStringLiteral("[Audio] Duration ") +
                     QString::asprintf("%.1f", job->duration) +
                     QStringLiteral("s > 60s — keeping WAV for chunked transcription"));
            reencode = false;
            if (auto wav = readWhole(job->audioURL)) {
                job->payload = *wav;
                job->format = QStringLiteral("wav");
            } else {
                debugLog(QStringLiteral("[Audio] Failed to read WAV file!"));
            }
        } else if (normalizationOn(s) && live && live->peak >= kQuietPeakLow &&
                   live->peak <= kQuietPeakHigh) {
            debugLog(QStringLiteral("[Audio] Тихая запись (пик %1) — пережимаем с усилением")
                         .arg(live->peak));
        } else if (live && live->encoder) {
            const qint64 length = fileSize(job->audioURL);
            const qint64 expected = std::max<qint64>(length - kLiveEncodingHeaderSlack, 0);
            const qint64 missing = expected - live->encodedBytes;
            if (length - kLiveEncodingHeaderSlack < 1 || missing <= liveEncodingSlackBytes) {
                const QByteArray ogg = live->encoder->finish().value_or(QByteArray());
                if (!ogg.isEmpty()) {
                    reencode = false;
                    job->payload = ogg;
                    job->format = QStringLiteral("ogg");
                    debugLog(QStringLiteral("[Audio] Сжато по ходу записи: %1 bytes → %2 bytes "
                                            "(%3x), ждать не пришлось")
                                 .arg(length)
                                 .arg(ogg.size())
                                 .arg(ratio(length, ogg.size())));
                    debugLog(QStringLiteral("[Audio] Сжато по ходу: вся запись на месте (%1 из %2 "
                                            "байт)")
                                 .arg(live->encodedBytes)
                                 .arg(expected));
                }
            } else {
                debugLog(QStringLiteral("[Audio] Сжатие по ходу неполное: не дошло %1 байт (%2с) — "
                                        "пережимаем целиком")
                             .arg(missing)
                             .arg(QString::asprintf("%.1f", double(missing) / 32000.0)));
            }
        }
        if (shortEnough && live) live->encoder.reset();

        if (reencode) {
            try {
                const QString compressed = convertToAAC(job->audioURL, c);
                const auto bytes = readWhole(compressed);
                QFile::remove(compressed);
                if (!bytes) throw std::runtime_error("compressed file unreadable");
                debugLog(QStringLiteral("[Audio] AAC compression: %1 bytes → %2 bytes (%3x)")
                             .arg(fileSize(job->audioURL))
                             .arg(bytes->size())
                             .arg(ratio(fileSize(job->audioURL), bytes->size())));
                job->payload = *bytes;
                job->format = compressed.endsWith(QStringLiteral(".ogg")) ? QStringLiteral("ogg")
                                                                          : QStringLiteral("m4a");
            } catch (const std::exception& e) {
                debugLog(QStringLiteral("[Audio] AAC conversion failed, using WAV: ") +
                         QString::fromUtf8(e.what()));
                if (auto wav = readWhole(job->audioURL)) {
                    job->payload = *wav;
                    job->format = QStringLiteral("wav");
                } else {
                    debugLog(QStringLiteral("[Audio] Failed to read audio file!"));
                }
            }
        }
        // The recording stays on disk until its text is delivered or its audio
        // is in the retry queue: a run killed meanwhile leaves it for the next
        // start to adopt.
        if (job->format.isEmpty()) return;
        debugLog(QStringLiteral("[Audio] Sending ") + job->format + QStringLiteral(": ") +
                 QString::number(job->payload.size()) + QStringLiteral(" bytes"));
        job->live.reset();
    };
    runAsync(this, std::move(work), [this, job] {
        if (job->format.isEmpty())
            finishRead(job->audioURL);
        else
            upload(job);
    });
}

QString AudioRecorderService::convertToAAC(const QString& wavURL, const Collaborators& c) {
    const int bitrate = c.opusBitrate ? c.opusBitrate() : AudioFormat::opusBitrate(*c.settings);
    const auto opus =
        c.encodeOpus ? c.encodeOpus(wavURL, bitrate) : OggOpus::encode(wavURL, bitrate);
    if (opus && !opus->isEmpty()) {
        const QString target = withExtension(wavURL, QStringLiteral("ogg"));
        if (!PrivateFiles::writeFile(target, *opus))
            throw std::runtime_error(("cannot write " + target).toStdString());
        return target;
    }
    const QString target = withExtension(wavURL, QStringLiteral("m4a"));
    // Made private before the encoder opens it, which keeps the mode.
    if (!PrivateFiles::writeFile(target, {}))
        throw std::runtime_error(("cannot write " + target).toStdString());
    const auto aac = c.encodeAAC ? c.encodeAAC(wavURL, target) : AacEncoder::encode(wavURL, target);
    if (aac && !aac->isEmpty()) return target;
    QFile::remove(target);
    throw std::runtime_error("AAC encode failed");
}

void AudioRecorderService::finishRead(const QString& audioURL) {
    m_c.appState->setLastError(QStringLiteral("Failed to read audio file"));
    m_c.appState->setIsProcessing(false);
    m_c.overlay->show(OverlayState::error);
    m_c.sounds->playErrorSound();
    QFile::remove(audioURL);
}

void AudioRecorderService::upload(std::shared_ptr<Upload> job) {
    if (!job->translateTo) {
        std::optional<QString> target;
        if (m_translateMode) {
            const QString stored =
                settings().string(QStringLiteral("translateTargetLanguage")).value_or(QString());
            target = stored.isEmpty() ? QStringLiteral("en") : stored;
            debugLog(QStringLiteral("[Audio] Translate hotkey active → translateTo=") + *target);
            m_translateMode = false;
        }
        job->translateTo = target;
    }
    struct Outcome {
        std::optional<QString> text;
        QString failure;
    };
    auto work = [job] {
        const Collaborators& c = job->c;
        Outcome outcome;
        try {
            if (!c.transcribe) throw std::runtime_error("Transcription service unavailable");
            outcome.text = c.transcribe(job->payload, job->language, job->provider, job->tone,
                                        job->format, *job->translateTo);
        } catch (const std::exception& e) {
            outcome.failure = QString::fromUtf8(e.what());
            if (c.reportError)
                c.reportError(
                    QStringLiteral("transcription"), QStringLiteral("transcription_failed"),
                    outcome.failure,
                    QJsonObject{{QStringLiteral("audio_seconds"), qint64(job->duration)}});
        }
        return outcome;
    };
    runAsync(this, std::move(work), [this, job](const Outcome& outcome) {
        bool handled = true;
        if (outcome.text)
            handleTranscriptionSuccess(*outcome.text, job->language, job->duration);
        else
            handled = uploadFailed(job, outcome.failure);
        // A recording the retry queue could not take is left for the next
        // start, which adopts it as interrupted.
        if (handled) QFile::remove(job->audioURL);
    });
}

bool AudioRecorderService::uploadFailed(const std::shared_ptr<Upload>& job,
                                        const QString& description) {
    const bool kept =
        !m_c.saveFailedTranscription ||
        m_c.saveFailedTranscription(job->payload, job->format, job->language, job->provider,
                                    job->tone, job->duration, description);
    m_c.appState->setLastError(QStringLiteral("Transcription failed — saved for retry"));
    m_c.appState->setIsProcessing(false);
    m_c.overlay->show(OverlayState::error);
    m_c.sounds->playErrorSound();
    return kept;
}

void AudioRecorderService::handleTranscriptionSuccess(const QString& text, const QString& language,
                                                      double duration) {
    const std::optional<QString> cleaned = m_c.postProcess ? m_c.postProcess(text) : text;
    if (!cleaned || cleaned->isEmpty()) {
        m_c.appState->setIsProcessing(false);
        m_c.overlay->show(OverlayState::idle);
        return;
    }
    const bool trusted = m_c.isProcessTrusted ? m_c.isProcessTrusted() : false;
    if (trusted) {
        if (m_c.insertTextViaPasteboard) m_c.insertTextViaPasteboard(*cleaned);
    } else {
        // No synthetic keystrokes: the text waits on the clipboard instead.
        debugLog(
            QStringLiteral("[Audio] No permission to send keystrokes — text left on the "
                           "clipboard"));
        m_c.appState->setLastError(QStringLiteral("Accessibility permission required"));
        if (m_c.copyToClipboard) m_c.copyToClipboard(*cleaned);
    }
    if (m_c.switchToMatchingLayout) m_c.switchToMatchingLayout(*cleaned);
    if (m_c.saveTranscription) m_c.saveTranscription(*cleaned, language, duration);
    m_c.appState->setLastTranscribedText(*cleaned);
    if (m_c.addClipboardTranscription) m_c.addClipboardTranscription(*cleaned);
    m_c.appState->setIsProcessing(false);
    if (trusted) {
        m_c.overlay->show(OverlayState::success);
        m_c.sounds->playSuccessSound();
    } else {
        m_c.overlay->show(OverlayState::error);
        m_c.sounds->playErrorSound();
    }
}
