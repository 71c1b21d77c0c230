// A long recording uploaded in overlapping windows: the split, the sliding
// window of eight uploads, the order of the join, the failure of one window,
// and the one tone request.
#include "audio/AudioFormat.h"
#include "TranscriptionTestFixture.h"
#include "core/L10n.h"

namespace {

using testsupport::waitUntil;

class ChunkedUploadTest : public TranscriptionTestFixture {
protected:
    void SetUp() override {
        TranscriptionTestFixture::SetUp();
        encoders.opus = [this](const QString& path, int) { return gate.encode(path); };
    }
    // Total samples that make n (at least 2) windows.
    static qint64 samplesFor(int windows) {
        return (windows - 2) * TranscriptionService::stepSamples +
               TranscriptionService::windowSamples + 100000;
    }
    // Declared after a call's future: when a check fails half-way, lets
    // everything go before the future waits for the call.
    struct Unblock {
        ChunkedUploadTest* t;
        ~Unblock() {
            t->gate.openAll();
            t->service.release();
        }
    };
    std::future<QString> transcribeInBackground(qint64 samples, const QString& tone = "none",
                                                const std::optional<QString>& translateTo = {}) {
        const QByteArray wav = wavOfSamples(samples);
        return inBackground([this, wav, tone, translateTo] {
            return client().transcribe(wav, "ru", "openai", tone, "wav", translateTo);
        });
    }

    GatedEncoder gate;
};

TEST_F(ChunkedUploadTest, SplitTable) {
    using Range = std::pair<qint64, qint64>;
    struct Case {
        qint64 samples;
        std::vector<Range> windows;  // empty: only the count and the last are checked
        int count;
        Range last;
    };
    const Case cases[] = {
        {976000, {{0, 960000}, {768000, 976000}}, 2, {768000, 976000}},
        {1728000, {{0, 960000}, {768000, 1728000}}, 2, {768000, 1728000}},
        {1728001, {{0, 960000}, {768000, 1728000}, {1536000, 1728001}}, 3, {1536000, 1728001}},
        {24000000, {}, 31, {23040000, 24000000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.samples);
        const QByteArray wav = wavOfSamples(c.samples);
        const auto windows = TranscriptionService::splitWAVIntoChunks(wav, 44, c.samples * 2);
        ASSERT_EQ(int(windows.size()), c.count);
        for (size_t k = 0; k < windows.size(); ++k) {
            const auto chunk = AudioFormat::parseDataChunk(windows[k]);
            ASSERT_TRUE(chunk);
            const qint64 start = qint64(k) * TranscriptionService::stepSamples;
            const Range range{start, start + chunk->size / 2};
            if (!c.windows.empty()) {
                EXPECT_EQ(range, c.windows[k]);
            }
            if (k + 1 == windows.size()) {
                EXPECT_EQ(range, c.last);
            }
            // The window's own audio, from its first sample on.
            EXPECT_EQ(windowOf(windows[k]), int(k));
        }
    }
    // Less than one sample, and an odd last byte.
    EXPECT_TRUE(TranscriptionService::splitWAVIntoChunks(wavOfSamples(1), 44, 1).empty());
    const auto odd = TranscriptionService::splitWAVIntoChunks(wavOfSamples(5) + "x", 44, 11);
    ASSERT_EQ(odd.size(), 1u);
    EXPECT_EQ(AudioFormat::parseDataChunk(odd[0])->size, 10);
}

TEST_F(ChunkedUploadTest, AtMostEightUploadsAndSixConnectionsAtATime) {
    auto call = transcribeInBackground(samplesFor(10), "formal", QString("de"));
    Unblock unblock{this};
    ASSERT_TRUE(waitUntil([&] { return gate.active() == 8; }));
    testsupport::processEvents(100);
    auto entered = gate.entered();
    std::sort(entered.begin(), entered.end());
    EXPECT_EQ(entered, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));

    // A sliding window: the ninth starts as soon as any one ends.
    gate.open(5);
    ASSERT_TRUE(waitUntil([&] { return gate.entered().size() == 9; }));
    EXPECT_EQ(gate.entered().back(), 8);
    gate.open(2);
    ASSERT_TRUE(waitUntil([&] { return gate.entered().size() == 10; }));
    EXPECT_EQ(gate.entered().back(), 9);

    // The eight left share six connections to the service.
    service.hold("/transcribe");
    gate.openAll();
    ASSERT_TRUE(waitUntil([&] { return service.inFlight() == 6; }));
    testsupport::processEvents(100);
    service.release("/transcribe");
    const QString text = await(call);
    EXPECT_TRUE(text.startsWith("Stand-in transcript"));
    EXPECT_EQ(gate.maxActive(), 8);
    EXPECT_EQ(service.maxInFlight(), 6);

    const auto uploads = service.requests("/transcribe");
    ASSERT_EQ(uploads.size(), 10);
    for (const auto& r : uploads) {
        EXPECT_EQ(field(r.body, "tone_style"), "none");
        EXPECT_EQ(field(r.body, "translate_to"), "de");
        EXPECT_EQ(field(r.body, "format"), "ogg");
    }
    // The tone is applied once, to the whole text.
    const auto tone = service.requests("/transcribe/postprocess");
    ASSERT_EQ(tone.size(), 1);
    EXPECT_EQ(QJsonDocument::fromJson(tone[0].body).object().value("tone_style").toString(),
              "formal");
}

TEST_F(ChunkedUploadTest, TextsJoinInWindowOrderWhateverTheOrderOfArrival) {
    auto call = transcribeInBackground(samplesFor(8));
    Unblock unblock{this};
    ASSERT_TRUE(waitUntil([&] { return gate.active() == 8; }));
    // Later windows answer first; window 3 after window 7 among them.
    const int arrival[] = {7, 3, 6, 5, 4, 2, 0, 1};
    int answered = 0;
    for (int k : arrival) {
        answerText(QStringLiteral("w%1a w%1b").arg(k));
        gate.open(k);
        ++answered;
        ASSERT_TRUE(waitUntil([&] { return service.requests("/transcribe").size() == answered; }));
    }
    EXPECT_EQ(await(call), "W0a w0b w1a w1b w2a w2b w3a w3b w4a w4b w5a w5b w6a w6b w7a w7b");
}

TEST_F(ChunkedUploadTest, OneFailedWindowFailsTheCallAfterTheOthersEnd) {
    auto call = transcribeInBackground(samplesFor(8), "formal");
    Unblock unblock{this};
    ASSERT_TRUE(waitUntil([&] { return gate.active() == 8; }));
    DevService::Answer down;
    down.status = 500;
    down.body = "down";
    down.count = 3;
    service.queue("/transcribe", down);
    gate.open(5);
    // Window 5 makes its three attempts, pausing 0.5 s and 1 s between them.
    ASSERT_TRUE(waitUntil([&] { return service.requests("/transcribe").size() == 3; }));
    ASSERT_TRUE(waitUntil([&] { return gate.active() == 7; }));
    testsupport::processEvents(100);
    // The others are still running: the call waits for them.
    EXPECT_FALSE(finished(call));
    gate.openAll();
    ASSERT_TRUE(waitUntil([&] { return finished(call); }));
    try {
        call.get();
        ADD_FAILURE() << "the call succeeded";
    } catch (const TranscriptionError& e) {
        EXPECT_EQ(e.errorDescription(), "HTTP 500: down");
    }
    // The cancelled windows sent nothing; no tone request and no ninth window.
    EXPECT_EQ(service.requests("/transcribe").size(), 3);
    EXPECT_TRUE(service.requests("/transcribe/postprocess").isEmpty());
    EXPECT_EQ(gate.entered().size(), 8u);
    EXPECT_EQ(clock.sleeps(), (std::vector<double>{0.5, 1.0}));
}

TEST_F(ChunkedUploadTest, ToneIsAppliedOnceAndNeverFailsTheCall) {
    struct Case {
        const char* name;
        QString tone;
        std::optional<DevService::Answer> toneAnswer;  // nothing: the stand-in's echo
        int toneRequests;
        QString result;
    };
    DevService::Answer reworked;
    reworked.json = QJsonObject{{"text", "  Reworked.  "}};
    DevService::Answer blank;
    blank.json = QJsonObject{{"text", " \n"}};
    DevService::Answer dropped;
    dropped.drop = true;
    DevService::Answer refused;
    refused.status = 500;
    const Case cases[] = {
        {"no tone", "none", std::nullopt, 0, "Alpha beta"},
        {"empty tone", "", std::nullopt, 0, "Alpha beta"},
        {"reworked, as received", "formal", reworked, 1, "  Reworked.  "},
        {"blank answer keeps the joined text", "formal", blank, 1, "Alpha beta"},
        {"dropped connection keeps the joined text", "formal", dropped, 1, "Alpha beta"},
        {"refusal keeps the joined text", "formal", refused, 1, "Alpha beta"},
    };
    toneOverrides["formal"] = "My own formal prompt";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        service.reset();
        SetUp();
        gate.reset();
        if (c.toneAnswer) service.queue("/transcribe/postprocess", *c.toneAnswer);
        const int before = service.requests("/transcribe").size();
        auto call = transcribeInBackground(samplesFor(2), c.tone);
        Unblock unblock{this};
        // The two windows answer one after the other.
        answerText("alpha");
        gate.open(0);
        ASSERT_TRUE(
            waitUntil([&] { return service.requests("/transcribe").size() == before + 1; }));
        answerText("beta");
        gate.open(1);
        EXPECT_EQ(await(call), c.result);
        const auto tone = service.requests("/transcribe/postprocess");
        ASSERT_EQ(tone.size(), c.toneRequests);
        if (c.toneRequests) {
            const QJsonObject body = QJsonDocument::fromJson(tone[0].body).object();
            EXPECT_EQ(body.value("text").toString(), "Alpha beta");
            EXPECT_EQ(body.value("custom_prompt").toString(), "My own formal prompt");
            EXPECT_EQ(body.value("cultured_filter"), QJsonValue(false));
            EXPECT_FALSE(body.contains("same_language"));
        }
    }
}

TEST_F(ChunkedUploadTest, NoSpeechInAnyWindowIsAnErrorEvenWithATone) {
    gate.openAll();
    settings.set("interfaceLanguage", "en");
    answerText(" ", 2);
    auto call = transcribeInBackground(samplesFor(2), "formal");
    ASSERT_TRUE(waitUntil([&] { return finished(call); }));
    try {
        call.get();
        ADD_FAILURE() << "the call succeeded";
    } catch (const TranscriptionError& e) {
        EXPECT_EQ(e.kind(), TranscriptionError::Kind::serverError);
        EXPECT_EQ(e.errorDescription(), L10n::errorNoSpeechDetected());
        EXPECT_FALSE(e.errorDescription().isEmpty());
    }
    EXPECT_TRUE(service.requests("/transcribe/postprocess").isEmpty());
}

}  // namespace
