#include "records/FileTranscriptionService.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTimeZone>
#include <QUuid>
#include <cmath>
#include <limits>

#include "audio/MediaAudioExtractor.h"
#include "platform/DebugLog.h"
#include "service/AnswerLimits.h"
#include "service/AuthService.h"
#include "service/HttpClient.h"
#include "service/HttpServiceConfig.h"
#include "service/WireReader.h"
#include "platform/Required.h"

namespace {

const QString kTag = QStringLiteral("[FileTranscribe] ");

FileTranscriptionService::FileJob jobFrom(const WireReader& f) {
    FileTranscriptionService::FileJob job;
    job.id = f.string("id");
    job.status = f.string("status");
    job.progress = f.integer("progress");
    job.filename = f.string("filename");
    job.duration_seconds = f.integer("duration_seconds");
    job.text = f.optionalString("text");
    job.error = f.optionalString("error");
    job.created_at = f.optionalString("created_at");
    return job;
}

// detail.message of a failed upload's body, when it has that shape.
std::optional<QString> errorDetailMessage(const QByteArray& body) {
    try {
        const QJsonValue detail = WireReader(body).present("detail");
        if (detail.isUndefined()) return std::nullopt;
        const WireReader inner(detail);
        inner.optionalString("error");
        return inner.optionalString("message");
    } catch (const WireDecodingError&) {
        return std::nullopt;
    }
}

int clampToInt(qint64 value) {
    return int(std::clamp<qint64>(value, std::numeric_limits<int>::min(),
                                  std::numeric_limits<int>::max()));
}

}  // namespace

// ---------------------------------------------------------------- wire types

std::optional<FileTranscriptionService::FileLimits> FileTranscriptionService::FileLimits::decode(
    const QByteArray& body) {
    try {
        const WireReader f(body);
        FileLimits limits;
        limits.feature_enabled = f.boolean("feature_enabled");
        limits.daily_minutes_limit = f.integer("daily_minutes_limit");
        limits.daily_minutes_used = f.integer("daily_minutes_used");
        limits.daily_minutes_remaining = f.integer("daily_minutes_remaining");
        limits.max_file_size_mb = f.integer("max_file_size_mb");
        limits.service_available = f.boolean("service_available");
        return limits;
    } catch (const WireDecodingError&) {
        return std::nullopt;
    }
}

::FileLimits FileTranscriptionService::FileLimits::toAppState() const {
    ::FileLimits out;
    out.featureEnabled = feature_enabled;
    out.dailyMinutesLimit = clampToInt(daily_minutes_limit);
    out.dailyMinutesUsed = clampToInt(daily_minutes_used);
    out.dailyMinutesRemaining = clampToInt(daily_minutes_remaining);
    out.maxFileSizeMb = clampToInt(max_file_size_mb);
    out.serviceAvailable = service_available;
    return out;
}

std::optional<FileTranscriptionService::FileJob> FileTranscriptionService::FileJob::decode(
    const QByteArray& body) {
    try {
        return jobFrom(WireReader(body));
    } catch (const WireDecodingError&) {
        return std::nullopt;
    }
}

std::optional<QList<FileTranscriptionService::FileJob>>
FileTranscriptionService::FileJob::decodeList(const QByteArray& body) {
    try {
        const QJsonValue jobs = WireReader(body).present("jobs");
        if (!jobs.isArray()) throw WireReader::mismatch("jobs");
        QList<FileJob> out;
        for (const QJsonValue& job : jobs.toArray()) out.append(jobFrom(WireReader(job)));
        return out;
    } catch (const WireDecodingError&) {
        return std::nullopt;
    }
}

QString FileTranscriptionService::FileJob::displayText() const {
    if (status == QLatin1String("error")) return error.value_or(QStringLiteral("Error"));
    return text.value_or(QString());
}

std::optional<QDateTime> FileTranscriptionService::FileJob::createdDate() const {
    if (!created_at) return std::nullopt;
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})T(\\d{2}):(\\d{2}):(\\d{2})(?:\\.(\\d{6}))?$"));
    const QRegularExpressionMatch m = pattern.match(*created_at);
    if (!m.hasMatch()) return std::nullopt;
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    const int millis = m.captured(7).isEmpty() ? 0 : m.captured(7).left(3).toInt();
    const QTime time(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt(), millis);
    if (!date.isValid() || !time.isValid()) return std::nullopt;
    return QDateTime(date, time, QTimeZone::utc());
}

QString FileTranscriptionService::FileJob::formattedDate() const {
    const std::optional<QDateTime> date = createdDate();
    if (!date) return {};
    return date->toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm"));
}

QString FileTranscriptionService::FileJob::formattedDuration() const {
    const qint64 s = std::max<qint64>(0, duration_seconds);
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

// ------------------------------------------------------------------ service

FileTranscriptionService& FileTranscriptionService::shared() {
    static FileTranscriptionService service{[] {
        Collaborators c;
        c.http = &HttpClient::shared();
        return c;
    }()};
    return service;
}

FileTranscriptionService::FileTranscriptionService(Collaborators c) : m_c(std::move(c)) {
    requireCollaborator(m_c.http, "FileTranscriptionService", "http");
    if (!m_c.accessToken)
        m_c.accessToken = [] {
            return AuthService::shared().readToken(QStringLiteral("access_token")).token;
        };
    if (!m_c.refresh)
        m_c.refresh = [] {
            try {
                AuthService::shared().refreshAccessToken();
            } catch (const std::exception&) {
                // The request is repeated once whatever the refresh gave.
            }
        };
    if (!m_c.apiBase) m_c.apiBase = [] { return ServiceConfig::apiBase(); };
    if (!m_c.boundary)
        m_c.boundary = [] {
            return "OrmilBoundary-" +
                   QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper().toLatin1();
        };
}

QString FileTranscriptionService::base() const {
    QString b = m_c.apiBase();
    while (b.endsWith('/')) b.chop(1);
    return b;
}

qint64 FileTranscriptionService::sizeLimitBytes(qint64 megabytes) {
    constexpr qint64 kMiB = 1048576;
    if (megabytes > std::numeric_limits<qint64>::max() / kMiB)
        return std::numeric_limits<qint64>::max();
    if (megabytes < std::numeric_limits<qint64>::min() / kMiB)
        return std::numeric_limits<qint64>::min();
    return megabytes * kMiB;
}

QByteArray FileTranscriptionService::dispositionFileName(const QString& name) {
    QByteArray out;
    for (char c : name.toUtf8()) {
        if (c == '"')
            out += "%22";
        else if (c == '\r')
            out += "%0D";
        else if (c == '\n')
            out += "%0A";
        else
            out += c;
    }
    return out;
}

std::optional<QByteArray> FileTranscriptionService::httpGet(const QString& path, bool isRetry) {
    const std::optional<QString> token = m_c.accessToken();
    if (!token) return std::nullopt;
    HttpRequest request;
    request.url = base() + path;
    try {
        HttpClient::checkURL(request.url);
    } catch (const HttpError&) {
        return std::nullopt;
    }
    request.timeout = 60;
    AnswerLimitsTable::apply(request, path == QLatin1String("/transcribe-file/list")
                                          ? AnswerKind::userItems
                                          : AnswerKind::fileJob);
    request.headers.set("Authorization", "Bearer " + token->toUtf8());
    HttpResponse response;
    try {
        response = m_c.http->send(request);
    } catch (const HttpError& e) {
        debugLog(kTag + QStringLiteral("GET ") + path + QStringLiteral(" error: ") +
                 e.description());
        return std::nullopt;
    }
    if (response.status == 401 && !isRetry) {
        m_c.refresh();
        return httpGet(path, true);
    }
    if (response.status == 200) return response.body;
    debugLog(kTag + QStringLiteral("GET ") + path + QStringLiteral(" failed: ") +
             QString::number(response.status));
    return std::nullopt;
}

std::optional<FileTranscriptionService::FileLimits> FileTranscriptionService::getLimits() {
    const std::optional<QByteArray> body =
        httpGet(QStringLiteral("/transcribe-file/limits"), false);
    if (!body) return std::nullopt;
    return FileLimits::decode(*body);
}

std::optional<QList<FileTranscriptionService::FileJob>> FileTranscriptionService::getJobs() {
    const std::optional<QByteArray> body = httpGet(QStringLiteral("/transcribe-file/list"), false);
    if (!body) return std::nullopt;
    return FileJob::decodeList(*body);
}

FileTranscriptionService::UploadResult FileTranscriptionService::upload(
    const QString& filePath, const QString& language, const std::optional<QString>& displayFileName,
    bool isRetry) {
    const QString notAuthenticated = QStringLiteral("Not authenticated");
    const std::optional<QString> token = m_c.accessToken();
    if (!token) return {std::nullopt, notAuthenticated};
    HttpRequest request;
    request.method = "POST";
    request.url = base() + QStringLiteral("/transcribe-file");
    try {
        HttpClient::checkURL(request.url);
    } catch (const HttpError&) {
        return {std::nullopt, notAuthenticated};
    }

    const QByteArray boundary = m_c.boundary();
    const QString name = displayFileName ? *displayFileName : QFileInfo(filePath).fileName();
    auto body = std::make_shared<HttpStreamBody>();
    body->addBytes(
        "--" + boundary + "\r\n" + "Content-Disposition: form-data; name=\"language\"\r\n\r\n" +
        language.toUtf8() + "\r\n" + "--" + boundary + "\r\n" +
        "Content-Disposition: form-data; name=\"file\"; filename=\"" + dispositionFileName(name) +
        "\"\r\n" + "Content-Type: application/octet-stream\r\n\r\n");
    if (!body->addFile(filePath)) return {std::nullopt, QStringLiteral("Cannot read file")};
    body->addBytes("\r\n--" + boundary + "--\r\n");
    request.streamBody = body;
    request.timeout = 900;
    AnswerLimitsTable::applyToUpload(request, body->size());
    request.headers.set("Authorization", "Bearer " + token->toUtf8());
    request.headers.set("Content-Type", "multipart/form-data; boundary=" + boundary);

    HttpResponse response;
    try {
        response = m_c.http->send(request);
    } catch (const HttpError& e) {
        debugLog(kTag + QStringLiteral("upload error: ") + e.description());
        return {std::nullopt, e.description()};
    }
    if (response.status == 401 && !isRetry) {
        m_c.refresh();
        return upload(filePath, language, displayFileName, true);
    }
    if (!response.isSuccess()) {
        const std::optional<QString> message = errorDetailMessage(response.body);
        const QString status = QString::number(response.status);
        debugLog(kTag + QStringLiteral("upload failed ") + status + QStringLiteral(": ") +
                 message.value_or(QStringLiteral("?")));
        return {std::nullopt,
                message.value_or(QStringLiteral("Server error (") + status + QStringLiteral(")"))};
    }
    std::optional<FileJob> job = FileJob::decode(response.body);
    debugLog(kTag + QStringLiteral("upload OK: job=") + (job ? job->id : QStringLiteral("?")));
    return {std::move(job), std::nullopt};
}

std::optional<QByteArray> FileTranscriptionService::extractOpusAudio(
    const QString& filePath, const std::function<void(double)>& onProgress) {
    return MediaAudioExtractor::extractOpusAudio(filePath, onProgress);
}
