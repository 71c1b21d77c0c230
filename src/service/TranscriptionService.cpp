#include "service/TranscriptionService.h"

#include <QDir>
#include <QFile>
#include <QUuid>
#include <QtEndian>
#include <cstring>
#include <thread>

#include "pipeline/DebugLog.h"
#include "pipeline/OggOpus.h"
#include "platform/Clock.h"
#include "platform/SettingsStore.h"
#include "service/AacEncoder.h"
#include "service/HttpClient.h"
#include "service/HttpServiceConfig.h"

namespace {

// Walks the RIFF chunks and returns the position of the "data" chunk header.
// Only the sizes of the chunks before it are trusted; all arithmetic is 64-bit
// so that no declared size can wrap the walk around.
std::optional<qint64> findDataChunkHeader(const QByteArray& data) {
    const qint64 length = data.size();
    if (length < 12) return std::nullopt;
    if (std::memcmp(data.constData(), "RIFF", 4) != 0 ||
        std::memcmp(data.constData() + 8, "WAVE", 4) != 0)
        return std::nullopt;
    qint64 position = 12;
    for (;;) {
        if (position + 8 > length) return std::nullopt;
        const char* header = data.constData() + position;
        if (std::memcmp(header, "data", 4) == 0) return position;
        const qint64 size = qFromLittleEndian<quint32>(header + 4);
        // Chunk bodies of odd size are followed by one pad byte.
        position += 8 + size + (size % 2);
    }
}

template <typename T>
void putLE(char* at, T value) {
    qToLittleEndian(value, at);
}

}  // namespace

TranscriptionService::AudioEncoders TranscriptionService::AudioEncoders::standard() {
    return {&OggOpus::encode, &TranscriptionService::encodeAAC};
}

TranscriptionService::TranscriptionService(SettingsStore& settings, AudioEncoders encoders)
    : TranscriptionService(settings, Collaborators{}, std::move(encoders)) {}

TranscriptionService::TranscriptionService(SettingsStore& settings, Collaborators collaborators,
                                           AudioEncoders encoders)
    : m_settings(settings), m_encoders(std::move(encoders)), m_c(std::move(collaborators)) {
    m_clock = m_c.clock ? m_c.clock : &Clock::system();
    if (m_c.http) {
        m_http = m_c.http;
    } else {
        m_ownHttp =
            std::make_unique<HttpClient>(*m_clock, HttpClient::kDefaultMaxConnectionsPerHost);
        m_http = m_ownHttp.get();
    }
    if (!m_c.apiBase) m_c.apiBase = [] { return ServiceConfig::apiBase(); };
    if (!m_c.boundary)
        m_c.boundary = [] {
            return "ormil-" +
                   QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper().toLatin1();
        };
    if (!m_c.auth.accessToken) m_c.auth.accessToken = [] { return std::optional<QString>(); };
    if (!m_c.auth.refresh)
        m_c.auth.refresh = [] {
            return std::optional<Auth::Failure>(Auth::Failure{true, "No refresh token"});
        };
    if (!m_c.toneOverride)
        m_c.toneOverride = [](const QString&) { return std::optional<QString>(); };
}

TranscriptionService::~TranscriptionService() {
    std::unique_lock lock(m_backgroundMutex);
    m_backgroundDone.wait(lock, [this] { return m_background == 0; });
}

namespace {
TranscriptionService::Collaborators& sharedCollaborators() {
    static TranscriptionService::Collaborators collaborators;
    return collaborators;
}
}  // namespace

void TranscriptionService::setSharedCollaborators(Collaborators collaborators) {
    sharedCollaborators() = std::move(collaborators);
}

TranscriptionService& TranscriptionService::shared() {
    static TranscriptionService* instance =
        new TranscriptionService(SettingsStore::shared(), sharedCollaborators());
    return *instance;
}

QString TranscriptionService::appVersion() {
    static const QString version = QStringLiteral(ORMIL_VERSION);
    return version;
}

QString TranscriptionService::endpoint() const {
    return m_c.apiBase() + QStringLiteral("/transcribe");
}

void TranscriptionService::startBackground(std::function<void()> job) {
    {
        std::lock_guard lock(m_backgroundMutex);
        ++m_background;
    }
    std::thread([this, job = std::move(job)] {
        job();
        std::lock_guard lock(m_backgroundMutex);
        if (--m_background == 0) m_backgroundDone.notify_all();
    }).detach();
}

void TranscriptionService::warmUpConnection() {
    const QString url = m_c.apiBase() + QStringLiteral("/api/download/version");
    try {
        HttpClient::checkURL(url);
    } catch (const HttpError&) {
        return;
    }
    startBackground([this, url] {
        HttpRequest request;
        request.url = url;
        request.timeout = 10;
        request.totalTimeout = 10;
        try {
            m_http->send(request);
            debugLog("[Transcription] Прогрев соединения: готово");
        } catch (const HttpError& e) {
            debugLog("[Transcription] Прогрев соединения: не удался (" + e.description() + ")");
        }
    });
}

QString TranscriptionService::transcribe(const QByteArray& audioData, const QString& language,
                                         const QString& provider, const QString& toneStyle,
                                         const QString& format,
                                         const std::optional<QString>& translateTo) {
    QByteArray upload = audioData;
    QString uploadFormat = format;
    if (format == QLatin1String("wav")) {
        if (auto chunk = parseDataChunk(audioData); chunk && chunk->size >= chunkedFromBytes) {
            debugLog(
                QStringLiteral("[Transcription] data chunk %1B (~%2s) > %3s → chunked (offset=%4)")
                    .arg(chunk->size)
                    .arg(chunk->size / bytesPerSecond)
                    .arg(chunkThresholdSeconds)
                    .arg(chunk->offset));
            return transcribeChunked(audioData, chunk->offset, chunk->size, language, provider,
                                     toneStyle, translateTo);
        }
        if (auto compressed = compressToM4A(audioData)) {
            debugLog(QStringLiteral("[Transcription] Одиночная отправка сжата: %1 → %2 bytes (%3x)")
                         .arg(audioData.size())
                         .arg(compressed->size())
                         .arg(QString::asprintf(
                             "%.1f", double(audioData.size()) /
                                         double(std::max<qsizetype>(compressed->size(), 1)))));
            uploadFormat =
                compressed->startsWith("OggS") ? QStringLiteral("ogg") : QStringLiteral("m4a");
            upload = *compressed;
        }
    }
    return sendTranscription(upload, language, provider, toneStyle, uploadFormat, translateTo,
                             false, 0);
}

std::optional<TranscriptionService::DataChunk> TranscriptionService::parseDataChunk(
    const QByteArray& data) {
    const auto header = findDataChunkHeader(data);
    if (!header) return std::nullopt;
    const qint64 offset = *header + 8;
    const qint64 declared = qFromLittleEndian<quint32>(data.constData() + *header + 4);
    const qint64 size = std::min(declared, qint64(data.size()) - offset);
    if (size < 1) return std::nullopt;
    return DataChunk{offset, size};
}

std::optional<qint64> TranscriptionService::parseDataOffsetForGrowingFile(const QByteArray& data) {
    const auto header = findDataChunkHeader(data);
    if (!header) return std::nullopt;
    return *header + 8;
}

QByteArray TranscriptionService::createWAVChunk(const QByteArray& data, qint64 dataOffset,
                                                qint64 startSample, qint64 sampleCount) {
    // The 32-bit size fields limit one file's PCM part.
    constexpr qint64 kMaxPcmBytes = qint64(0xFFFFFFFFu) - 36;
    const qint64 length = data.size();
    // Byte counts of sample counts, saturated well below overflow: nothing
    // beyond the data's length matters.
    auto bytesOf = [length](qint64 samples) {
        return samples <= 0 ? qint64(0) : samples > length ? 2 * length + 2 : 2 * samples;
    };
    const qint64 base = std::clamp(dataOffset, qint64(0), length);
    const qint64 start = std::min(base + bytesOf(startSample), length);
    const qint64 end = start + std::min({bytesOf(sampleCount), length - start, kMaxPcmBytes});
    const qint64 pcmBytes = end - start;

    QByteArray out(44 + pcmBytes, Qt::Uninitialized);
    char* h = out.data();
    std::memcpy(h, "RIFF", 4);
    putLE<quint32>(h + 4, quint32(pcmBytes + 36));
    std::memcpy(h + 8, "WAVEfmt ", 8);
    putLE<quint32>(h + 16, 16);
    putLE<quint16>(h + 20, 1);
    putLE<quint16>(h + 22, 1);
    putLE<quint32>(h + 24, sampleRate);
    putLE<quint32>(h + 28, bytesPerSecond);
    putLE<quint16>(h + 32, bytesPerSample);
    putLE<quint16>(h + 34, 16);
    std::memcpy(h + 36, "data", 4);
    putLE<quint32>(h + 40, quint32(pcmBytes));
    if (pcmBytes > 0) std::memcpy(h + 44, data.constData() + start, size_t(pcmBytes));
    return out;
}

int TranscriptionService::opusBitrate(const SettingsStore& settings) {
    const QString quality = settings.stringOrDefault("audioQuality");
    if (quality == "fast") return 16000;
    if (quality == "high") return 48000;
    if (quality == "best") return 64000;
    return 24000;
}

int TranscriptionService::opusBitrate() {
    return opusBitrate(SettingsStore::shared());
}

std::optional<QByteArray> TranscriptionService::compressToM4A(const QByteArray& wav) const {
    const QString base =
        QDir(QDir::tempPath())
            .filePath("ormil_chunk_" +
                      QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper());
    const QString wavPath = base + ".wav";
    const QString m4aPath = base + ".m4a";
    struct Cleanup {
        QString a, b;
        ~Cleanup() {
            QFile::remove(a);
            QFile::remove(b);
        }
    } cleanup{wavPath, m4aPath};

    {
        QFile file(wavPath);
        if (!file.open(QIODevice::WriteOnly) || file.write(wav) != wav.size() || !file.flush())
            return std::nullopt;
    }
    if (m_encoders.opus) {
        if (auto ogg = m_encoders.opus(wavPath, opusBitrate(m_settings)); ogg && !ogg->isEmpty())
            return ogg;
    }
    debugLog("[Transcription] Opus не закодировался — откатываемся на AAC");
    if (!m_encoders.aac) return std::nullopt;
    auto m4a = m_encoders.aac(wavPath, m4aPath);
    if (m4a && m4a->isEmpty()) return std::nullopt;
    return m4a;
}

std::optional<QByteArray> TranscriptionService::encodeAAC(const QString& wavPath,
                                                          const QString& m4aPath) {
    return AacEncoder::encode(wavPath, m4aPath);
}
