// The multipart upload of one payload, the retries of one window, and the
// windowed upload of a long recording.
#include <QJsonDocument>
#include <QPointer>
#include <climits>

#include "audio/AudioFormat.h"
#include "core/AppState.h"
#include "core/L10n.h"
#include "platform/Characters.h"
#include "platform/Clock.h"
#include "platform/DebugLog.h"
#include "platform/SettingsStore.h"
#include "platform/Threading.h"
#include "service/AnswerLimits.h"
#include "service/ChunkedUpload.h"
#include "service/HttpClient.h"
#include "service/HttpMultipart.h"
#include "service/TranscriptionService.h"
#include "service/TranscriptionSupport.h"
#include "service/TranscriptionWire.h"

using namespace transcription;

QString TranscriptionService::sendTranscription(const QByteArray& audioData,
                                                const QString& language, const QString& provider,
                                                const QString& toneStyle, const QString& format,
                                                const std::optional<QString>& translateTo,
                                                bool isRetry, int networkAttempt,
                                                const std::shared_ptr<HttpCancelToken>& cancel) {
    try {
        HttpClient::checkURL(endpoint());
    } catch (const HttpError&) {
        throw TranscriptionError::invalidURL();
    }
    debugLog(QStringLiteral("[Transcription] Sending %1 bytes").arg(audioData.size()));
    debugLog(QStringLiteral("[Transcription] language=%1 provider=%2 tone=%3 translate=%4")
                 .arg(language, provider, toneStyle,
                      translateTo ? *translateTo : QStringLiteral("off")));
    try {
        return sendOnce(audioData, language, provider, toneStyle, format, translateTo, isRetry,
                        cancel);
    } catch (const TranscriptionError& e) {
        debugLog("[Transcription] Error: " + e.errorDescription());
        throw;
    } catch (const HttpError& e) {
        constexpr int pauses = int(std::size(retryPauses));
        if (e.isTransient() && networkAttempt < pauses) {
            const double pause = retryPauses[networkAttempt];
            debugLog(
                QStringLiteral("[Transcription] Обрыв связи (код %1), попытка %2 из %3 через %4с")
                    .arg(transportCode(e.kind()))
                    .arg(networkAttempt + 1)
                    .arg(pauses)
                    .arg(QString::number(pause, 'f', 1)));
            m_clock->sleep(pause);
            return sendTranscription(audioData, language, provider, toneStyle, format, translateTo,
                                     isRetry, networkAttempt + 1, cancel);
        }
        debugLog("[Transcription] Network error: " + e.description());
        throw TranscriptionError::networkError(e.description());
    } catch (const WireDecodingError& e) {
        debugLog("[Transcription] Network error: " + e.description());
        throw TranscriptionError::networkError(e.description());
    }
}

QString TranscriptionService::sendOnce(const QByteArray& audioData, const QString& language,
                                       const QString& provider, const QString& toneStyle,
                                       const QString& format,
                                       const std::optional<QString>& translateTo, bool isRetry,
                                       const std::shared_ptr<HttpCancelToken>& cancel) {
    HttpRequest request;
    request.method = "POST";
    request.url = endpoint();
    request.timeout = requestTimeout;
    request.totalTimeout = resourceTimeout;
    AnswerLimitsTable::apply(request, AnswerKind::transcript);
    request.cancelToken = cancel;
    const std::optional<QString> token = m_c.auth.accessToken();
    if (token && !token->isEmpty()) {
        request.headers.set("Authorization", "Bearer " + token->toUtf8());
        debugLog("[Transcription] Using Bearer auth");
    } else {
        debugLog("[Transcription] No auth token, sending without auth");
    }

    MultipartFormData form(m_c.boundary());
    request.headers.set("Content-Type", form.contentType());
    form.addFile("audio", "a." + format.toUtf8(), "application/octet-stream", audioData);
    form.addField("format", format.toUtf8());
    form.addField("language", language.toUtf8());
    form.addField("provider", provider.toUtf8());
    form.addField("tone_style", toneStyle.toUtf8());
    form.addField("cultured_filter", m_settings.boolean("replaceProfanity") ? "true" : "false");
    if (auto prompt = m_c.toneOverride(toneStyle); prompt && !prompt->isEmpty())
        form.addField("custom_prompt", prompt->toUtf8());
    if (translateTo && !translateTo->isEmpty())
        form.addField("translate_to", translateTo->toUtf8());
    form.addField("app", "linux");
    form.addField("app_version", appVersion().toUtf8());
    request.body = form.body();
    debugLog(QStringLiteral("[Transcription] Request body size: %1 bytes (звук %2)")
                 .arg(request.body.size())
                 .arg(audioData.size()));

    const HttpResponse response = m_http->send(request);
    debugLog(QStringLiteral("[Transcription] Response status: %1").arg(response.status));
    if (auto text = utf8Text(response.body))
        debugLog("[Transcription] Response body: " + Characters::leading(*text, 500));

    switch (response.status) {
        case 200: {
            const auto decoded = TranscriptionAPIResponse::decode(response.body);
            if (decoded.weekly_words_used && decoded.weekly_words_limit)
                publishWordCounters(*decoded.weekly_words_used, *decoded.weekly_words_limit);
            if (decoded.success && decoded.text) {
                debugLog("[Transcription] Success: " + Characters::leading(*decoded.text, 80));
                return *decoded.text;
            }
            throw TranscriptionError::serverError(
                decoded.error.value_or(QStringLiteral("Transcription failed")));
        }
        case 429:
            throw TranscriptionError::wordLimitReached();
        case 401:
            break;
        default:
            throw TranscriptionError::serverError(httpFailureMessage(response));
    }
    if (isRetry) throw TranscriptionError::sessionExpired();

    debugLog("[Transcription] 401 — attempting token refresh");
    if (const auto failure = m_c.auth.refresh()) {
        if (failure->rejected) {
            debugLog("[Transcription] Token refresh rejected: " + failure->description);
            throw TranscriptionError::sessionExpired();
        }
        debugLog("[Transcription] Token refresh failed (temporary): " + failure->description);
        throw TranscriptionError::networkError(failure->description);
    }
    debugLog("[Transcription] Token refreshed, retrying");
    return sendTranscription(audioData, language, provider, toneStyle, format, translateTo, true, 0,
                             cancel);
}

void TranscriptionService::publishWordCounters(qint64 used, qint64 limit) {
    // The state may be gone by the time the main thread gets here.
    const QPointer<AppState> state(m_c.appState);
    // Scheduled, not awaited: the text may reach the caller first.
    runOnMain([state, used, limit] {
        if (!state) return;
        const auto toInt = [](qint64 v) { return int(std::clamp<qint64>(v, INT_MIN, INT_MAX)); };
        state->setWordsUsed(toInt(used));
        state->setWordsLimit(toInt(limit));
    });
}

QString TranscriptionService::sendChunkWithRetry(const QByteArray& wav, qint64 index, qint64 total,
                                                 const QString& language, const QString& provider,
                                                 const QString& toneStyle,
                                                 const std::optional<QString>& translateTo,
                                                 const std::shared_ptr<HttpCancelToken>& cancel) {
    const auto cancelled = [&] { return cancel && cancel->isCancelled(); };
    const auto cancelledError = [] {
        return TranscriptionError::networkError(HttpError(HttpErrorKind::cancelled).description());
    };
    if (cancelled()) throw cancelledError();

    QByteArray payload = wav;
    QString format = QStringLiteral("wav");
    if (auto compressed = compressToM4A(wav)) {
        debugLog(QStringLiteral("[Transcription] Chunk %1 сжат: %2 → %3 bytes (%4x)")
                     .arg(index + 1)
                     .arg(wav.size())
                     .arg(compressed->size())
                     .arg(QString::asprintf(
                         "%.1f",
                         double(wav.size()) / double(std::max<qsizetype>(compressed->size(), 1)))));
        format = compressed->startsWith("OggS") ? QStringLiteral("ogg") : QStringLiteral("m4a");
        payload = *compressed;
    } else {
        debugLog(QStringLiteral("[Transcription] Chunk %1: сжатие не удалось, отправляем WAV")
                     .arg(index + 1));
    }

    constexpr int attempts = 3;
    std::optional<TranscriptionError> last;
    for (int attempt = 1; attempt <= attempts; ++attempt) {
        // A cancelled window (another window of its recording failed) stops
        // here rather than sending what nobody will read.
        if (cancelled()) throw last ? *last : cancelledError();
        debugLog(QStringLiteral("[Transcription] Chunk %1/%2 попытка %3/%4: %5 bytes (%6)")
                     .arg(index + 1)
                     .arg(total)
                     .arg(attempt)
                     .arg(attempts)
                     .arg(payload.size())
                     .arg(format));
        try {
            QString text = sendTranscription(payload, language, provider, toneStyle, format,
                                             translateTo, false, 0, cancel);
            debugLog(QStringLiteral("[Transcription] Chunk %1 OK (попытка %2): \"%3\"")
                         .arg(index + 1)
                         .arg(attempt)
                         .arg(Characters::leading(text, 60)));
            return text;
        } catch (const TranscriptionError& e) {
            last = e;
            debugLog(QStringLiteral("[Transcription] Chunk %1 попытка %2 FAILED: %3")
                         .arg(index + 1)
                         .arg(attempt)
                         .arg(e.errorDescription()));
            if (attempt < attempts && !cancelled()) m_clock->sleep(attempt * 0.5);
        }
    }
    throw *last;
}

std::vector<QByteArray> TranscriptionService::splitWAVIntoChunks(const QByteArray& wavData,
                                                                 qint64 dataOffset,
                                                                 qint64 dataSize) {
    std::vector<QByteArray> windows;
    if (dataSize < 2) return windows;
    const qint64 totalSamples = dataSize / 2;
    for (qint64 start = 0;; start += stepSamples) {
        const qint64 count = std::min(totalSamples - start, windowSamples);
        windows.push_back(AudioFormat::createWAVChunk(wavData, dataOffset, start, count));
        debugLog(QStringLiteral("[Transcription] Window %1: samples %2..%3 (%4s)")
                     .arg(windows.size())
                     .arg(start)
                     .arg(start + count)
                     .arg(QString::asprintf("%.1f", double(count) / AudioFormat::sampleRate)));
        if (start + windowSamples >= totalSamples) break;
    }
    return windows;
}

QString TranscriptionService::transcribeChunked(const QByteArray& audioData, qint64 dataOffset,
                                                qint64 dataSize, const QString& language,
                                                const QString& provider, const QString& toneStyle,
                                                const std::optional<QString>& translateTo) {
    const std::vector<QByteArray> windows = splitWAVIntoChunks(audioData, dataOffset, dataSize);
    const int n = int(windows.size());
    debugLog(QStringLiteral("[Transcription] Split audio into %1 chunks").arg(n));

    ChunkedUpload upload(n, maxChunksInFlight,
                         [&](int i, const std::shared_ptr<HttpCancelToken>& cancel) {
                             return sendChunkWithRetry(windows[size_t(i)], i, n, language, provider,
                                                       QStringLiteral("none"), translateTo, cancel);
                         });
    QStringList ordered;
    for (const QString& text : upload.run()) ordered << text;
    const QString joined = dedupJoin(ordered);
    debugLog(QStringLiteral("[Transcription] Chunked complete: %1 окон, %2 chars (dedup)")
                 .arg(n)
                 .arg(Characters::count(joined)));
    if (joined.trimmed().isEmpty())
        throw TranscriptionError::serverError(L10n::errorNoSpeechDetected());
    if (toneStyle.isEmpty() || toneStyle == QLatin1String("none")) return joined;
    return applyTone(joined, toneStyle, language, true);
}

QString TranscriptionService::applyTone(const QString& joined, const QString& toneStyle,
                                        const QString& language, bool logOutcome) {
    try {
        const QString result = withPostProcessOverlay([&] {
            return postProcess(joined, toneStyle, m_c.toneOverride(toneStyle), false, language);
        });
        if (result.trimmed().isEmpty()) return joined;
        if (logOutcome)
            debugLog(QStringLiteral(
                         "[Transcription] Тон «%1» применён к собранному тексту (%2 → %3 chars)")
                         .arg(toneStyle)
                         .arg(Characters::count(joined))
                         .arg(Characters::count(result)));
        return result;
    } catch (const std::exception& e) {
        if (logOutcome)
            debugLog("[Transcription] Тон не применился (" + describeError(e) +
                     ") — отдаём как есть");
        return joined;
    }
}
