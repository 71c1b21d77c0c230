// A retry of a failed recording through the real transcription client and
// the local stand-in service: success delivers the text like a dictation and
// removes the entry; a failure keeps the entry with the new reason.
#include <gtest/gtest.h>

#include "core/OverlayControl.h"
#include "core/AppState.h"
#include "fakes/FakeClock.h"
#include "platform/Clock.h"
#include "platform/Pasteboard.h"
#include "platform/SettingsStore.h"
#include "records/ClipboardHistoryService.h"
#include "records/HistoryService.h"
#include "records/RecordsTestSupport.h"
#include "records/RetryQueueService.h"
#include "records/TranscriptDelivery.h"
#include "service/TranscriptionService.h"
#include "support/DevService.h"
#include "support/TestSupport.h"
#include "support/VirtualMic.h"
#include "fakes/FakeOverlay.h"
#include "fakes/FakePasteboard.h"

namespace {

TEST(RetryThroughStandIn, SucceedsAndFailsLikeTheService) {
    DevService service;
    const DevService::Tokens tokens =
        service.createSignedInAccount({{"email", "retry@ormil.test"}, {"password", "pw"}});

    SettingsStore settings;
    AppState appState{settings, [](const QString&) { return TokenReadResult{}; }};
    FakeOverlay overlay;
    TranscriptionService::Collaborators c;
    c.clock = &Clock::system();
    c.appState = &appState;
    c.overlay = &overlay;
    c.apiBase = [&] { return service.baseUrl(); };
    c.auth.accessToken = [&]() -> std::optional<QString> { return tokens.access; };
    c.auth.refresh = [] {
        return std::optional<TranscriptionService::Auth::Failure>(
            TranscriptionService::Auth::Failure{true, "no refresh here"});
    };
    TranscriptionService client(settings, std::move(c));

    FakeClock clock;
    const QString base = recordstest::freshDir("retry-stand-in");
    HistoryService history(base + "/Ormil/Ormil.sqlite", clock);
    FakePasteboard pasteboard;
    ClipboardHistoryService clipboard{&pasteboard, clock};
    QStringList inserted;
    TranscriptDelivery::Collaborators d;
    d.appState = &appState;
    d.overlay = &overlay;
    d.postProcess = [](const QString& text) { return std::optional(text.trimmed() + " "); };
    d.isProcessTrusted = [] { return true; };
    d.insertTextViaPasteboard = [&](const QString& text) { inserted << text; };
    d.copyToClipboard = [](const QString&) {};
    d.switchToMatchingLayout = [](const QString&) {};
    d.saveTranscription = [&](const QString& t, const QString& language, double duration) {
        history.saveTranscription(t, language, duration);
    };
    d.addClipboardTranscription = [&](const QString& t) { clipboard.addTranscription(t); };
    d.playSuccessSound = [] {};
    d.playErrorSound = [] {};
    TranscriptDelivery delivery(std::move(d));
    RetryQueueService queue(
        base + "/Ormil/failed_audio",
        RetryQueueService::Dependencies{
            [&](const QByteArray& audio, const QString& language, const QString& provider,
                const QString& toneStyle, const QString& format) {
                return client.transcribe(audio, language, provider, toneStyle, format,
                                         std::nullopt);
            },
            [] {}, appState, overlay, clock});
    QObject::connect(&queue, &RetryQueueService::transcribed, &delivery,
                     &TranscriptDelivery::deliverRetry, Qt::DirectConnection);
    const QByteArray wav = VirtualMic::speechWav("retry this recording please");
    const auto retry = [&](const QString& id) {
        bool finished = false;
        queue.retry(id, [&] { finished = true; });
        return testsupport::waitUntil([&] { return finished; }, 60000);
    };

    // The service answers: the text is inserted and kept, the entry goes.
    queue.save(wav, "wav", "en", "openai", "neutral", 2.0, "The request timed out.");
    ASSERT_EQ(queue.queue().size(), 1);
    DevService::Answer ok;
    ok.json = QJsonObject{{"success", true}, {"text", "retried text"}, {"word_count", 2}};
    service.queue("/transcribe", ok);
    ASSERT_TRUE(retry(queue.queue().first().id));
    EXPECT_TRUE(queue.queue().isEmpty());
    EXPECT_EQ(inserted, QStringList{"retried text "});
    const auto records = history.fetchTranscriptions(10);
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records[0].value("text").toString().trimmed(), "retried text");
    const auto uploads = service.requests("/transcribe");
    ASSERT_EQ(uploads.size(), 1);
    EXPECT_EQ(uploads[0].formField("language"), "en");

    // The service fails: the entry stays, with the service's reason.
    queue.save(wav, "wav", "en", "openai", "neutral", 2.0, "The request timed out.");
    DevService::Answer failure;
    failure.status = 500;
    failure.body = "upstream down";
    failure.count = 5;
    service.queue("/transcribe", failure);
    const QString id = queue.queue().first().id;
    ASSERT_TRUE(retry(id));
    ASSERT_EQ(queue.queue().size(), 1);
    EXPECT_EQ(queue.queue().first().id, id);
    EXPECT_TRUE(queue.queue().first().errorMessage.contains("upstream down"))
        << queue.queue().first().errorMessage.toStdString();
    EXPECT_EQ(inserted.size(), 1);
}

}  // namespace
