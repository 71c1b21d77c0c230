#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

#include "core/AppState.h"

class HttpClient;

// The client of the service's file transcription jobs: the user's limits,
// the list of jobs, and the upload of a file as a new job. It keeps no state
// between calls. Every network call blocks: call it off the main thread.
// Nothing here throws; failures give nothing (or an error message for the
// upload) and write one line to the debug log.
class FileTranscriptionService {
public:
    // GET "/transcribe-file/limits". Every key is required.
    struct FileLimits {
        bool feature_enabled = false;
        qint64 daily_minutes_limit = 0;
        qint64 daily_minutes_used = 0;
        qint64 daily_minutes_remaining = 0;
        qint64 max_file_size_mb = 0;
        bool service_available = false;

        static std::optional<FileLimits> decode(const QByteArray& body);
        // As AppState keeps them (values outside its range clamped).
        ::FileLimits toAppState() const;
    };

    // One job of GET "/transcribe-file/list".
    struct FileJob {
        QString id;
        QString status;  // "queued", "processing", "done", "error" (others read as errors)
        qint64 progress = 0;
        QString filename;
        qint64 duration_seconds = 0;
        std::optional<QString> text;
        std::optional<QString> error;
        std::optional<QString> created_at;

        static std::optional<FileJob> decode(const QByteArray& body);
        static std::optional<QList<FileJob>> decodeList(const QByteArray& body);

        // The error for a failed job ("Error" without one), else the
        // transcript (empty without one).
        QString displayText() const;
        // created_at read as UTC, with six fraction digits or none.
        std::optional<QDateTime> createdDate() const;
        // "dd.MM.yyyy HH:mm" in local time, or empty without a date.
        QString formattedDate() const;
        // "m:ss" with unbounded minutes; a negative length reads 0:00.
        QString formattedDuration() const;
    };

    struct UploadResult {
        std::optional<FileJob> job;
        std::optional<QString> error;
    };

    struct Collaborators {
        HttpClient* http = nullptr;  // required
        // The stored access token; default: the account's.
        std::function<std::optional<QString>()> accessToken;
        // The account's single token refresh; its failure is ignored.
        std::function<void()> refresh;
        // The API base without a trailing slash; default ServiceConfig::apiBase().
        std::function<QString()> apiBase;
        // The multipart boundary of one attempt; default "OrmilBoundary-" + UUID.
        std::function<QByteArray()> boundary;
    };

    static FileTranscriptionService& shared();
    explicit FileTranscriptionService(Collaborators collaborators);

    std::optional<FileLimits> getLimits();
    // Nothing means "unknown", not "no jobs".
    std::optional<QList<FileJob>> getJobs();
    // Sends the file's bytes as they are on disk, read while they are sent.
    UploadResult upload(const QString& filePath, const QString& language,
                        const std::optional<QString>& displayFileName, bool isRetry = false);

    // The sound of a media file as Ogg Opus (see MediaAudioExtractor).
    static std::optional<QByteArray> extractOpusAudio(
        const QString& filePath, const std::function<void(double percent)>& onProgress = {});

    // The value of the Content-Disposition filename parameter: the name as
    // it is, except that '"', CR and LF are percent-encoded so that they
    // cannot end the parameter or the header line.
    static QByteArray dispositionFileName(const QString& name);
    // megabytes x 1,048,576, saturating instead of overflowing.
    static qint64 sizeLimitBytes(qint64 megabytes);

private:
    std::optional<QByteArray> httpGet(const QString& path, bool isRetry);
    QString base() const;

    Collaborators m_c;
};
