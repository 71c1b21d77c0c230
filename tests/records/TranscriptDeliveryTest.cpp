#include <gtest/gtest.h>

#include "core/AppState.h"
#include "core/OverlayControl.h"
#include "fakes/FakeOverlay.h"
#include "platform/SettingsStore.h"
#include "records/TranscriptDelivery.h"

namespace {

// What a delivery did, step by step, in order.
struct Trace {
    QStringList steps;
};

TranscriptDelivery::Collaborators collaborators(Trace& t, AppState& state, FakeOverlay& overlay,
                                                bool trusted, bool leavesText) {
    TranscriptDelivery::Collaborators c;
    c.appState = &state;
    c.overlay = &overlay;
    c.postProcess = [leavesText](const QString& text) -> std::optional<QString> {
        if (!leavesText) return std::nullopt;
        return text + " ";
    };
    c.isProcessTrusted = [trusted] { return trusted; };
    c.insertTextViaPasteboard = [&t](const QString& s) { t.steps << "insert " + s; };
    c.copyToClipboard = [&t](const QString& s) { t.steps << "clipboard " + s; };
    c.switchToMatchingLayout = [&t](const QString& s) { t.steps << "layout " + s; };
    c.saveTranscription = [&t](const QString& s, const QString& language, double duration) {
        t.steps << QStringLiteral("history %1 %2 %3").arg(s, language).arg(duration);
    };
    c.addClipboardTranscription = [&t](const QString& s) { t.steps << "clipboard history " + s; };
    c.playSuccessSound = [&t] { t.steps << "success sound"; };
    c.playErrorSound = [&t] { t.steps << "error sound"; };
    return c;
}

}  // namespace

// The dictation and a retry share every step; they differ only where their
// options say: the processing state, the layout, and a text that cannot be
// pasted.
TEST(TranscriptDelivery, DictationAndRetryDifferOnlyByTheirOptions) {
    struct Case {
        const char* name;
        bool retry;
        bool trusted;
        bool leavesText;
        QStringList steps;
        std::vector<OverlayState> overlay;
        bool processingAfter;
        bool permissionError;
    };
    const Case cases[] = {
        {"dictation pasted",
         false,
         true,
         true,
         {"insert hi ", "layout hi ", "history hi  de 2.5", "clipboard history hi ",
          "success sound"},
         {OverlayState::success},
         false,
         false},
        {"dictation without key rights waits on the clipboard",
         false,
         false,
         true,
         {"clipboard hi ", "layout hi ", "history hi  de 2.5", "clipboard history hi ",
          "error sound"},
         {OverlayState::error},
         false,
         true},
        {"dictation with nothing left goes idle",
         false,
         true,
         false,
         {},
         {OverlayState::idle},
         false,
         false},
        {"retry pasted",
         true,
         true,
         true,
         {"insert hi ", "history hi  de 2.5", "clipboard history hi ", "success sound"},
         {OverlayState::success},
         true,
         false},
        {"retry without key rights is kept but not pasted",
         true,
         false,
         true,
         {"history hi  de 2.5", "clipboard history hi ", "success sound"},
         {OverlayState::success},
         true,
         true},
        {"retry with nothing left does nothing", true, true, false, {}, {}, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SettingsStore settings;
        AppState state{settings, {}};
        FakeOverlay overlay;
        Trace trace;
        TranscriptDelivery delivery(collaborators(trace, state, overlay, c.trusted, c.leavesText));
        // A dictation is being processed (for a retry: the one running meanwhile).
        state.setIsProcessing(true);
        if (c.retry)
            delivery.deliverRetry("hi", "de", 2.5);
        else
            delivery.deliverDictation("hi", "de", 2.5);
        EXPECT_EQ(trace.steps, c.steps);
        EXPECT_EQ(overlay.states, c.overlay);
        EXPECT_EQ(state.isProcessing(), c.processingAfter);
        EXPECT_EQ(state.lastError().has_value(), c.permissionError);
        if (c.leavesText) {
            EXPECT_EQ(state.lastTranscribedText(), "hi ");
        }
    }
}
