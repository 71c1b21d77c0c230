#include "pipeline/DictationDispatch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <stdexcept>

#include "audio/AacEncoder.h"
#include "audio/AudioNormalizer.h"
#include "audio/OggOpus.h"
#include "platform/DebugLog.h"
#include "platform/PrivateFiles.h"

namespace {

constexpr int kQuietPeakLow = 251;
constexpr int kQuietPeakHigh = 4914;
constexpr qint64 kLiveEncodingHeaderSlack = 4096;

QString ratio(qint64 from, qint64 to) {
    return QString::asprintf("%.1f", double(from) / double(to < 2 ? 1 : to));
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

DictationDispatch::DictationDispatch(Request request, Services services)
    : m_request(std::move(request)), m_services(std::move(services)) {}

std::optional<DictationDispatch::Outcome> DictationDispatch::gate(const QString& audioURL,
                                                                  double duration,
                                                                  const LiveEncoding* live) {
    // The recorder pushed every sample to the live encoding before its stop
    // completed: its peak is the whole recording's.
    const int peak = live ? live->peak : AudioRecorderService::peakOfWAVFile(audioURL);
    Outcome outcome;
    if (peak <= AudioRecorderService::silencePeak) {
        debugLog(QStringLiteral("[Audio] Речи не слышно (пик %1) — не отправляем").arg(peak));
        outcome.result = Result::silent;
        outcome.peak = peak;
    } else if (duration <= AudioRecorderService::minimumDuration) {
        debugLog(QStringLiteral("[Audio] Duration too short (") + logNumber(duration) +
                 QStringLiteral("), skipping"));
        outcome.result = Result::tooShort;
    } else {
        return std::nullopt;
    }
    QFile::remove(audioURL);
    return outcome;
}

DictationDispatch::Outcome DictationDispatch::run() {
    if (m_request.streamed) {
        if (std::optional<QString> text = finishStream())
            return Outcome{Result::streamedText, *text, {}, 0, {}, {}};
        if (auto rejected = gate(m_request.audioURL, m_request.duration, m_request.live.get()))
            return *rejected;
        if (m_services.processingStarted) m_services.processingStarted();
    }
    Outcome outcome;
    // The recording stays on disk until its text is delivered or its audio
    // is in the retry queue: a run killed meanwhile leaves it for the next
    // start to adopt.
    if (!choosePayload(outcome)) return Outcome{Result::readFailure, {}, {}, 0, {}, {}};
    debugLog(QStringLiteral("[Audio] Sending ") + outcome.format + QStringLiteral(": ") +
             QString::number(outcome.payload.size()) + QStringLiteral(" bytes"));
    if (m_request.translateKeyTarget && m_request.translateTo)
        debugLog(QStringLiteral("[Audio] Translate hotkey active → translateTo=") +
                 *m_request.translateTo);
    m_request.live.reset();
    return upload(std::move(outcome));
}

std::optional<QString> DictationDispatch::finishStream() {
    const std::optional<QString> text =
        m_services.finishStreaming
            ? m_services.finishStreaming(m_request.tone, m_request.streamLanguage)
            : std::nullopt;
    if (text && !text->isEmpty()) {
        debugLog(QStringLiteral("[Streaming] Готово потоково: %1 символов").arg(text->size()));
        return text;
    }
    debugLog(QStringLiteral("[Streaming] Потоковый сбор пуст — падаем на обычный путь"));
    return std::nullopt;
}

bool DictationDispatch::choosePayload(Outcome& outcome) {
    LiveEncoding* live = m_request.live.get();
    const QString& url = m_request.audioURL;
    const bool shortEnough = m_request.duration <= AudioRecorderService::liveEncodingMaxSeconds;
    // The rest of the file goes into the live encoding before any gain is
    // applied to the file, so the encoding is of the raw recording only and
    // its peak covers all of it.
    if (shortEnough && live && live->encoder) AudioRecorderService::feedLiveEncoder(*live, url);
    if (m_request.settings)
        AudioNormalizer::normalizeWAVFileIfNeeded(url, *m_request.settings);
    else
        AudioNormalizer::normalizeWAVFileIfNeeded(url);
    if (!shortEnough) return payloadAsLongWAV(outcome);

    bool done = false;
    if (m_request.normalization && live && live->peak >= kQuietPeakLow &&
        live->peak <= kQuietPeakHigh) {
        debugLog(QStringLiteral("[Audio] Тихая запись (пик %1) — пережимаем с усилением")
                     .arg(live->peak));
    } else if (live && live->encoder) {
        done = payloadFromLiveEncoding(outcome);
    }
    if (live) live->encoder.reset();
    return done || payloadReencoded(outcome);
}

bool DictationDispatch::payloadAsLongWAV(Outcome& outcome) {
    debugLog(QStringLiteral("[Audio] Duration ") + QString::asprintf("%.1f", m_request.duration) +
             QStringLiteral("s > 60s — keeping WAV for chunked transcription"));
    return payloadAsWAV(outcome, "[Audio] Failed to read WAV file!");
}

bool DictationDispatch::payloadFromLiveEncoding(Outcome& outcome) {
    LiveEncoding& live = *m_request.live;
    const qint64 length = fileSize(m_request.audioURL);
    const qint64 expected = std::max<qint64>(length - kLiveEncodingHeaderSlack, 0);
    const qint64 missing = expected - live.encodedBytes;
    if (length - kLiveEncodingHeaderSlack >= 1 &&
        missing > AudioRecorderService::liveEncodingSlackBytes) {
        debugLog(QStringLiteral("[Audio] Сжатие по ходу неполное: не дошло %1 байт (%2с) — "
                                "пережимаем целиком")
                     .arg(missing)
                     .arg(QString::asprintf("%.1f", double(missing) / 32000.0)));
        return false;
    }
    const QByteArray ogg = live.encoder->finish().value_or(QByteArray());
    if (ogg.isEmpty()) return false;
    outcome.payload = ogg;
    outcome.format = QStringLiteral("ogg");
    debugLog(QStringLiteral("[Audio] Сжато по ходу записи: %1 bytes → %2 bytes "
                            "(%3x), ждать не пришлось")
                 .arg(length)
                 .arg(ogg.size())
                 .arg(ratio(length, ogg.size())));
    debugLog(QStringLiteral("[Audio] Сжато по ходу: вся запись на месте (%1 из %2 байт)")
                 .arg(live.encodedBytes)
                 .arg(expected));
    return true;
}

bool DictationDispatch::payloadReencoded(Outcome& outcome) {
    const QString& url = m_request.audioURL;
    try {
        const QString compressed = convertToAAC(url, m_request.opusBitrate, m_services);
        const auto bytes = readWhole(compressed);
        QFile::remove(compressed);
        if (!bytes) throw std::runtime_error("compressed file unreadable");
        debugLog(QStringLiteral("[Audio] AAC compression: %1 bytes → %2 bytes (%3x)")
                     .arg(fileSize(url))
                     .arg(bytes->size())
                     .arg(ratio(fileSize(url), bytes->size())));
        outcome.payload = *bytes;
        outcome.format = compressed.endsWith(QStringLiteral(".ogg")) ? QStringLiteral("ogg")
                                                                     : QStringLiteral("m4a");
        return true;
    } catch (const std::exception& e) {
        debugLog(QStringLiteral("[Audio] AAC conversion failed, using WAV: ") +
                 QString::fromUtf8(e.what()));
        return payloadAsWAV(outcome, "[Audio] Failed to read audio file!");
    }
}

bool DictationDispatch::payloadAsWAV(Outcome& outcome, const char* failureLog) {
    auto wav = readWhole(m_request.audioURL);
    if (!wav) {
        debugLog(QString::fromUtf8(failureLog));
        return false;
    }
    outcome.payload = std::move(*wav);
    outcome.format = QStringLiteral("wav");
    return true;
}

QString DictationDispatch::convertToAAC(const QString& wavURL, int bitrate,
                                        const Services& services) {
    const auto opus = services.encodeOpus ? services.encodeOpus(wavURL, bitrate)
                                          : OggOpus::encode(wavURL, bitrate);
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
    const auto aac = services.encodeAAC ? services.encodeAAC(wavURL, target)
                                        : AacEncoder::encode(wavURL, target);
    if (aac && !aac->isEmpty()) return target;
    QFile::remove(target);
    throw std::runtime_error("AAC encode failed");
}

DictationDispatch::Outcome DictationDispatch::upload(Outcome outcome) {
    try {
        if (!m_services.transcribe) throw std::runtime_error("Transcription service unavailable");
        outcome.text =
            m_services.transcribe(outcome.payload, m_request.language, m_request.provider,
                                  m_request.tone, outcome.format, m_request.translateTo);
        outcome.result = Result::transcribed;
    } catch (const std::exception& e) {
        outcome.result = Result::uploadFailed;
        outcome.failure = QString::fromUtf8(e.what());
        if (m_services.reportError)
            m_services.reportError(
                QStringLiteral("transcription"), QStringLiteral("transcription_failed"),
                outcome.failure,
                QJsonObject{{QStringLiteral("audio_seconds"), qint64(m_request.duration)}});
    }
    return outcome;
}
