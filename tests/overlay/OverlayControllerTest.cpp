#include <QThread>
#include <thread>

#include "overlay/OverlayFixture.h"
#include "support/TestSupport.h"

namespace {
class OverlayStateMachine : public OverlayFixture {
protected:
    void SetUp() override {
        settings.set("overlayHideWhenIdle", false);
        controller->setup();
    }
    bool panelShown() const { return controller->panel()->isVisible(); }
};
}  // namespace

TEST_F(OverlayStateMachine, TransientStatesReturnToIdleAfterTheirDelay) {
    const std::pair<OverlayState, double> cases[] = {{OverlayState::success, 1.5},
                                                     {OverlayState::error, 2.0},
                                                     {OverlayState::processing, 180},
                                                     {OverlayState::postProcessing, 180}};
    for (auto [state, delay] : cases) {
        SCOPED_TRACE(overlayStateName(state).toStdString());
        controller->show(state);
        EXPECT_EQ(controller->currentState(), state);
        clock.advance(delay - 0.01);
        EXPECT_EQ(model().state(), state);
        clock.advance(0.02);
        EXPECT_EQ(model().state(), OverlayState::idle);
        EXPECT_TRUE(panelShown());
        EXPECT_EQ(clock.pendingTimers(), 0);
    }
}

TEST_F(OverlayStateMachine, NewStateCancelsThePendingReturn) {
    controller->show(OverlayState::success);
    clock.advance(1.0);
    controller->show(OverlayState::recording);
    clock.advance(10);
    EXPECT_EQ(model().state(), OverlayState::recording);

    // A stale fallback of an earlier processing pill must not end a later recording.
    controller->show(OverlayState::processing);
    clock.advance(100);
    controller->show(OverlayState::error);
    clock.advance(2.0);
    ASSERT_EQ(model().state(), OverlayState::idle);
    controller->show(OverlayState::recording);
    clock.advance(200);
    EXPECT_EQ(model().state(), OverlayState::recording);
}

TEST_F(OverlayStateMachine, MeterRunsOnlyWhileRecording) {
    controller->show(OverlayState::recording);
    EXPECT_TRUE(model().isWaveformRunning());
    for (OverlayState s : {OverlayState::processing, OverlayState::postProcessing,
                           OverlayState::success, OverlayState::error, OverlayState::idle}) {
        controller->show(OverlayState::recording);
        controller->show(s);
        EXPECT_FALSE(model().isWaveformRunning()) << overlayStateName(s).toStdString();
    }
}

TEST_F(OverlayStateMachine, StickyKeptThroughProcessingClearedByEndStates) {
    struct Case {
        OverlayState end;
        bool hideWhenIdle;
    };
    const Case cases[] = {{OverlayState::success, false},
                          {OverlayState::error, false},
                          {OverlayState::idle, false},
                          {OverlayState::idle, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(overlayStateName(c.end).toStdString() + (c.hideWhenIdle ? " hiding" : ""));
        settings.set("overlayHideWhenIdle", c.hideWhenIdle);
        controller->show(OverlayState::recording);
        controller->setSticky(true);
        controller->show(OverlayState::recording);
        EXPECT_TRUE(model().isSticky());
        controller->show(OverlayState::processing);
        EXPECT_TRUE(model().isSticky());
        controller->show(OverlayState::postProcessing);
        EXPECT_TRUE(model().isSticky());
        controller->show(c.end);
        EXPECT_FALSE(model().isSticky());
    }
}

TEST_F(OverlayFixture, HideWhenIdleHidesThePanelAndStopsEverything) {
    controller->setup();  // hide-when-idle absent: on
    EXPECT_FALSE(controller->panel()->isVisible());
    controller->show(OverlayState::processing);
    EXPECT_TRUE(controller->panel()->isVisible());
    controller->show(OverlayState::idle);
    EXPECT_FALSE(controller->panel()->isVisible());
    EXPECT_EQ(model().state(), OverlayState::idle);
    EXPECT_EQ(clock.pendingTimers(), 0);
    EXPECT_TRUE(
        testsupport::debugLogText().contains("[Overlay] Idle + hideWhenIdle -> panel hidden"));

    // The automatic return hides it as well.
    controller->show(OverlayState::success);
    clock.advance(1.5);
    EXPECT_FALSE(controller->panel()->isVisible());
    // Re-showing after windows change keeps an idle pill hidden.
    controller->ensureVisibleIfNeeded();
    EXPECT_FALSE(controller->panel()->isVisible());
}

TEST_F(OverlayFixture, DisabledOverlayOnlyHides) {
    controller->setup();
    settings.set("overlayHideWhenIdle", false);
    controller->show(OverlayState::idle);
    ASSERT_TRUE(controller->panel()->isVisible());
    settings.set("overlayEnabled", false);
    controller->show(OverlayState::recording);
    EXPECT_FALSE(controller->panel()->isVisible());
    EXPECT_EQ(model().state(), OverlayState::idle);
    EXPECT_FALSE(model().isWaveformRunning());
    EXPECT_EQ(clock.pendingTimers(), 0);
    controller->ensureVisibleIfNeeded();
    EXPECT_FALSE(controller->panel()->isVisible());
    EXPECT_TRUE(testsupport::debugLogText().contains("[Overlay] DISABLED — skipping"));
}

TEST_F(OverlayFixture, TurningTheOverlayOffMidRecordingStopsTheMeter) {
    controller->setup();
    controller->show(OverlayState::recording);
    ASSERT_TRUE(model().isWaveformRunning());
    settings.set("overlayEnabled", false);
    controller->show(OverlayState::processing);
    EXPECT_FALSE(model().isWaveformRunning());
    EXPECT_EQ(clock.pendingTimers(), 0);
    EXPECT_EQ(model().state(), OverlayState::recording);  // the model is left as it was
}

TEST_F(OverlayStateMachine, SpinnerAndPulseRunOnlyWhileTheirPillShows) {
    OverlayPanel* panel = controller->panel();
    controller->setSticky(true);
    controller->show(OverlayState::processing);
    EXPECT_TRUE(panel->isSpinning());
    EXPECT_TRUE(panel->isPulsing());
    clock.advance(0.35);
    EXPECT_EQ(panel->look().spinnerIndex, 3);

    settings.set("overlayEnabled", false);
    controller->show(OverlayState::processing);  // hidden, state kept
    EXPECT_FALSE(panel->isSpinning());
    EXPECT_FALSE(panel->isPulsing());

    settings.set("overlayEnabled", true);
    controller->ensureVisibleIfNeeded();
    EXPECT_TRUE(panel->isSpinning());
    EXPECT_EQ(panel->look().spinnerIndex, 0);  // a pill back on screen starts afresh
    controller->show(OverlayState::success);
    EXPECT_FALSE(panel->isSpinning());
    EXPECT_FALSE(panel->isPulsing());     // success clears the flag
    EXPECT_EQ(clock.pendingTimers(), 1);  // only the return to idle
}

TEST_F(OverlayFixture, TogglesCountAsOnUnlessAStoredBoolean) {
    const std::pair<QJsonValue, bool> cases[] = {{QJsonValue(QJsonValue::Undefined), true},
                                                 {true, true},
                                                 {false, false},
                                                 {"false", true},
                                                 {0, true}};
    for (const auto& [value, expected] : cases) {
        for (const char* key : {"overlayEnabled", "overlayHideWhenIdle"}) {
            if (value.isUndefined())
                settings.remove(key);
            else
                settings.set(key, value);
        }
        EXPECT_EQ(controller->isEnabled(), expected) << value.toVariant().toString().toStdString();
        EXPECT_EQ(controller->hideWhenIdle(), expected);
    }
}

TEST_F(OverlayFixture, CallsFromAnotherThreadKeepTheirOrder) {
    controller->setup();
    std::thread worker([this] {
        controller->show(OverlayState::recording);
        controller->setSticky(true);
        controller->updateAudioLevel(0.5f);
        controller->show(OverlayState::processing);
    });
    worker.join();
    ASSERT_TRUE(
        testsupport::waitUntil([&] { return model().state() == OverlayState::processing; }));
    // The level arrived after the meter's reset, the flag survived processing.
    EXPECT_FLOAT_EQ(model().audioLevel(), 0.5f);
    EXPECT_TRUE(model().isSticky());
    EXPECT_TRUE(testsupport::debugLogText().contains(
        "[Overlay] show(recording) called, isEnabled=true, mainThread=false"));
}

TEST_F(OverlayFixture, QueuedShowForAGoneControllerOnlyLogs) {
    std::thread worker([this] { controller->show(OverlayState::recording); });
    worker.join();
    controller.reset();
    ASSERT_TRUE(testsupport::waitUntil([] {
        return testsupport::debugLogText().contains(
            "[Overlay] ERROR: self is nil in work closure!");
    }));
}

TEST_F(OverlayFixture, ShowWritesItsLogLines) {
    controller->setup();
    controller->show(OverlayState::recording);
    const QString log = testsupport::debugLogText();
    for (const char* line :
         {"[Overlay] show(recording) called, isEnabled=true, mainThread=true",
          "[Overlay] work() executing for state=recording", "[Overlay] Calling startWaveform()",
          "[Waveform] startWaveform() called on main=true", "[Waveform] Timer scheduled"})
        EXPECT_TRUE(log.contains(line)) << line;
}

TEST_F(OverlayFixture, InstallsItselfAsTheSharedOverlay) {
    OverlayWindowController& shared = OverlayWindowController::shared();
    EXPECT_EQ(&OverlayControl::shared(), static_cast<OverlayControl*>(&shared));
}
