// Windows uploaded while a recording runs and joined when it ends.
#include "audio/AudioFormat.h"
#include "TranscriptionTestFixture.h"

namespace {

using testsupport::waitUntil;

class StreamingWindowsTest : public TranscriptionTestFixture {
public:
    void SetUp() override {
        TranscriptionTestFixture::SetUp();
        encoders.opus = [this](const QString& path, int) { return gate.encode(path); };
    }
    void TearDown() override {
        gate.openAll();
        TranscriptionTestFixture::TearDown();
    }

    // Window k of a recording: its first sample tells its number.
    static QByteArray window(int k) {
        const QByteArray all = wavOfSamples((k + 1) * TranscriptionService::stepSamples);
        return AudioFormat::createWAVChunk(all, 44, k * TranscriptionService::stepSamples,
                                                    32000);
    }
    // Lets window k upload with the given answer and waits until it was sent.
    void serve(int k, const QString& text) {
        const int before = service.requests("/transcribe").size();
        answerText(text);
        gate.open(k);
        ASSERT_TRUE(
            waitUntil([&] { return service.requests("/transcribe").size() == before + 1; }));
    }
    std::future<std::optional<QString>> finishInBackground(const QString& tone = "none") {
        return inBackground([this, tone] { return client().finishStreaming(tone, "ru"); });
    }

    GatedEncoder gate;
};

TEST_F(StreamingWindowsTest, WindowsJoinInOrderWithTheToneAppliedOnce) {
    client().beginStreaming();
    for (int k = 0; k < 3; ++k) client().streamWindow(window(k), k, "ru", "openai", QString("en"));
    // The last window is handed over just before the recording ends; the
    // join still waits for it.
    auto joined = finishInBackground("formal");
    serve(2, "gamma delta");
    serve(0, "alpha one two three four");
    serve(1, "One two three four beta");
    // The stand-in's post-processing gives the text back as it came.
    EXPECT_EQ(await(joined), "Alpha one two three four beta gamma delta");

    const auto uploads = service.requests("/transcribe");
    ASSERT_EQ(uploads.size(), 3);
    for (const auto& r : uploads) {
        EXPECT_EQ(field(r.body, "tone_style"), "none");
        // The recording's translation target travels with every window.
        EXPECT_EQ(field(r.body, "translate_to"), "en");
    }
    ASSERT_EQ(service.requests("/transcribe/postprocess").size(), 1);
    // The session is closed: nothing more to join.
    EXPECT_FALSE(client().finishStreaming("formal", "ru"));
}

TEST_F(StreamingWindowsTest, AFailedOrMissingWindowGivesNothingSoTheWholeRecordingIsSent) {
    struct Case {
        const char* name;
        std::vector<int> windows;
        int failing;  // -1: none fails
    };
    const Case cases[] = {
        {"the middle window fails after its retries", {0, 1, 2}, 1},
        {"the first window fails", {0, 1}, 0},
        {"a window never came", {0, 2}, -1},
        {"the first window never came", {1, 2}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        service.reset();
        SetUp();
        gate.reset();
        client().beginStreaming();
        for (int k : c.windows) client().streamWindow(window(k), k, "ru", "openai", std::nullopt);
        auto joined = finishInBackground();
        for (int k : c.windows) {
            if (k == c.failing) {
                DevService::Answer down;
                down.status = 503;
                down.count = 3;
                service.queue("/transcribe", down);
                const int before = service.requests("/transcribe").size();
                gate.open(k);
                ASSERT_TRUE(waitUntil(
                    [&] { return service.requests("/transcribe").size() == before + 3; }));
            } else {
                serve(k, QStringLiteral("window %1").arg(k));
            }
        }
        EXPECT_EQ(await(joined), std::nullopt);
        gate.openAll();
    }
}

TEST_F(StreamingWindowsTest, NothingToJoin) {
    gate.openAll();
    // No session: windows are not sent and there is nothing to finish.
    client().streamWindow(window(0), 0, "ru", "openai", std::nullopt);
    EXPECT_FALSE(client().finishStreaming("none", "ru"));
    EXPECT_TRUE(service.requests("/transcribe").isEmpty());

    // A session without windows.
    client().beginStreaming();
    EXPECT_FALSE(client().finishStreaming("none", "ru"));

    // Blank window texts, even with a tone: nothing, and no tone request.
    client().beginStreaming();
    answerText(" \n ");
    client().streamWindow(window(0), 0, "ru", "openai", std::nullopt);
    auto blank = finishInBackground("formal");
    EXPECT_EQ(await(blank), std::nullopt);
    EXPECT_TRUE(service.requests("/transcribe/postprocess").isEmpty());

    // Tone "none": the joined text without post-processing.
    client().beginStreaming();
    answerText("just words");
    client().streamWindow(window(0), 0, "ru", "openai", std::nullopt);
    auto plain = finishInBackground("none");
    EXPECT_EQ(await(plain), "Just words");
    EXPECT_TRUE(service.requests("/transcribe/postprocess").isEmpty());
}

TEST_F(StreamingWindowsTest, ANewSessionDropsTheWindowsOfTheOldOne) {
    client().beginStreaming();
    client().streamWindow(window(0), 0, "ru", "openai", std::nullopt);
    client().beginStreaming();
    client().streamWindow(window(1), 0, "ru", "openai", std::nullopt);
    auto joined = finishInBackground();
    // Only the new session's window is waited for.
    serve(1, "new words");
    EXPECT_EQ(await(joined), "New words");
}

}  // namespace
