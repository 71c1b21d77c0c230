// The onboarding's microphone probe and its step machine, on a fake recorder
// and the test clock.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <thread>

#include "fakes/FakeAudioCapture.h"
#include "fakes/FakeClock.h"
#include "platform/SettingsStore.h"
#include "support/TestSupport.h"
#include "windows/MicProbe.h"
#include "windows/OnboardingModel.h"

TEST(MicProbe, LevelOfEachPower) {
    const struct {
        double db;
        double level;
        bool heard;
    } cases[] = {
        {-160, 0, false}, {-60, 0, false},     {-50, 0, false},          {-44, 0.12, false},
        {-43.99, 0.1202, true}, {-25, 0.5, true}, {0, 1, true}, {6, 1, true},
        {std::nan(""), 0, false},
    };
    for (const auto& c : cases) {
        const double level = MicProbe::levelForPower(c.db);
        EXPECT_NEAR(level, c.level, 1e-9) << c.db;
        EXPECT_EQ(level > OnboardingModel::heardAbove, c.heard) << c.db;
    }
}

TEST(MicProbe, LitBarsOfEachLevel) {
    const struct {
        double level;
        int lit;
    } cases[] = {{0, 0}, {0.01, 1}, {0.5, 12}, {0.51, 13}, {0.99, 24}, {1, 24}};
    for (const auto& c : cases) EXPECT_EQ(OnboardingModel::litBars(c.level), c.lit) << c.level;
}

namespace {
class OnboardingTest : public ::testing::Test {
protected:
    std::unique_ptr<OnboardingModel> make(OnboardingModel::Status status) {
        this->status = status;
        OnboardingModel::Collaborators c;
        c.settings = &settings;
        c.microphoneStatus = [this](std::function<void(OnboardingModel::Status)> answer) {
            if (holdStatus)
                statusAnswers.push_back(std::move(answer));
            else
                answer(this->status);
        };
        c.requestAccess = [this](std::function<void(bool)> done) {
            ++questions;
            pendingAnswer = std::move(done);
        };
        c.makeProbe = [this](std::function<void(double)> onLevel) {
            MicProbe::Collaborators pc;
            pc.makeRecorder = recorders.factory();
            pc.clock = &clock;
            pc.directory = testsupport::root() + "/tmp";
            return std::make_unique<MicProbe>(std::move(onLevel), pc);
        };
        return std::make_unique<OnboardingModel>([this] { ++finishes; }, c);
    }
    QString probeFile() const { return testsupport::root() + "/tmp/ormil_mic_probe.wav"; }
    bool microphoneOpen() const { return recorders.alive() > 0 && recorders.last()->recording; }

    SettingsStore settings;
    FakeClock clock;
    FakeAudioCaptureFactory recorders;
    OnboardingModel::Status status = OnboardingModel::authorized;
    std::function<void(bool)> pendingAnswer;
    // While set, the status questions wait here for the test to answer.
    bool holdStatus = false;
    std::vector<std::function<void(OnboardingModel::Status)>> statusAnswers;
    int questions = 0;
    int finishes = 0;
};
}  // namespace

TEST_F(OnboardingTest, StepOneRunsTheProbeAndTheLastStepFinishes) {
    auto model = make(OnboardingModel::authorized);
    EXPECT_EQ(model->step(), 0);
    EXPECT_EQ(model->probe(), nullptr);

    model->next();
    ASSERT_EQ(model->step(), 1);
    ASSERT_TRUE(microphoneOpen());
    EXPECT_TRUE(QFileInfo::exists(probeFile()));

    recorders.last()->powers = {-60, -30, -70};
    clock.advance(MicProbe::tickSeconds);
    EXPECT_EQ(model->micLevel(), 0);
    EXPECT_FALSE(model->micHeard());
    clock.advance(MicProbe::tickSeconds);
    EXPECT_NEAR(model->micLevel(), 0.4, 1e-9);
    EXPECT_TRUE(model->micHeard());
    clock.advance(MicProbe::tickSeconds);
    EXPECT_EQ(model->micLevel(), 0);
    EXPECT_TRUE(model->micHeard()) << "heard stays once set";

    model->next();
    EXPECT_EQ(model->step(), 2);
    EXPECT_EQ(model->probe(), nullptr);
    EXPECT_EQ(recorders.alive(), 0);
    EXPECT_FALSE(QFileInfo::exists(probeFile()));
    EXPECT_EQ(clock.pendingTimers(), 0);
    EXPECT_TRUE(model->micHeard());
    EXPECT_TRUE(model->isLastStep());
    EXPECT_EQ(finishes, 0);

    model->next();
    EXPECT_EQ(finishes, 1);
    model->next();
    model->skip();
    EXPECT_EQ(finishes, 1) << "finishes once";
}

TEST_F(OnboardingTest, SkipOnAnyStepFinishesAndLeavesNoProbeBehind) {
    for (int step = 0; step < OnboardingModel::steps; ++step) {
        finishes = 0;
        auto model = make(OnboardingModel::authorized);
        for (int i = 0; i < step; ++i) model->next();
        model->skip();
        EXPECT_EQ(finishes, 1) << step;
        EXPECT_EQ(recorders.alive(), 0) << step;
        EXPECT_FALSE(QFileInfo::exists(probeFile())) << step;
    }
    // A window closed on step 1 without finishing stops the probe too.
    auto model = make(OnboardingModel::authorized);
    model->next();
    ASSERT_TRUE(microphoneOpen());
    model->disappeared();
    EXPECT_EQ(recorders.alive(), 0);
    EXPECT_FALSE(QFileInfo::exists(probeFile()));
    model->next();
    model.reset();
    EXPECT_EQ(recorders.alive(), 0);
}

TEST_F(OnboardingTest, DeniedMicrophoneStartsNothing) {
    for (auto s : {OnboardingModel::denied, OnboardingModel::restricted}) {
        auto model = make(s);
        model->next();
        EXPECT_TRUE(model->micDenied());
        EXPECT_EQ(recorders.attempts, 0);
        EXPECT_EQ(questions, 0);
    }
}

TEST_F(OnboardingTest, AnswerToTheQuestion) {
    // Granted while step 1 shows: the meter starts.
    auto model = make(OnboardingModel::notDetermined);
    model->next();
    ASSERT_EQ(questions, 1);
    EXPECT_EQ(recorders.attempts, 0);
    pendingAnswer(true);
    EXPECT_EQ(model->micStatus(), OnboardingModel::authorized);
    EXPECT_TRUE(microphoneOpen());
    model.reset();

    // Refused: the denied text, no probe.
    model = make(OnboardingModel::notDetermined);
    model->next();
    pendingAnswer(false);
    EXPECT_TRUE(model->micDenied());
    EXPECT_EQ(recorders.alive(), 0);
}

TEST_F(OnboardingTest, LateAnswerOnlyUpdatesTheStatus) {
    // The user went on to step 2 before the answer came.
    auto model = make(OnboardingModel::notDetermined);
    model->next();
    model->next();
    pendingAnswer(true);
    EXPECT_EQ(model->micStatus(), OnboardingModel::authorized);
    EXPECT_EQ(recorders.attempts, 0);

    // ... or skipped.
    model = make(OnboardingModel::notDetermined);
    model->next();
    model->skip();
    pendingAnswer(true);
    EXPECT_EQ(recorders.attempts, 0);

    // ... or the window is gone; the answer may come from another thread.
    model = make(OnboardingModel::notDetermined);
    model->next();
    model.reset();
    std::thread([answer = pendingAnswer] { answer(true); }).join();
    testsupport::processEvents();
    EXPECT_EQ(recorders.attempts, 0);
    EXPECT_FALSE(QFileInfo::exists(probeFile()));
}

// The sound server may take its time with the status: nothing waits for it,
// the probe starts with the answer to the last question, and an answer that
// comes after the user went on only updates the status.
TEST_F(OnboardingTest, StatusThatIsAnsweredLater) {
    holdStatus = true;
    auto model = make(OnboardingModel::authorized);
    EXPECT_EQ(model->micStatus(), OnboardingModel::notDetermined);
    model->next();
    ASSERT_EQ(statusAnswers.size(), 2u) << "asked at the start and again on step 1";
    EXPECT_EQ(recorders.attempts, 0);
    std::thread([answer = statusAnswers[1]] { answer(OnboardingModel::authorized); }).join();
    ASSERT_TRUE(testsupport::waitUntil([&] { return microphoneOpen(); }));
    statusAnswers[0](OnboardingModel::denied);
    testsupport::processEvents();
    EXPECT_EQ(model->micStatus(), OnboardingModel::authorized) << "the older answer is stale";
    EXPECT_EQ(recorders.attempts, 1);

    for (bool skipped : {false, true}) {
        SCOPED_TRACE(skipped);
        statusAnswers.clear();
        model = make(OnboardingModel::authorized);
        model->next();
        skipped ? model->skip() : model->next();
        statusAnswers.back()(OnboardingModel::authorized);
        EXPECT_EQ(model->micStatus(), OnboardingModel::authorized);
        EXPECT_EQ(recorders.attempts, 1);
    }

    // The window is gone before the answer.
    statusAnswers.clear();
    model = make(OnboardingModel::authorized);
    model->next();
    model.reset();
    std::thread([answer = statusAnswers.back()] { answer(OnboardingModel::authorized); }).join();
    testsupport::processEvents();
    EXPECT_EQ(recorders.attempts, 1);
}

TEST_F(OnboardingTest, RecordingModeIsWrittenAtOnce) {
    auto model = make(OnboardingModel::authorized);
    EXPECT_EQ(model->recordingMode(), "pushToTalk");
    model->setRecordingMode("toggle");
    EXPECT_EQ(settings.string("recordingMode"), QString("toggle"));
    EXPECT_EQ(make(OnboardingModel::authorized)->recordingMode(), "toggle");
}

TEST_F(OnboardingTest, RecorderThatCannotStartIsLoggedAndTheStepStaysUsable) {
    recorders.failCreation = true;
    auto model = make(OnboardingModel::authorized);
    model->next();
    EXPECT_TRUE(testsupport::debugLogText().contains(
        "[Onboarding] Проба микрофона не запустилась: no such source"));
    clock.advance(1);
    EXPECT_EQ(model->micLevel(), 0);
    EXPECT_FALSE(model->micHeard());
    model->next();
    EXPECT_EQ(model->step(), 2);
}
