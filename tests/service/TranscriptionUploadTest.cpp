// The multipart upload: its exact bytes, what each status means, the one
// refresh on 401, the retries of a dropped connection, the word counters,
// and the choice between one upload and the windowed one.
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include "audio/AudioFormat.h"
#include "TranscriptionTestFixture.h"
#include "core/L10n.h"
#include "platform/DebugLog.h"

namespace {

using testsupport::waitUntil;

class TranscriptionUploadTest : public TranscriptionTestFixture {
protected:
    // transcribe() of a payload sent as it is; the error, if one is thrown.
    struct Outcome {
        std::optional<QString> text;
        std::optional<TranscriptionError> error;
    };
    Outcome send(const QByteArray& audio = "OggS-payload", const QString& format = "ogg",
                 const std::optional<QString>& translateTo = std::nullopt,
                 const QString& tone = "none") {
        auto f = inBackground([&]() -> Outcome {
            try {
                return {client().transcribe(audio, "ru", "openai", tone, format, translateTo),
                        std::nullopt};
            } catch (const TranscriptionError& e) {
                return {std::nullopt, e};
            }
        });
        return await(f);
    }
};

QByteArray golden(const QList<QPair<QByteArray, QByteArray>>& fields, const QByteArray& audio,
                  const QByteArray& format) {
    const QByteArray b = "--ormil-00000000-1111-2222-3333-444444444444";
    QByteArray out = b + "\r\n" + "Content-Disposition: form-data; name=\"audio\"; filename=\"a." +
                     format + "\"\r\nContent-Type: application/octet-stream\r\n\r\n" + audio +
                     "\r\n";
    for (const auto& [name, value] : fields)
        out += b + "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value +
               "\r\n";
    return out + b + "--\r\n";
}

TEST_F(TranscriptionUploadTest, MultipartBodyIsExactWithAndWithoutOptionalFields) {
    const QByteArray version = TranscriptionService::appVersion().toUtf8();
    ASSERT_FALSE(version.isEmpty());
    struct Case {
        const char* name;
        bool profanity;
        QString override;
        std::optional<QString> translateTo;
        QList<QPair<QByteArray, QByteArray>> fields;
    };
    // No optional field: the same with no translation target and with an empty one.
    const QList<QPair<QByteArray, QByteArray>> bare = {
        {"format", "ogg"},        {"language", "ru"},           {"provider", "openai"},
        {"tone_style", "formal"}, {"cultured_filter", "false"}, {"app", "linux"},
        {"app_version", version}};
    const Case cases[] = {
        {"all optional fields",
         true,
         "Write like a pirate",
         "en",
         {{"format", "ogg"},
          {"language", "ru"},
          {"provider", "openai"},
          {"tone_style", "formal"},
          {"cultured_filter", "true"},
          {"custom_prompt", "Write like a pirate"},
          {"translate_to", "en"},
          {"app", "linux"},
          {"app_version", version}}},
        {"none", false, "", std::nullopt, bare},
        {"empty translation target", false, "", "", bare},
    };
    // Binary audio with CR LF and dashes inside goes through untouched.
    const QByteArray audio = QByteArray("OggS\r\n--\0\xff", 10);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        service.reset();
        SetUp();
        settings.set("replaceProfanity", c.profanity);
        toneOverrides["formal"] = c.override;
        answerText("ok");
        const Outcome out = send(audio, "ogg", c.translateTo, "formal");
        ASSERT_EQ(out.text, "ok");
        const auto got = service.requests("/transcribe");
        ASSERT_EQ(got.size(), 1);
        EXPECT_EQ(got[0].body, golden(c.fields, audio, "ogg"));
        EXPECT_EQ(got[0].headers.value("Content-Type"),
                  "multipart/form-data; boundary=ormil-00000000-1111-2222-3333-444444444444");
        EXPECT_EQ(got[0].headers.value("Authorization"), "Bearer " + accessToken.toUtf8());
    }
}

TEST_F(TranscriptionUploadTest, WithoutATokenNoAuthorizationIsSent) {
    accessToken.clear();
    refresh = [] {
        return std::optional(TranscriptionService::Auth::Failure{true, "No refresh token"});
    };
    const Outcome out = send();
    ASSERT_TRUE(out.error);
    EXPECT_EQ(out.error->kind(), TranscriptionError::Kind::sessionExpired);
    const auto got = service.requests("/transcribe");
    ASSERT_EQ(got.size(), 1);
    EXPECT_FALSE(got[0].headers.contains("Authorization"));
}

TEST_F(TranscriptionUploadTest, EachStatusHasItsOutcome) {
    using K = TranscriptionError::Kind;
    struct Case {
        const char* name;
        int status;
        QByteArray body;
        std::optional<QString> text;  // expected text, or:
        K kind;
        QString description;
    };
    const Case cases[] = {
        {"200 with text", 200, R"({"success":true,"text":"привет","extra":1})", "привет", {}, {}},
        {"200 empty text", 200, R"({"success":true,"text":""})", "", {}, {}},
        {"200 no text", 200, R"({"success":true})", {}, K::serverError, "Transcription failed"},
        {"200 failure message",
         200,
         R"({"success":false,"error":"Audio too noisy"})",
         {},
         K::serverError,
         "Audio too noisy"},
        {"200 not JSON", 200, "<html>", {}, K::networkError, {}},
        {"200 wrong type", 200, R"({"success":"yes","text":"x"})", {}, K::networkError, {}},
        {"200 fractional counter",
         200,
         R"({"success":true,"text":"x","word_count":1.5})",
         {},
         K::networkError,
         {}},
        {"429",
         429,
         R"({"detail":"limit"})",
         {},
         K::wordLimitReached,
         "Weekly word limit reached."},
        {"500", 500, "oops", {}, K::serverError, "HTTP 500: oops"},
        {"201 is a failure too", 201, "made", {}, K::serverError, "HTTP 201: made"},
        {"empty body", 503, "", {}, K::serverError, "HTTP 503: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DevService::Answer a;
        a.status = c.status;
        a.body = c.body;
        service.queue("/transcribe", a);
        const Outcome out = send();
        if (c.text) {
            EXPECT_EQ(out.text, *c.text);
            continue;
        }
        ASSERT_TRUE(out.error);
        EXPECT_EQ(out.error->kind(), c.kind);
        if (c.kind == K::networkError)
            EXPECT_TRUE(out.error->errorDescription().startsWith("Network error: "));
        else
            EXPECT_EQ(out.error->errorDescription(), c.description);
    }
    // None of these was a dropped connection: one request each.
    EXPECT_EQ(service.requests("/transcribe").size(), int(std::size(cases)));
    EXPECT_TRUE(clock.sleeps().empty());
}

TEST_F(TranscriptionUploadTest, LogLinesCutTextsByCharacters) {
    // Each thumb with its skin tone is one character of four code units.
    const QString thumb = QString::fromUtf8("👍🏽");
    const QString text = thumb.repeated(600);
    const QString body = QStringLiteral(R"({"success":true,"text":")") + text + "\"}";
    DevService::Answer a;
    a.status = 200;
    a.body = body.toUtf8();
    service.queue("/transcribe", a);
    DebugLog::truncate();
    EXPECT_EQ(send().text, text);
    const QString log = testsupport::debugLogText();
    const QString head = QStringLiteral(R"({"success":true,"text":")");
    EXPECT_TRUE(log.contains("] [Transcription] Response body: " + head +
                             thumb.repeated(500 - int(head.size())) + "\n"));
    EXPECT_TRUE(log.contains("] [Transcription] Success: " + thumb.repeated(80) + "\n"));
}

TEST_F(TranscriptionUploadTest, A401RefreshesOnceAndSendsOnce) {
    using K = TranscriptionError::Kind;
    using Failure = TranscriptionService::Auth::Failure;
    struct Case {
        const char* name;
        std::optional<Failure> refreshFails;  // nothing: refresh at the service
        bool secondAlso401;
        int requests;
        std::optional<K> kind;  // nothing: success
    };
    const Case cases[] = {
        {"refreshed and resent", std::nullopt, false, 2, std::nullopt},
        {"401 again after the refresh", std::nullopt, true, 2, K::sessionExpired},
        {"refresh rejected", Failure{true, "rejected"}, false, 1, K::sessionExpired},
        {"refresh failed for now", Failure{false, "offline"}, false, 1, K::networkError},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        service.reset();
        SetUp();
        refreshCalls = 0;
        if (c.refreshFails)
            refresh = [f = *c.refreshFails] { return std::optional<Failure>(f); };
        else
            refresh = nullptr;
        // The token stops working at the service: the first send meets 401.
        service.expireTokens(kEmail);
        if (c.secondAlso401) answer("/transcribe", 401, QJsonObject{{"detail", "no"}}, 2);
        const Outcome out = send();
        EXPECT_EQ(refreshCalls, 1);
        const auto got = service.requests("/transcribe");
        EXPECT_EQ(got.size(), c.requests);
        if (!c.kind) {
            ASSERT_TRUE(out.text);
            EXPECT_TRUE(out.text->startsWith("Stand-in transcript"));
            // The resend carries the new token.
            EXPECT_EQ(got.last().headers.value("Authorization"), "Bearer " + accessToken.toUtf8());
        } else {
            ASSERT_TRUE(out.error);
            EXPECT_EQ(out.error->kind(), *c.kind);
        }
        if (c.kind == K::networkError) {
            EXPECT_EQ(out.error->errorDescription(), "Network error: offline");
        }
    }
}

TEST_F(TranscriptionUploadTest, DroppedConnectionsAreRetriedAfterGrowingPauses) {
    DevService::Answer drop;
    drop.drop = true;
    struct Case {
        const char* name;
        int drops;
        int requests;
        std::vector<double> pauses;
        bool succeeds;
    };
    const Case cases[] = {
        {"one drop", 1, 2, {1.5}, true},
        {"two drops", 2, 3, {1.5, 3.0}, true},
        {"three drops", 3, 3, {1.5, 3.0}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        service.reset();
        SetUp();
        const auto before = clock.sleeps().size();
        drop.count = c.drops;
        service.queue("/transcribe", drop);
        const Outcome out = send();
        EXPECT_EQ(service.requests("/transcribe").size(), c.requests);
        const auto sleeps = clock.sleeps();
        EXPECT_EQ(std::vector<double>(sleeps.begin() + qsizetype(before), sleeps.end()), c.pauses);
        if (c.succeeds) {
            EXPECT_TRUE(out.text);
        } else {
            ASSERT_TRUE(out.error);
            EXPECT_EQ(out.error->kind(), TranscriptionError::Kind::networkError);
            EXPECT_EQ(out.error->errorDescription(),
                      "Network error: " + HttpError(HttpErrorKind::connectionLost).description());
        }
    }
    service.release();
}

TEST_F(TranscriptionUploadTest, AFailureThatIsNotADroppedConnectionIsNotRetried) {
    // A server that answers with something that is not HTTP at all.
    QTcpServer garbage;
    ASSERT_TRUE(garbage.listen(QHostAddress::LocalHost));
    int connections = 0;
    QObject::connect(&garbage, &QTcpServer::newConnection, [&] {
        while (QTcpSocket* s = garbage.nextPendingConnection()) {
            ++connections;
            QObject::connect(s, &QTcpSocket::readyRead, s, [s] {
                s->readAll();
                s->write("SPEAK FRIEND AND ENTER\r\n\r\n");
                s->disconnectFromHost();
            });
        }
    });
    apiBase = QStringLiteral("http://127.0.0.1:%1").arg(garbage.serverPort());
    auto f = inBackground([&]() -> std::optional<TranscriptionError> {
        try {
            client().transcribe("OggS", "ru", "openai", "none", "ogg", std::nullopt);
        } catch (const TranscriptionError& e) {
            return e;
        }
        return std::nullopt;
    });
    const auto error = await(f);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), TranscriptionError::Kind::networkError);
    EXPECT_EQ(connections, 1);
    EXPECT_TRUE(clock.sleeps().empty());
}

TEST_F(TranscriptionUploadTest, AnUnusableEndpointFailsBeforeAnyRequest) {
    apiBase = "not a url";
    const Outcome out = send();
    ASSERT_TRUE(out.error);
    EXPECT_EQ(out.error->kind(), TranscriptionError::Kind::invalidURL);
    EXPECT_EQ(out.error->errorDescription(), "Invalid API URL");
}

TEST_F(TranscriptionUploadTest, WordCountersArePublishedOnTheMainThreadOnlyWhenBothCome) {
    appState.setWordsUsed(7);
    appState.setWordsLimit(100);
    bool onMain = false;
    QObject::connect(&appState, &AppState::wordsUsedChanged,
                     [&] { onMain = QThread::currentThread() == qApp->thread(); });

    answer("/transcribe", 200,
           QJsonObject{{"success", true}, {"text", "a"}, {"weekly_words_used", 42}});
    ASSERT_TRUE(send().text);
    testsupport::processEvents(50);
    EXPECT_EQ(appState.wordsUsed(), 7);
    EXPECT_EQ(appState.wordsLimit(), 100);

    answer("/transcribe", 200,
           QJsonObject{{"success", true},
                       {"text", "a"},
                       {"weekly_words_used", 42},
                       {"weekly_words_limit", 5000}});
    ASSERT_TRUE(send().text);
    EXPECT_TRUE(waitUntil([&] { return appState.wordsUsed() == 42; }));
    EXPECT_EQ(appState.wordsLimit(), 5000);
    EXPECT_TRUE(onMain);
}

TEST_F(TranscriptionUploadTest, EntryChoosesOneUploadOrWindowsByTheDataSize) {
    using Encoded = std::optional<QByteArray>;
    struct Case {
        const char* name;
        QByteArray audio;
        QString format;
        Encoded opus;  // what the Opus encoder gives
        Encoded aac;
        int requests;
        QByteArray sentFormat;
        std::optional<QByteArray> sentAudio;  // nothing: do not compare
    };
    const QByteArray justBelow = wavWithDataBytes(1951999);
    const QByteArray threshold = wavWithDataBytes(1952000);
    const QByteArray noData("RIFF\0\0\0\0WAVEfmt \0\0\0\0", 20);
    const Case cases[] = {
        {"just below the threshold", justBelow, "wav", "OggS1", {}, 1, "ogg", "OggS1"},
        {"at the threshold", threshold, "wav", "OggS2", {}, 2, "ogg", "OggS2"},
        {"no data chunk", noData, "wav", "OggS3", {}, 1, "ogg", "OggS3"},
        {"AAC when Opus fails", justBelow, "wav", {}, "ftypM4A", 1, "m4a", "ftypM4A"},
        {"WAV when both fail", justBelow, "wav", {}, {}, 1, "wav", justBelow},
        {"ogg as it is", threshold, "ogg", "never", {}, 1, "ogg", threshold},
        {"m4a as it is", threshold, "m4a", "never", {}, 1, "m4a", threshold},
        {"WAV upper case as it is", threshold, "WAV", "never", {}, 1, "WAV", threshold},
    };
    ASSERT_EQ(AudioFormat::parseDataChunk(justBelow)->size, 1951999);
    ASSERT_EQ(AudioFormat::parseDataChunk(threshold)->size, 1952000);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        service.reset();
        SetUp();
        encoders.opus = [o = c.opus](const QString&, int) { return o; };
        encoders.aac = [a = c.aac](const QString&, const QString&) { return a; };
        rebuildClient();
        answerText("Same", c.requests);
        auto f = inBackground([&] {
            return client().transcribe(c.audio, "ru", "openai", "none", c.format, std::nullopt);
        });
        EXPECT_TRUE(await(f).startsWith("Same"));
        const auto got = service.requests("/transcribe");
        ASSERT_EQ(got.size(), c.requests);
        for (const auto& r : got) {
            EXPECT_EQ(field(r.body, "format"), c.sentFormat);
            if (c.sentAudio) {
                EXPECT_EQ(field(r.body, "audio"), *c.sentAudio);
            }
        }
    }
}

}  // namespace

namespace {

TEST_F(TranscriptionUploadTest, WarmUpOpensAConnectionAndOnlyLogs) {
    EXPECT_EQ(TranscriptionService::appVersion(), "1.0.0");
    client().warmUpConnection();
    ASSERT_TRUE(testsupport::waitUntil([&] {
        return testsupport::debugLogText().contains("[Transcription] Прогрев соединения: готово");
    }));
    const auto got = service.requests("/api/download/version");
    ASSERT_EQ(got.size(), 1);
    EXPECT_EQ(got[0].method, "GET");
    EXPECT_FALSE(got[0].headers.contains("Authorization"));

    // Nobody listens: the failure is logged, nothing else happens.
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    apiBase = QStringLiteral("http://127.0.0.1:%1").arg(probe.serverPort());
    probe.close();
    client().warmUpConnection();
    EXPECT_TRUE(testsupport::waitUntil([&] {
        return testsupport::debugLogText().contains(
            "[Transcription] Прогрев соединения: не удался (" +
            HttpError(HttpErrorKind::cannotConnect).description() + ")");
    }));
    // An address that is no URL does nothing at all.
    apiBase = "no url";
    client().warmUpConnection();
}

}  // namespace
