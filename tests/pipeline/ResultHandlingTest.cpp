#include "DispatchTestFixture.h"

using namespace dispatchtest;

namespace {

class ResultHandling : public DispatchFixture {
protected:
    void dictate() {
        start();
        recordFor(2.5, 9000);
        recorder->stopRecording();
        settle();
    }
};

TEST_F(ResultHandling, TextIsPastedRememberedAndConfirmed) {
    settings.set("recognitionLanguage", "pl");
    serviceText = "dzień dobry";
    dictate();
    const QString cleaned = "dzień dobry ";
    EXPECT_EQ(inserted, std::vector<QString>{cleaned});
    EXPECT_EQ(layoutSwitches, std::vector<QString>{cleaned});
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history[0].text, cleaned);
    EXPECT_EQ(history[0].language, "pl");
    EXPECT_NEAR(history[0].duration, 2.5, 1e-9);
    EXPECT_EQ(app.lastTranscribedText(), cleaned);
    EXPECT_EQ(clipboardHistory, std::vector<QString>{cleaned});
    EXPECT_TRUE(clipboard.isEmpty());
    EXPECT_FALSE(app.isProcessing());
    EXPECT_FALSE(app.lastError().has_value());
    EXPECT_EQ(overlay.current, OverlayState::success);
    EXPECT_EQ(sounds.played, std::vector<std::string>{"success"});
}

TEST_F(ResultHandling, WithoutKeystrokeRightsTheTextWaitsOnTheClipboard) {
    trusted = false;
    dictate();
    const QString cleaned = "hello world ";
    EXPECT_TRUE(inserted.empty());
    EXPECT_EQ(clipboard, cleaned);
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history[0].text, cleaned);
    EXPECT_EQ(app.lastTranscribedText(), cleaned);
    EXPECT_EQ(clipboardHistory, std::vector<QString>{cleaned});
    EXPECT_EQ(app.lastError(), std::optional<QString>("Accessibility permission required"));
    EXPECT_FALSE(app.isProcessing());
    // Not a success: nothing reached the focused window.
    EXPECT_EQ(overlay.current, OverlayState::error);
    EXPECT_EQ(sounds.played, std::vector<std::string>{"error"});
}

TEST_F(ResultHandling, NoTextLeftEndsQuietlyWithNothingSaved) {
    struct Case {
        const char* name;
        QString service;
        bool filterEmpties;
    };
    const Case cases[] = {
        {"empty answer", "", false},
        {"emptied by the filters", "thanks for watching", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        serviceText = c.service;
        postProcessEmpties = c.filterEmpties;
        overlay.states.clear();
        dictate();
        EXPECT_FALSE(app.isProcessing());
        EXPECT_EQ(overlay.current, OverlayState::idle);
        EXPECT_TRUE(inserted.empty());
        EXPECT_TRUE(history.empty());
        EXPECT_TRUE(clipboardHistory.empty());
        EXPECT_TRUE(app.lastTranscribedText().isEmpty());
        EXPECT_TRUE(sounds.played.empty());
    }
}

}  // namespace
