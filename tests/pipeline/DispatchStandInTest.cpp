#include "DispatchTestFixture.h"
#include "service/TranscriptionService.h"
#include "support/DevService.h"

using namespace dispatchtest;

namespace {

// The dispatch against the real transcription client and the local stand-in
// of the speech service on loopback.
class DispatchStandIn : public DispatchFixture {
protected:
    void SetUp() override {
        token = service
                    .createSignedInAccount(
                        {{"email", "dictation@ormil.test"}, {"password", "secret-123"}})
                    .access;
        TranscriptionService::Collaborators tc;
        tc.clock = &clock;
        tc.overlay = &overlay;
        tc.appState = &app;
        tc.apiBase = [this] { return service.baseUrl(); };
        tc.auth.accessToken = [this] { return std::optional<QString>(token); };
        client = std::make_unique<TranscriptionService>(settings, std::move(tc));
        DispatchFixture::SetUp();
    }

    void TearDown() override {
        DispatchFixture::TearDown();
        client.reset();
    }

    void customize(AudioRecorderService::Collaborators& c) override {
        TranscriptionService* t = client.get();
        c.beginStreaming = [t] { t->beginStreaming(); };
        c.streamWindow = [t](const QByteArray& wav, int index, const QString& language,
                             const QString& provider, const std::optional<QString>& to) {
            t->streamWindow(wav, index, language, provider, to);
        };
        c.finishStreaming = [t](const QString& tone, const QString& language) {
            return t->finishStreaming(tone, language);
        };
        c.transcribe = [t](const QByteArray& audio, const QString& language,
                           const QString& provider, const QString& tone, const QString& format,
                           const std::optional<QString>& to) {
            return t->transcribe(audio, language, provider, tone, format, to);
        };
        c.encodeOpus = {};
        c.encodeAAC = {};
    }

    DevService service;
    QString token;
    std::unique_ptr<TranscriptionService> client;
};

TEST_F(DispatchStandIn, ShortDictationGoesUpAsTheLiveStream) {
    start();
    recordFor(3, 9000);
    recorder->stopRecording();
    settle();
    const auto uploads = service.requests("/transcribe");
    ASSERT_EQ(uploads.size(), 1);
    EXPECT_EQ(uploads[0].formField("format"), "ogg");
    ASSERT_EQ(history.size(), 1u);
    EXPECT_TRUE(history[0].text.startsWith("Stand-in transcript: ogg audio, 3.0 s"))
        << history[0].text.toStdString();
    EXPECT_EQ(inserted.size(), 1u);
    EXPECT_EQ(overlay.current, OverlayState::success);
}

TEST_F(DispatchStandIn, ServerErrorLeavesOneRetryEntryAndOneReport) {
    DevService::Answer failure;
    failure.status = 500;
    failure.body = "upstream down";
    failure.count = 10;
    service.queue("/transcribe", failure);
    start();
    recordFor(3, 9000);
    recorder->stopRecording();
    settle();
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed[0].format, "ogg");
    EXPECT_TRUE(failed[0].audio.startsWith("OggS"));
    EXPECT_EQ(reports.size(), 1u);
    EXPECT_EQ(app.lastError(), std::optional<QString>("Transcription failed — saved for retry"));
    EXPECT_EQ(overlay.current, OverlayState::error);
    EXPECT_TRUE(history.empty());
}

TEST_F(DispatchStandIn, LongDictationStreamsAWindowAndJoinsTheForcedLastOne) {
    start();
    recordFor(65, 9000);
    // Window 0 went up while recording.
    ASSERT_TRUE(
        testsupport::waitUntil([&] { return service.requests("/transcribe").size() == 1; }));
    recorder->stopRecording();
    settle();
    const auto uploads = service.requests("/transcribe");
    ASSERT_EQ(uploads.size(), 2);
    ASSERT_EQ(history.size(), 1u);
    EXPECT_TRUE(history[0].text.startsWith("Stand-in transcript")) << history[0].text.toStdString();
    EXPECT_EQ(overlay.current, OverlayState::success);
}

}  // namespace
