// Client error reports: the queue file, its cap, batches of 20 on a timer,
// the token and 401 rules, and the switch that turns reports off.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <filesystem>
#include <thread>

#include "fakes/FakeClock.h"
#include "platform/SecretStore.h"
#include "platform/SettingsStore.h"
#include "service/AuthService.h"
#include "service/ErrorReportService.h"
#include "support/DevService.h"
#include "support/TestSupport.h"
#include "fakes/FakeSecretStore.h"

namespace {

const QString kPath = "/client-events/errors";

QString freshQueueFile() {
    static int n = 0;
    return QString("%1/data/Ormil-%2/errors-queue.jsonl").arg(testsupport::root()).arg(++n);
}

struct Reports {
    DevService service;
    SettingsStore settings;
    FakeSecretStore secrets;
    FakeClock clock;
    HttpClient client{Clock::system()};
    HttpSend send = [this](const HttpRequest& r) { return client.send(r); };
    AuthService auth{settings, secrets, send, service.baseUrl(), service.baseUrl()};
    ErrorReportService reports{settings,
                               clock,
                               {[this](const QString& key) { return auth.readToken(key); },
                                [this] { auth.refreshAccessToken(); }},
                               send,
                               service.baseUrl(),
                               freshQueueFile()};

    void signIn() {
        const auto tokens = service.createSignedInAccount(
            QJsonObject{{"email", "r@ormil.test"}, {"password", "pw"}});
        auth.saveToken(tokens.access, "access_token");
        auth.saveToken(tokens.refresh, "refresh_token");
    }
    void queueEvents(int count, const QString& prefix = "e") {
        for (int i = 0; i < count; ++i) reports.report("update", prefix + QString::number(i));
    }
    QStringList queuedLines() const { return reports.queuedLines(); }
    QStringList queuedCodes() const {
        QStringList codes;
        for (const QString& line : reports.queuedLines())
            codes.append(QJsonDocument::fromJson(line.toUtf8()).object().value("code").toString());
        return codes;
    }
    // The codes of every batch the service received, one list per request.
    QList<QStringList> batches() const {
        QList<QStringList> out;
        for (const auto& r : service.requests(kPath)) {
            QStringList codes;
            for (const QJsonValue& e :
                 QJsonDocument::fromJson(r.body).object().value("events").toArray())
                codes.append(e.toObject().value("code").toString());
            out.append(codes);
        }
        return out;
    }
};

QStringList codes(const QString& prefix, int from, int to) {
    QStringList out;
    for (int i = from; i < to; ++i) out.append(prefix + QString::number(i));
    return out;
}

}  // namespace

TEST(ErrorReports, EventIsOneCompactPrivateLine) {
    Reports r;
    const QString longMessage = "line one\nline two " + QString(1000, 'x');
    r.reports.report("transcription", "transcription_failed", longMessage,
                     QJsonObject{{"audio_seconds", 12}});
    r.reports.report("update", "download_started");
    const QStringList lines = r.reports.queuedLines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(testsupport::readFile(r.reports.queueFile()).endsWith("\n"));
    EXPECT_EQ(std::filesystem::status(r.reports.queueFile().toStdString()).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    const QJsonObject full = QJsonDocument::fromJson(lines[0].toUtf8()).object();
    EXPECT_EQ(full.value("ts").toString(),
              r.clock.currentDateTime().toUTC().toString("yyyy-MM-ddTHH:mm:ssZ"));
    EXPECT_TRUE(QRegularExpression(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ$)")
                    .match(full.value("ts").toString())
                    .hasMatch());
    EXPECT_EQ(full.value("app"), "linux");
    EXPECT_FALSE(full.value("app_version").toString().isEmpty());
    EXPECT_FALSE(full.value("os_version").toString().isEmpty());
    EXPECT_EQ(full.value("category"), "transcription");
    EXPECT_EQ(full.value("code"), "transcription_failed");
    EXPECT_EQ(full.value("message").toString(), longMessage.left(300));
    EXPECT_EQ(full.value("context").toObject().value("audio_seconds").toInt(), 12);

    const QJsonObject bare = QJsonDocument::fromJson(lines[1].toUtf8()).object();
    EXPECT_FALSE(bare.contains("message"));
    EXPECT_FALSE(bare.contains("context"));
}

TEST(ErrorReports, FileKeepsTheNewest200) {
    Reports r;
    r.queueEvents(201);
    const QStringList queued = r.queuedCodes();
    ASSERT_EQ(queued.size(), 200);
    EXPECT_EQ(queued.first(), "e1");
    EXPECT_EQ(queued.last(), "e200");
}

TEST(ErrorReports, SwitchDecidesRecordingAndSending) {
    struct Case {
        const char* name;
        std::optional<QJsonValue> setting;
        bool enabled;
    };
    const Case cases[] = {
        {"absent", std::nullopt, true},
        {"true", QJsonValue(true), true},
        {"false", QJsonValue(false), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Reports r;
        r.signIn();
        r.queueEvents(2, "before");
        if (c.setting) r.settings.set("sendErrorReports", *c.setting);
        EXPECT_EQ(r.reports.enabled(), c.enabled);
        r.queueEvents(1, "after");
        r.reports.sendPending();
        if (c.enabled) {
            EXPECT_EQ(r.batches(), QList<QStringList>({{"before0", "before1", "after0"}}));
            EXPECT_TRUE(r.queuedCodes().isEmpty());
        } else {
            // Nothing recorded, nothing sent, what was queued waits.
            EXPECT_TRUE(r.batches().isEmpty());
            EXPECT_EQ(r.queuedCodes(), QStringList({"before0", "before1"}));
        }
    }
}

TEST(ErrorReports, SendsBatchesOf20OldestFirstAndDeletesTheEmptyFile) {
    Reports r;
    r.signIn();
    r.queueEvents(45);
    for (int run = 0; run < 3; ++run) r.reports.sendPending();
    EXPECT_EQ(r.batches(),
              QList<QStringList>({codes("e", 0, 20), codes("e", 20, 40), codes("e", 40, 45)}));
    EXPECT_FALSE(QFile::exists(r.reports.queueFile()));
    const auto sent = r.service.requests(kPath);
    EXPECT_EQ(sent[0].headers.value("Authorization"),
              "Bearer " + r.auth.readToken("access_token").token->toUtf8());
    EXPECT_EQ(sent[0].headers.value("Content-Type"), "application/json");
    EXPECT_EQ(QJsonDocument::fromJson(sent[0].body).object().keys(), QStringList({"events"}));
}

TEST(ErrorReports, FailuresKeepTheBatch) {
    struct Case {
        const char* name;
        bool signedIn;
        std::optional<int> answer;  // queued status for the first post
        bool expireEverything;      // the refresh is refused too
        int expectedPosts;
    };
    const Case cases[] = {
        {"no token: nothing sent", false, {}, false, 0},
        {"server error", true, 500, false, 1},
        {"401 and a refused refresh", true, {}, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Reports r;
        if (c.signedIn) r.signIn();
        r.queueEvents(3);
        if (c.answer) {
            DevService::Answer a;
            a.status = *c.answer;
            r.service.queue(kPath, a);
        }
        if (c.expireEverything) r.service.expireTokens({}, true);
        r.reports.sendPending();
        EXPECT_EQ(r.service.requests(kPath).size(), c.expectedPosts);
        EXPECT_EQ(r.queuedCodes(), codes("e", 0, 3));
    }
}

TEST(ErrorReports, Unauthorized401RefreshesOnceAndResendsTheSameBatch) {
    Reports r;
    r.signIn();
    const QString old = *r.auth.readToken("access_token").token;
    r.queueEvents(3);
    r.service.expireTokens();
    r.reports.sendPending();
    EXPECT_EQ(r.service.requests("/api/auth/refresh").size(), 1);
    const auto sent = r.service.requests(kPath);
    ASSERT_EQ(sent.size(), 2);
    EXPECT_EQ(sent[0].headers.value("Authorization"), "Bearer " + old.toUtf8());
    EXPECT_NE(sent[1].headers.value("Authorization"), sent[0].headers.value("Authorization"));
    EXPECT_EQ(sent[1].body, sent[0].body);
    EXPECT_TRUE(r.queuedCodes().isEmpty());
}

TEST(ErrorReports, DamagedLinesGoWithTheirBatch) {
    struct Case {
        const char* name;
        QByteArray file;
        QList<QStringList> expectedBatches;
    };
    const Case cases[] = {
        {"mixed", "{\"code\":\"a\"}\nnot json\n{\"code\":\"b\"}\n[1]\n", {{"a", "b"}}},
        {"nothing readable", "garbage\n{broken\n", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Reports r;
        r.signIn();
        testsupport::writeFile(r.reports.queueFile(), c.file);
        r.reports.sendPending();
        EXPECT_EQ(r.batches(), c.expectedBatches);
        EXPECT_TRUE(r.reports.queuedLines().isEmpty());
    }
}

TEST(ErrorReports, TimerSendsAfter45SecondsThenEvery300) {
    Reports r;
    r.signIn();
    r.reports.start();
    r.reports.start();
    r.queueEvents(1, "first");
    r.clock.advance(44.9);
    testsupport::processEvents(50);
    EXPECT_TRUE(r.service.requests(kPath).isEmpty());
    r.clock.advance(0.1);
    ASSERT_TRUE(testsupport::waitUntil([&] { return r.queuedLines().isEmpty(); }));
    r.queueEvents(1, "second");
    // The repeating timer counts from start(): its first firing is at 300 s.
    r.clock.advance(254.9);
    testsupport::processEvents(50);
    EXPECT_EQ(r.service.requests(kPath).size(), 1);
    r.clock.advance(0.1);
    ASSERT_TRUE(testsupport::waitUntil([&] { return r.queuedLines().isEmpty(); }));
    EXPECT_EQ(r.batches(), QList<QStringList>({{"first0"}, {"second0"}}));
    // Two starts made one repeating timer only.
    EXPECT_EQ(r.clock.pendingTimers(), 1);
}

TEST(ErrorReports, OverlappingRunAndCapNeverDeleteUnsentEvents) {
    Reports r;
    r.signIn();
    r.queueEvents(20, "old");
    r.service.hold(kPath);
    std::thread run([&] { r.reports.sendPending(); });
    ASSERT_TRUE(testsupport::waitUntil([&] { return r.service.inFlight() == 1; }));
    // A second run while one is in flight does nothing.
    r.reports.sendPending();
    EXPECT_EQ(r.service.requests(kPath).size(), 1);
    // Meanwhile the cap pushes every taken event out of the file.
    r.queueEvents(200, "new");
    r.service.release(kPath);
    run.join();
    EXPECT_EQ(r.queuedCodes(), codes("new", 0, 200));
}
