// The stand-in speaks the service's protocol: sign-in with expiring and
// rotating tokens, the account records, transcription with a description of
// what arrived, the text paths, error events, and its test control.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>

#include "platform/Clock.h"
#include "service/HttpClient.h"
#include "service/HttpMultipart.h"
#include "support/DevService.h"
#include "support/TestSupport.h"

namespace {

QByteArray wav(double seconds) {
    const QByteArray pcm(qsizetype(seconds * 16000) * 2, '\0');
    QByteArray h = "RIFF";
    auto u32 = [&](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        h.append(b, 4);
    };
    auto u16 = [&](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        h.append(b, 2);
    };
    u32(36 + pcm.size());
    h += "WAVEfmt ";
    u32(16), u16(1), u16(1), u32(16000), u32(32000), u16(2), u16(16);
    h += "data";
    u32(pcm.size());
    return h + pcm;
}

QByteArray oggPage(quint8 type, qint64 granule, quint32 sequence, const QByteArray& payload) {
    QByteArray page = "OggS";
    page += char(0);
    page += char(type);
    char b[8];
    qToLittleEndian(granule, b);
    page.append(b, 8);
    qToLittleEndian(quint32(0x4f524d4c), b);
    page.append(b, 4);
    qToLittleEndian(sequence, b);
    page.append(b, 4);
    page.append(4, '\0');  // checksum: not looked at
    page += char(1);
    page += char(payload.size());
    return page + payload;
}

// Head, tags and one audio page whose granule position says `seconds`.
QByteArray oggOpus(double seconds, quint16 preSkip = 312) {
    QByteArray head = "OpusHead";
    head += char(1);
    head += char(1);
    char b[4];
    qToLittleEndian(preSkip, b);
    head.append(b, 2);
    qToLittleEndian(quint32(16000), b);
    head.append(b, 4);
    head.append(3, '\0');
    return oggPage(2, 0, 0, head) + oggPage(0, 0, 1, "OpusTags\0\0\0\0\0\0\0\0") +
           oggPage(4, qint64(preSkip + seconds * 48000), 2, QByteArray(40, 'x'));
}

class DevServiceTest : public ::testing::Test {
protected:
    HttpResponse call(const QByteArray& method, const QString& path, const QByteArray& body = {},
                      const QString& token = {},
                      const QByteArray& contentType = "application/json") {
        HttpRequest r;
        r.method = method;
        r.url = service.url(path);
        r.body = body;
        if (!body.isEmpty()) r.headers.set("Content-Type", contentType);
        if (!token.isEmpty()) r.headers.set("Authorization", "Bearer " + token.toUtf8());
        return client.send(r);
    }
    HttpResponse post(const QString& path, const QJsonObject& body, const QString& token = {}) {
        return call("POST", path, QJsonDocument(body).toJson(QJsonDocument::Compact), token);
    }
    static QJsonObject json(const HttpResponse& r) {
        return QJsonDocument::fromJson(r.body).object();
    }

    DevService::Tokens login(const QString& email, const QString& password) {
        const HttpResponse r = post("/api/auth/login", {{"email", email}, {"password", password}});
        EXPECT_EQ(r.status, 200) << r.body.constData();
        return {json(r).value("access_token").toString(),
                json(r).value("refresh_token").toString()};
    }

    HttpResponse transcribe(const QString& token,
                            const QList<QPair<QByteArray, QByteArray>>& fields,
                            const QByteArray& audio, const QByteArray& fileName = "a.wav") {
        MultipartFormData form("ormil-TEST-BOUNDARY");
        if (!audio.isNull()) form.addFile("audio", fileName, "application/octet-stream", audio);
        for (const auto& [name, value] : fields) form.addField(name, value);
        return call("POST", "/transcribe", form.body(), token, form.contentType());
    }

    DevService service;
    HttpClient client{Clock::system()};
};

TEST_F(DevServiceTest, SignInExpiryRefreshAndRepeat) {
    const auto first = login(DevService::kDemoEmail, DevService::kDemoPassword);
    ASSERT_FALSE(first.access.isEmpty());
    ASSERT_FALSE(first.refresh.isEmpty());

    HttpResponse me = call("GET", "/auth/me", {}, first.access);
    ASSERT_EQ(me.status, 200);
    EXPECT_EQ(json(me).value("email").toString(), DevService::kDemoEmail);
    EXPECT_TRUE(json(me).value("id").isString());
    EXPECT_TRUE(json(me).value("subscription_tier").isString());

    service.expireTokens();
    me = call("GET", "/auth/me", {}, first.access);
    EXPECT_EQ(me.status, 401);
    EXPECT_TRUE(json(me).value("detail").isString());

    const HttpResponse refreshed = post("/api/auth/refresh", {{"refresh_token", first.refresh}});
    ASSERT_EQ(refreshed.status, 200);
    const QString access = json(refreshed).value("access_token").toString();
    const QString refresh = json(refreshed).value("refresh_token").toString();
    EXPECT_NE(access, first.access);
    EXPECT_NE(refresh, first.refresh);

    // The rotated-out refresh token is spent.
    EXPECT_EQ(post("/api/auth/refresh", {{"refresh_token", first.refresh}}).status, 401);
    EXPECT_EQ(call("GET", "/auth/me", {}, access).status, 200);
    const HttpResponse usage = call("GET", "/user/usage", {}, access);
    ASSERT_EQ(usage.status, 200);
    EXPECT_TRUE(json(usage).value("weekly_words_used").isDouble());
    EXPECT_TRUE(json(usage).value("weekly_words_limit").isDouble());

    // With the refresh tokens gone too, the session cannot be renewed.
    service.expireTokens(DevService::kDemoEmail, true);
    EXPECT_EQ(post("/api/auth/refresh", {{"refresh_token", refresh}}).status, 401);
}

TEST_F(DevServiceTest, AccountErrorsCarryADetail) {
    struct Case {
        const char* path;
        QByteArray body;
        int status;
        bool detailIsText;  // else a list, as validation errors come
    };
    const Case cases[] = {
        {"/api/auth/login", R"({"email":"demo@ormil.test","password":"wrong"})", 401, true},
        {"/api/auth/login", R"({"email":"demo@ormil.test"})", 422, false},
        {"/api/auth/login", "not json", 422, false},
        {"/api/auth/login", R"({"email":"demo@ormil.test","password":5})", 422, false},
        {"/api/auth/register",
         R"({"email":"DEMO@ormil.test","password":"x","name":"n","source_service":"ormil","language":"en"})",
         400, true},
        {"/api/auth/register", R"({"email":"new@ormil.test","password":"x","name":"n"})", 422,
         false},
        {"/api/auth/telegram/token", R"({"token":"never-issued"})", 401, true},
        {"/api/auth/refresh", R"({"refresh_token":"ref-unknown"})", 401, true},
        {"/api/auth/resend-verification", "{}", 422, false},
        {"/api/auth/password-reset/request", R"({"email":"demo@ormil.test"})", 422, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " " + c.body.toStdString());
        const HttpResponse r = call("POST", c.path, c.body);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.headers.value("content-type"), "application/json");
        const QJsonValue detail = json(r).value("detail");
        EXPECT_EQ(detail.isString(), c.detailIsText);
        EXPECT_EQ(detail.isArray(), !c.detailIsText);
    }
}

TEST_F(DevServiceTest, RegistrationAndMailRequestsAnswerWithAMessage) {
    HttpResponse r = post("/api/auth/register", {{"email", "new@ormil.test"},
                                                 {"password", "secret"},
                                                 {"name", "New"},
                                                 {"source_service", "ormil"},
                                                 {"language", "en"}});
    ASSERT_EQ(r.status, 200);
    EXPECT_FALSE(json(r).value("message").toString().isEmpty());
    const auto tokens = login("new@ormil.test", "secret");
    const QJsonObject me = json(call("GET", "/auth/me", {}, tokens.access));
    EXPECT_EQ(me.value("name").toString(), "New");

    r = post("/api/auth/resend-verification", {{"email", "new@ormil.test"}});
    EXPECT_EQ(r.status, 200);
    EXPECT_FALSE(json(r).value("message").toString().isEmpty());
    r = post("/api/auth/password-reset/request",
             {{"email", "new@ormil.test"}, {"source_service", "ormil"}});
    EXPECT_EQ(r.status, 200);
    EXPECT_FALSE(json(r).value("message").toString().isEmpty());
}

TEST_F(DevServiceTest, TelegramTokenSignsInOnce) {
    service.addTelegramToken("tg-once", DevService::kDemoEmail);
    HttpResponse r = post("/api/auth/telegram/token", {{"token", "tg-once"}});
    ASSERT_EQ(r.status, 200);
    EXPECT_EQ(call("GET", "/auth/me", {}, json(r).value("access_token").toString()).status, 200);
    EXPECT_EQ(post("/api/auth/telegram/token", {{"token", "tg-once"}}).status, 401);
}

TEST_F(DevServiceTest, AccountsMadeByTheTestHaveTheirRecords) {
    const auto tokens = service.createSignedInAccount({{"email", "pro@ormil.test"},
                                                       {"password", "p"},
                                                       {"tier", "pro"},
                                                       {"is_admin", true},
                                                       {"weekly_words_used", 12},
                                                       {"weekly_words_limit", 500}});
    const QJsonObject me = json(call("GET", "/auth/me", {}, tokens.access));
    EXPECT_EQ(me.value("subscription_tier").toString(), "pro");
    EXPECT_TRUE(me.value("is_admin").toBool());
    EXPECT_FALSE(me.contains("name"));
    const QJsonObject usage = json(call("GET", "/user/usage", {}, tokens.access));
    EXPECT_EQ(usage.value("weekly_words_used").toInteger(), 12);
    EXPECT_EQ(usage.value("weekly_words_limit").toInteger(), 500);
}

TEST_F(DevServiceTest, TranscribeSaysWhatItReceived) {
    const auto tokens = login(DevService::kDemoEmail, DevService::kDemoPassword);
    struct Case {
        QByteArray format;
        QByteArray audio;
        QByteArray translateTo;
        QString expected;
    };
    const Case cases[] = {
        {"wav", wav(1.5), "", "Stand-in transcript: wav audio, 1.5 s, language ru."},
        {"ogg", oggOpus(2.0), "", "Stand-in transcript: ogg audio, 2.0 s, language ru."},
        {"ogg", oggOpus(0.5, 0), "en",
         "Stand-in transcript: ogg audio, 0.5 s, language ru, translated to en."},
        {"m4a", QByteArray(100, 'a'), "", "Stand-in transcript: m4a audio, language ru."},
        {"wav", "RIFF-truncated", "", "Stand-in transcript: wav audio, language ru."},
    };
    qint64 used = -1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected.toStdString());
        QList<QPair<QByteArray, QByteArray>> fields{{"format", c.format},
                                                    {"language", "ru"},
                                                    {"provider", "openai"},
                                                    {"tone_style", "none"},
                                                    {"cultured_filter", "false"}};
        if (!c.translateTo.isEmpty())
            fields.append(qMakePair(QByteArray("translate_to"), c.translateTo));
        fields.append(qMakePair(QByteArray("app"), QByteArray("linux")));
        fields.append(qMakePair(QByteArray("app_version"), QByteArray("1.0.0")));
        const HttpResponse r = transcribe(tokens.access, fields, c.audio, "a." + c.format);
        ASSERT_EQ(r.status, 200) << r.body.constData();
        const QJsonObject o = json(r);
        EXPECT_TRUE(o.value("success").toBool());
        EXPECT_EQ(o.value("text").toString(), c.expected);
        EXPECT_GT(o.value("weekly_words_used").toInteger(), used);
        used = o.value("weekly_words_used").toInteger();
        EXPECT_TRUE(o.value("weekly_words_limit").isDouble());
    }
}

TEST_F(DevServiceTest, TranscribeRefusesWhatItCannotTake) {
    const auto tokens = login(DevService::kDemoEmail, DevService::kDemoPassword);
    const auto full = service.createSignedInAccount({{"email", "full@ormil.test"},
                                                     {"password", "p"},
                                                     {"weekly_words_used", 10},
                                                     {"weekly_words_limit", 10}});
    const QList<QPair<QByteArray, QByteArray>> ok{{"format", "wav"}, {"language", "ru"}};

    EXPECT_EQ(transcribe({}, ok, wav(1)).status, 401);
    service.expireTokens(DevService::kDemoEmail);
    EXPECT_EQ(transcribe(tokens.access, ok, wav(1)).status, 401);
    const QString access = login(DevService::kDemoEmail, DevService::kDemoPassword).access;

    EXPECT_EQ(transcribe(full.access, ok, wav(1)).status, 429);
    EXPECT_EQ(transcribe(access, {{"format", "wav"}}, wav(1)).status, 422);
    EXPECT_EQ(transcribe(access, ok, QByteArray()).status, 422);
    EXPECT_EQ(transcribe(access, ok, QByteArray("")).status, 400);
    EXPECT_EQ(transcribe(access, {{"format", "mp3"}, {"language", "ru"}}, wav(1)).status, 400);

    // A body that is not the multipart its header promises.
    const QByteArray form = MultipartFormData("b").body();
    EXPECT_EQ(
        call("POST", "/transcribe", form.chopped(4), access, "multipart/form-data; boundary=b")
            .status,
        400);
    EXPECT_EQ(call("POST", "/transcribe", "{}", access, "application/json").status, 400);
}

TEST_F(DevServiceTest, TextPathsAndErrorEvents) {
    const QString access = login(DevService::kDemoEmail, DevService::kDemoPassword).access;

    HttpResponse r = post("/transcribe/postprocess",
                          {{"text", " keep me "},
                           {"tone_style", "neutral"},
                           {"language", "en"},
                           {"cultured_filter", false}},
                          access);
    ASSERT_EQ(r.status, 200);
    EXPECT_EQ(json(r).value("text").toString(), " keep me ");
    EXPECT_EQ(post("/transcribe/postprocess",
                   {{"text", "x"}, {"tone_style", "neutral"}, {"language", "en"}}, access)
                  .status,
              422);

    r = post("/transcribe/translate-text",
             {{"text", "Hallo"}, {"target_language", "en"}, {"literal", true}}, access);
    ASSERT_EQ(r.status, 200);
    EXPECT_TRUE(json(r).value("success").toBool());
    EXPECT_EQ(json(r).value("text").toString(), "[en] Hallo");

    const QJsonObject event{{"ts", "2026-12-07T22:46:23Z"}, {"category", "crash"}, {"code", "X"}};
    r = post("/client-events/errors", {{"events", QJsonArray{event, event}}}, access);
    ASSERT_EQ(r.status, 200);
    EXPECT_EQ(json(r).value("accepted").toInt(), 2);
    EXPECT_EQ(post("/client-events/errors", {{"events", QJsonArray{1}}}, access).status, 422);
    EXPECT_EQ(post("/client-events/errors", {{"event", QJsonArray{}}}, access).status, 422);
    EXPECT_EQ(post("/client-events/errors", {{"events", QJsonArray{}}}).status, 401);

    for (const char* path : {"/transcribe/postprocess", "/transcribe/translate-text"})
        EXPECT_EQ(post(path, {}).status, 401) << path;
    EXPECT_EQ(call("GET", "/api/download/version").status, 200);
}

TEST_F(DevServiceTest, QueuedAnswersReplaceOneRequestEach) {
    DevService::Answer unavailable;
    unavailable.status = 503;
    unavailable.json = QJsonObject{{"detail", "down"}};
    unavailable.method = "GET";
    unavailable.count = 2;
    service.queue("/api/download/version", unavailable);
    DevService::Answer forPost;
    forPost.status = 500;
    forPost.method = "POST";
    service.queue("/api/auth/login", forPost);

    for (int i = 0; i < 2; ++i) {
        const HttpResponse r = call("GET", "/api/download/version");
        EXPECT_EQ(r.status, 503);
        EXPECT_EQ(json(r).value("detail").toString(), "down");
        EXPECT_EQ(r.headers.value("Content-Type"), "application/json");
    }
    EXPECT_EQ(call("GET", "/api/download/version").status, 200);
    EXPECT_EQ(post("/api/auth/login", {}).status, 500);
    EXPECT_EQ(post("/api/auth/login", {}).status, 422);

    // Everything but test control is on the record, in order.
    const auto got = service.requests();
    ASSERT_EQ(got.size(), 5);
    EXPECT_EQ(got[3].method, "POST");
    EXPECT_EQ(got[3].path, "/api/auth/login");
}

TEST_F(DevServiceTest, UnknownPathsAndMethods) {
    EXPECT_EQ(call("GET", "/no/such/path").status, 404);
    EXPECT_EQ(call("GET", "/api/auth/login").status, 405);
    EXPECT_EQ(call("DELETE", "/auth/me").status, 405);
}

}  // namespace

TEST(DevServiceCommandLineTest, RefusesBadArgumentsAndATakenPort) {
    DevService running;
    struct Case {
        QStringList args;
        int exitCode;
    };
    const Case cases[] = {
        {{"--port", "abc"}, 2},
        {{"--port", "70000"}, 2},
        {{"--port"}, 2},
        {{"--verbose"}, 2},
        {{"--port", QString::number(running.port())}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        int exitCode = -1;
        testsupport::runProgram(ORMIL_DEVSERVICE_PATH, c.args, &exitCode);
        EXPECT_EQ(exitCode, c.exitCode);
    }
}
