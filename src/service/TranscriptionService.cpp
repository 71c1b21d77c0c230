#include "service/TranscriptionService.h"

#include <QDir>
#include <QFile>
#include <QUuid>
#include <QtEndian>
#include <cstring>

#include "audio/AacEncoder.h"
#include "audio/AudioFormat.h"
#include "audio/OggOpus.h"
#include "platform/Clock.h"
#include "platform/DebugLog.h"
#include "platform/PrivateFiles.h"
#include "platform/SettingsStore.h"
#include "platform/Threading.h"
#include "service/AnswerLimits.h"
#include "service/HttpClient.h"
#include "service/HttpServiceConfig.h"
#include "service/TextRequests.h"
#include "platform/Required.h"

TranscriptionService::AudioEncoders TranscriptionService::AudioEncoders::standard() {
    return {&OggOpus::encode, &AacEncoder::encode};
}

TranscriptionService::TranscriptionService(SettingsStore& settings, Collaborators collaborators,
                                           AudioEncoders encoders)
    : m_settings(settings), m_encoders(std::move(encoders)), m_c(std::move(collaborators)) {
    requireCollaborators("TranscriptionService", "clock", m_c.clock, "overlay", m_c.overlay,
                         "appState", m_c.appState);
    m_clock = m_c.clock;
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
    m_text = std::make_unique<TextRequests>(*m_http, m_c.auth, [this] { return endpoint(); });
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
    runAsync([this, job = std::move(job)] {
        // Counted down however the job ends: the destructor waits for it.
        struct Done {
            TranscriptionService* service;
            ~Done() {
                std::lock_guard lock(service->m_backgroundMutex);
                if (--service->m_background == 0) service->m_backgroundDone.notify_all();
            }
        } done{this};
        job();
    });
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
        AnswerLimitsTable::apply(request, AnswerKind::connectionCheck);
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
        if (auto chunk = AudioFormat::parseDataChunk(audioData); chunk && chunk->size >= chunkedFromBytes) {
            debugLog(
                QStringLiteral("[Transcription] data chunk %1B (~%2s) > %3s → chunked (offset=%4)")
                    .arg(chunk->size)
                    .arg(chunk->size / AudioFormat::bytesPerSecond)
                    .arg(AudioFormat::chunkThresholdSeconds)
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

std::optional<QByteArray> TranscriptionService::compressToM4A(const QByteArray& wav) const {
    const QString wavPath = PrivateFiles::temporaryPath(QStringLiteral("ormil_chunk_"), ".wav");
    if (wavPath.isEmpty()) return std::nullopt;
    const QString m4aPath = wavPath.chopped(4) + ".m4a";
    struct Cleanup {
        QString a, b;
        ~Cleanup() {
            QFile::remove(a);
            QFile::remove(b);
        }
    } cleanup{wavPath, m4aPath};

    if (!PrivateFiles::writeFile(wavPath, wav)) return std::nullopt;
    if (m_encoders.opus) {
        if (auto ogg = m_encoders.opus(wavPath, AudioFormat::opusBitrate(m_settings)); ogg && !ogg->isEmpty())
            return ogg;
    }
    debugLog("[Transcription] Opus не закодировался — откатываемся на AAC");
    // Made private before the encoder opens it, which keeps the mode.
    if (!m_encoders.aac || !PrivateFiles::writeFile(m4aPath, {})) return std::nullopt;
    auto m4a = m_encoders.aac(wavPath, m4aPath);
    if (m4a && m4a->isEmpty()) return std::nullopt;
    return m4a;
}
