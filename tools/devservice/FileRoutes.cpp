// File transcription jobs: the limits, the job list and the multipart
// upload, with test control to set the limits and move jobs along
// (queued -> processing -> done, or to an error).
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QUuid>
#include <cmath>
#include <memory>
#include <mutex>

#include "AudioInfo.h"
#include "Multipart.h"
#include "Routes.h"

namespace devservice {

namespace {

struct Job {
    QString id;
    QString email;
    QString status = QStringLiteral("queued");
    int progress = 0;
    QString filename;
    qint64 durationSeconds = 0;
    QString text;
    QString error;
    QString createdAt;

    QJsonObject toJson() const {
        QJsonObject o{{"id", id},
                      {"status", status},
                      {"progress", progress},
                      {"filename", filename},
                      {"duration_seconds", durationSeconds},
                      {"created_at", createdAt}};
        if (!text.isEmpty()) o["text"] = text;
        if (!error.isEmpty()) o["error"] = error;
        return o;
    }
};

struct FileJobs {
    std::mutex mutex;
    // The answer of "/transcribe-file/limits" (a test may set any JSON).
    QByteArray limits = QJsonDocument(QJsonObject{{"feature_enabled", true},
                                                  {"daily_minutes_limit", 60},
                                                  {"daily_minutes_used", 0},
                                                  {"daily_minutes_remaining", 60},
                                                  {"max_file_size_mb", 100},
                                                  {"service_available", true}})
                            .toJson(QJsonDocument::Compact);
    QList<Job> jobs;  // newest first
};

// {"detail": {"error": code, "message": text}}, as the service refuses uploads.
void refuse(Response& res, int status, const char* code, const QString& message) {
    sendJson(res, status,
             QJsonObject{{"detail", QJsonObject{{"error", code}, {"message", message}}}});
}

void upload(const Request& req, Response& res, ServiceState& state, FileJobs& files) {
    auto account = requireAccount(req, res, state);
    if (!account) return;
    auto parts = multipartBody(req, res);
    if (!parts) return;
    const FormPart* file = nullptr;
    const FormPart* language = nullptr;
    for (const FormPart& part : *parts) {
        if (part.name == "file" && part.hasFileName && !file) file = &part;
        if (part.name == "language" && !part.hasFileName && !language) language = &part;
    }
    if (!language) {
        requireFields(QJsonObject(), res, {{"language", QJsonValue::String}});
        return;
    }
    if (!file) {
        requireFields(QJsonObject(), res, {{"file", QJsonValue::String}});
        return;
    }

    std::lock_guard lock(files.mutex);
    const QJsonObject limits = QJsonDocument::fromJson(files.limits).object();
    if (!limits.value("service_available").toBool(true)) {
        refuse(res, 503, "service_unavailable",
               QStringLiteral("File transcription is temporarily unavailable"));
        return;
    }
    const qint64 maxMb = limits.value("max_file_size_mb").toInteger(100);
    if (file->data.size() > maxMb * 1048576) {
        refuse(res, 413, "file_too_large",
               QStringLiteral("File is too large. Maximum size is %1 MB.").arg(maxMb));
        return;
    }
    if (limits.value("daily_minutes_limit").toInteger(0) >= 1 &&
        limits.value("daily_minutes_remaining").toInteger(0) < 1) {
        refuse(res, 429, "daily_limit", QStringLiteral("Daily limit reached"));
        return;
    }
    Job job;
    job.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    job.email = account->email.toLower();
    job.filename = QString::fromUtf8(file->fileName);
    job.durationSeconds = qint64(std::lround(audioSeconds(file->data).value_or(0)));
    job.createdAt = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
    files.jobs.prepend(job);
    sendJson(res, 200, job.toJson());
}

}  // namespace

void registerFileRoutes(Router& router, ServiceState& state, Router& control) {
    auto files = std::make_shared<FileJobs>();

    router.add("GET", "/transcribe-file/limits",
               [&state, files](const Request& req, Response& res) {
                   if (!requireAccount(req, res, state)) return;
                   std::lock_guard lock(files->mutex);
                   res.setJson(200, files->limits);
               });

    router.add("GET", "/transcribe-file/list", [&state, files](const Request& req, Response& res) {
        auto account = requireAccount(req, res, state);
        if (!account) return;
        std::lock_guard lock(files->mutex);
        QJsonArray jobs;
        for (const Job& job : files->jobs)
            if (job.email == account->email.toLower()) jobs.append(job.toJson());
        sendJson(res, 200, QJsonObject{{"jobs", jobs}});
    });

    router.add("POST", "/transcribe-file", [&state, files](const Request& req, Response& res) {
        upload(req, res, state, *files);
    });

    // Any JSON body becomes the answer of "/transcribe-file/limits" as it is.
    control.add("POST", "/__control/files/limits", [files](const Request& req, Response& res) {
        std::lock_guard lock(files->mutex);
        files->limits = req.body;
        sendJson(res, 200, QJsonObject());
    });

    // {"id"?, "status"?, "progress"?, "text"?, "error"?}: without "status"
    // each job (or the one named) moves one step: queued -> processing at
    // 50 % -> done at 100 % with a transcript naming its file.
    control.add("POST", "/__control/files/advance", [files](const Request& req, Response& res) {
        auto body = jsonBody(req, res);
        if (!body) return;
        std::lock_guard lock(files->mutex);
        int moved = 0;
        for (Job& job : files->jobs) {
            if (body->contains("id") && body->value("id").toString() != job.id) continue;
            if (body->contains("status")) {
                job.status = body->value("status").toString();
                job.progress = body->value("progress").toInt(job.progress);
                job.text = body->value("text").toString(job.text);
                job.error = body->value("error").toString(job.error);
            } else if (job.status == QLatin1String("queued")) {
                job.status = QStringLiteral("processing");
                job.progress = 50;
            } else if (job.status == QLatin1String("processing")) {
                job.status = QStringLiteral("done");
                job.progress = 100;
                job.text = QStringLiteral("Stand-in transcript of %1.").arg(job.filename);
            } else {
                continue;
            }
            ++moved;
        }
        sendJson(res, 200, QJsonObject{{"moved", moved}});
    });
}

}  // namespace devservice
