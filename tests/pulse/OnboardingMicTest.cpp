// The onboarding's microphone step on the real sound server: speech in the
// virtual microphone lights the meter and shows that the microphone works.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFileInfo>

#include "app/AppWindows.h"
#include "platform/SettingsStore.h"
#include "support/TestSupport.h"
#include "support/VirtualMic.h"
#include "windows/OnboardingModel.h"

TEST(OnboardingMic, SpeechLightsTheMeterAndTheFileGoesAtTheEnd) {
    if (!testsupport::hasPulse()) GTEST_SKIP() << "no PulseAudio test environment";
    SettingsStore settings;
    OnboardingModel::Collaborators c = AppWindows::onboardingModel();
    c.settings = &settings;
    int finishes = 0;
    OnboardingModel model([&] { ++finishes; }, c);
    // Asked on a worker: the answer comes through the event loop.
    ASSERT_TRUE(testsupport::waitUntil([&] {
        return model.micStatus() == OnboardingModel::authorized;
    })) << "the virtual microphone is a source";

    model.next();
    ASSERT_TRUE(testsupport::waitUntil([&] { return model.probe() != nullptr; }));
    ASSERT_TRUE(model.probe()->isRecording());
    const QString file = model.probe()->url();
    EXPECT_TRUE(QFileInfo::exists(file));
    EXPECT_EQ(QFileInfo(file).permissions() & 0x0077, 0);

    double loudest = 0;
    QObject::connect(&model, &OnboardingModel::changed,
                     [&] { loudest = std::max(loudest, model.micLevel()); });
    QElapsedTimer sinceSpeech;
    sinceSpeech.start();
    VirtualMic::playAsync(VirtualMic::speech("Hello, is this thing on?"));
    EXPECT_TRUE(testsupport::waitUntil([&] { return model.micHeard(); }));
    std::cout << "[ figures  ] heard " << sinceSpeech.elapsed() << " ms after the speech began\n";
    VirtualMic::waitPlayed();
    EXPECT_GT(OnboardingModel::litBars(loudest), 2);

    model.next();
    EXPECT_EQ(model.probe(), nullptr);
    EXPECT_FALSE(QFileInfo::exists(file));
    model.next();
    EXPECT_EQ(finishes, 1);
}
