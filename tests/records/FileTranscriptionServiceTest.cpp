// The file-job client against the local stand-in: the exact upload bytes,
// the single refresh on 401, the failure messages and the GET rules.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QTcpServer>
#include <future>

#include "fakes/FakeClock.h"
#include "platform/Clock.h"
#include "records/FileTranscriptionService.h"
#include "service/AnswerLimits.h"
#include "service/HttpClient.h"
#include "support/AnswerServer.h"
#include "support/DevService.h"
#include "support/TestSupport.h"

namespace {

struct Client {
    explicit Client(const QString& base, std::optional<QString> initial = std::nullopt)
        : token(std::move(initial)) {
        FileTranscriptionService::Collaborators c;
        c.http = &http;
        c.apiBase = [base] { return base; };
        c.accessToken = [this] { return token; };
        c.refresh = [this] {
            ++refreshes;
            if (refreshedToken) token = refreshedToken;
        };
        service = std::make_unique<FileTranscriptionService>(std::move(c));
    }
    std::optional<QString> token;
    std::optional<QString> refreshedToken;
    int refreshes = 0;
    HttpClient http{Clock::system()};
    std::unique_ptr<FileTranscriptionService> service;
};

QString writeTemp(const QString& name, const QByteArray& bytes) {
    const QString path = testsupport::root() + "/" + name;
    testsupport::writeFile(path, bytes);
    return path;
}

// A port on this machine where nobody listens.
int closedPort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

}  // namespace

TEST(FileUpload, SendsTheExactMultipartBytes) {
    DevService stand;
    const auto tokens = stand.createSignedInAccount({{"email", "f@ormil.test"}, {"password", "p"}});
    Client client(stand.baseUrl(), tokens.access);
    const QByteArray audio("\x00\x01OggS\r\n--not-a-boundary\r\n\xff", 24);
    const QString path = writeTemp("voice memo.ogg", audio);

    const auto result = client.service->upload(path, "de", QString("Talk \"final\".mov"));
    ASSERT_TRUE(result.job) << result.error.value_or("").toStdString();
    EXPECT_FALSE(result.error);
    EXPECT_EQ(result.job->status, "queued");

    const auto received = stand.requests("/transcribe-file");
    ASSERT_EQ(received.size(), 1);
    const QByteArray contentType = received[0].headers.value("Content-Type");
    const QByteArray prefix = "multipart/form-data; boundary=";
    ASSERT_TRUE(contentType.startsWith(prefix)) << contentType.toStdString();
    const QByteArray boundary = contentType.mid(prefix.size());
    EXPECT_TRUE(boundary.startsWith("OrmilBoundary-"));
    EXPECT_EQ(boundary.size(), 14 + 36);
    EXPECT_EQ(boundary, boundary.toUpper().replace("ORMILBOUNDARY-", "OrmilBoundary-"));
    EXPECT_EQ(received[0].headers.value("Authorization"), "Bearer " + tokens.access.toUtf8());
    const QByteArray expected =
        "--" + boundary + "\r\n" + "Content-Disposition: form-data; name=\"language\"\r\n\r\n" +
        "de\r\n" + "--" + boundary + "\r\n" +
        "Content-Disposition: form-data; name=\"file\"; "
        "filename=\"Talk %22final%22.mov\"\r\n" +
        "Content-Type: application/octet-stream\r\n\r\n" + audio + "\r\n--" + boundary + "--\r\n";
    EXPECT_EQ(received[0].body, expected);

    // Without a display name the file's own name goes out, unchanged.
    client.service->upload(path, "ru", std::nullopt);
    const auto second = stand.requests("/transcribe-file");
    ASSERT_EQ(second.size(), 2);
    EXPECT_TRUE(second[1].body.contains("filename=\"voice memo.ogg\"\r\n"));
    EXPECT_NE(second[1].headers.value("Content-Type"), contentType);

    // The stand-in lists both, newest first.
    const auto jobs = client.service->getJobs();
    ASSERT_TRUE(jobs);
    ASSERT_EQ(jobs->size(), 2);
    EXPECT_EQ(jobs->at(0).filename, "voice memo.ogg");
    EXPECT_EQ(jobs->at(1).id, result.job->id);
}

TEST(FileUpload, RefreshesOnceOn401) {
    DevService stand;
    const auto tokens = stand.createSignedInAccount({{"email", "r@ormil.test"}, {"password", "p"}});
    const QString path = writeTemp("a.mp3", "ID3 bytes");

    // A refresh that brings a valid token: the second attempt goes through.
    Client rescued(stand.baseUrl(), QString("stale"));
    rescued.refreshedToken = tokens.access;
    const auto ok = rescued.service->upload(path, "en", std::nullopt);
    EXPECT_TRUE(ok.job);
    EXPECT_EQ(rescued.refreshes, 1);
    const auto sent = stand.requests("/transcribe-file");
    ASSERT_EQ(sent.size(), 2);
    EXPECT_EQ(sent[0].headers.value("Authorization"), "Bearer stale");
    EXPECT_EQ(sent[1].headers.value("Authorization"), "Bearer " + tokens.access.toUtf8());
    // Each attempt has its own boundary.
    EXPECT_NE(sent[0].headers.value("Content-Type"), sent[1].headers.value("Content-Type"));

    // A refresh that does not help: exactly one resend, then the 401 stands.
    stand.reset();
    Client stuck(stand.baseUrl(), QString("stale"));
    const auto refused = stuck.service->upload(path, "en", std::nullopt);
    EXPECT_FALSE(refused.job);
    EXPECT_EQ(refused.error, QString("Server error (401)"));
    EXPECT_EQ(stuck.refreshes, 1);
    EXPECT_EQ(stand.requests("/transcribe-file").size(), 2);

    // GET follows the same rule.
    stand.reset();
    EXPECT_FALSE(stuck.service->getLimits());
    EXPECT_EQ(stuck.refreshes, 2);
    EXPECT_EQ(stand.requests("/transcribe-file/limits").size(), 2);
    EXPECT_TRUE(testsupport::debugLogText().contains(
        "[FileTranscribe] GET /transcribe-file/limits failed: 401"));
}

TEST(FileUpload, FailureMessagesInTheirOrder) {
    DevService stand;
    const auto tokens = stand.createSignedInAccount({{"email", "m@ormil.test"}, {"password", "p"}});
    const QString path = writeTemp("b.wav", "RIFF");
    Client client(stand.baseUrl(), tokens.access);

    struct Case {
        const char* name;
        DevService::Answer answer;
        std::optional<QString> error;
        bool job;
        const char* logLine;
    };
    DevService::Answer withMessage;
    withMessage.status = 413;
    withMessage.json =
        QJsonObject{{"detail", QJsonObject{{"error", "too_large"}, {"message", "Max 100 MB"}}}};
    DevService::Answer notJson;
    notJson.status = 413;
    notJson.body = "<html>Request Entity Too Large</html>";
    DevService::Answer detailText;
    detailText.status = 422;
    detailText.json = QJsonObject{{"detail", "bad"}};
    DevService::Answer noMessage;
    noMessage.status = 500;
    noMessage.json = QJsonObject{{"detail", QJsonObject{{"error", "boom"}}}};
    DevService::Answer undecodable;
    undecodable.status = 201;
    undecodable.body = "{\"id\": 7}";
    const Case cases[] = {
        {"413 with message", withMessage, QString("Max 100 MB"), false,
         "[FileTranscribe] upload failed 413: Max 100 MB"},
        {"413 not JSON", notJson, QString("Server error (413)"), false,
         "[FileTranscribe] upload failed 413: ?"},
        {"detail as text", detailText, QString("Server error (422)"), false,
         "[FileTranscribe] upload failed 422: ?"},
        {"detail without message", noMessage, QString("Server error (500)"), false,
         "[FileTranscribe] upload failed 500: ?"},
        {"2xx undecodable", undecodable, std::nullopt, false, "[FileTranscribe] upload OK: job=?"},
    };
    for (const Case& c : cases) {
        stand.queue("/transcribe-file", c.answer);
        const auto result = client.service->upload(path, "en", std::nullopt);
        EXPECT_EQ(result.error, c.error) << c.name;
        EXPECT_EQ(result.job.has_value(), c.job) << c.name;
        EXPECT_TRUE(testsupport::debugLogText().contains(c.logLine)) << c.name;
    }

    // Transport failure: the error's description.
    Client offline("http://127.0.0.1:" + QString::number(closedPort()), tokens.access);
    const auto dead = offline.service->upload(path, "en", std::nullopt);
    EXPECT_EQ(dead.error, HttpError(HttpErrorKind::cannotConnect).description());
    EXPECT_TRUE(testsupport::debugLogText().contains("[FileTranscribe] upload error: "));
    EXPECT_FALSE(offline.service->getJobs());
    EXPECT_TRUE(
        testsupport::debugLogText().contains("[FileTranscribe] GET /transcribe-file/list error: "));

    // Unreadable file and no token: no request at all.
    const int before = stand.requests().size();
    EXPECT_EQ(
        client.service->upload(testsupport::root() + "/missing.mp3", "en", std::nullopt).error,
        QString("Cannot read file"));
    Client signedOut(stand.baseUrl());
    EXPECT_EQ(signedOut.service->upload(path, "en", std::nullopt).error,
              QString("Not authenticated"));
    EXPECT_FALSE(signedOut.service->getLimits());
    EXPECT_EQ(stand.requests().size(), before);
    EXPECT_EQ(signedOut.refreshes, 0);
}

TEST(FileJobsClient, LimitsListAndNonOkAnswers) {
    DevService stand;
    const auto tokens = stand.createSignedInAccount({{"email", "l@ormil.test"}, {"password", "p"}});
    Client client(stand.baseUrl(), tokens.access);

    const auto limits = client.service->getLimits();
    ASSERT_TRUE(limits);
    EXPECT_TRUE(limits->feature_enabled);
    EXPECT_EQ(limits->max_file_size_mb, 100);
    const auto none = client.service->getJobs();
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->isEmpty());

    // 204 counts as a failure; so does a 200 of the wrong shape.
    DevService::Answer noContent;
    noContent.status = 204;
    stand.queue("/transcribe-file/list", noContent);
    EXPECT_FALSE(client.service->getJobs());
    EXPECT_TRUE(testsupport::debugLogText().contains(
        "[FileTranscribe] GET /transcribe-file/list failed: 204"));
    DevService::Answer partial;
    partial.json = QJsonObject{{"feature_enabled", true}};
    stand.queue("/transcribe-file/limits", partial);
    EXPECT_FALSE(client.service->getLimits());
    EXPECT_EQ(client.refreshes, 0);
}

// File-job calls against answers that never end or trickle in: each ends at
// the limits of its kind with the transport error, and the call reports no
// result.
TEST(FileJobLimits, EndlessAndTricklingAnswersEndAtTheLimitsOfTheirKind) {
    struct Case {
        const char* name;
        AnswerServer::Mode mode;
        AnswerKind kind;
        bool list;  // the job list, else the limits
        const char* stopped;
    };
    const Case cases[] = {
        {"endless job list", AnswerServer::Mode::endless, AnswerKind::userItems, true,
         "/transcribe-file/list stopped: the answer is larger than 65536 bytes"},
        {"trickling job list", AnswerServer::Mode::drip, AnswerKind::userItems, true,
         "/transcribe-file/list stopped: not complete within 30 s"},
        {"trickling limits", AnswerServer::Mode::drip, AnswerKind::fileJob, false,
         "/transcribe-file/limits stopped: not complete within 30 s"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const AnswerLimitsTable::Override shortLimits(c.kind, {64 * 1024, 30});
        AnswerServer server(c.mode, QByteArray(1000, ' '));
        FakeClock clock;
        HttpClient http(clock);
        FileTranscriptionService::Collaborators collaborators;
        collaborators.http = &http;
        collaborators.apiBase = [&server] { return server.baseUrl(); };
        collaborators.accessToken = [] { return std::optional<QString>("token"); };
        collaborators.refresh = [] {};
        FileTranscriptionService service(std::move(collaborators));

        auto call = std::async(std::launch::async, [&] {
            return c.list ? service.getJobs().has_value() : service.getLimits().has_value();
        });
        const auto ended = [&] {
            return call.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
        };
        // A byte every 10 s keeps the connection busy; the deadline ends it.
        if (c.mode == AnswerServer::Mode::drip) dripPastTheDeadline(server, clock, 30, ended);
        ASSERT_TRUE(testsupport::waitUntil(ended));
        EXPECT_FALSE(call.get());
        EXPECT_TRUE(testsupport::debugLogText().contains(c.stopped));
        EXPECT_EQ(server.requests(), 1);
    }
}
