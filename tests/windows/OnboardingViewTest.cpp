// The onboarding window's widgets over a fake recorder; screenshots of the
// three steps go to build/artifacts/.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>

#include "core/L10n.h"
#include "fakes/FakeAudioCapture.h"
#include "fakes/FakeClock.h"
#include "platform/SettingsStore.h"
#include "support/Screenshots.h"
#include "support/TestSupport.h"
#include "windows/OnboardingView.h"

namespace {
class OnboardingViewTest : public ::testing::Test {
protected:
    std::unique_ptr<OnboardingView> make(OnboardingModel::Status status) {
        OnboardingView::Collaborators c;
        c.model.settings = &settings;
        c.model.microphoneStatus = [status](std::function<void(OnboardingModel::Status)> answer) {
            answer(status);
        };
        c.model.requestAccess = [](std::function<void(bool)>) {};
        c.model.makeProbe = [this](std::function<void(double)> onLevel) {
            MicProbe::Collaborators pc;
            pc.makeRecorder = recorders.factory();
            pc.clock = &clock;
            pc.directory = testsupport::root() + "/tmp";
            return std::make_unique<MicProbe>(std::move(onLevel), pc);
        };
        c.hotkeyName = [] { return QStringLiteral("Right ⌥ Option"); };
        c.openSoundSettings = [this] { ++soundSettingsOpened; };
        auto view = std::make_unique<OnboardingView>([this] { ++finishes; }, c);
        view->show();
        return view;
    }
    static bool shows(QWidget* view, const QString& text) {
        for (QLabel* label : view->findChildren<QLabel*>())
            if (label->isVisible() && label->text() == text) return true;
        for (QPushButton* button : view->findChildren<QPushButton*>())
            if (button->isVisible() && button->text() == text) return true;
        return false;
    }

    SettingsStore settings;
    FakeClock clock;
    FakeAudioCaptureFactory recorders;
    int finishes = 0;
    int soundSettingsOpened = 0;
};
}  // namespace

TEST_F(OnboardingViewTest, ThreeStepsWithTheMeterLitBySound) {
    auto view = make(OnboardingModel::authorized);
    EXPECT_EQ(view->size(), QSize(480, 420));
    EXPECT_TRUE(shows(view.get(), L10n::onboardingModeTitle()));
    EXPECT_TRUE(shows(view.get(), "Right ⌥ Option"));
    EXPECT_EQ(view->mainButton()->text(), L10n::onboardingNext());
    testsupport::saveScreenshot(view.get(), "onboarding-step0-mode");

    // Return is the main button.
    QTest::keyClick(view.get(), Qt::Key_Return);
    ASSERT_EQ(view->model().step(), 1);
    EXPECT_TRUE(shows(view.get(), L10n::onboardingMicSubtitle()));
    EXPECT_TRUE(shows(view.get(), L10n::onboardingMicWaiting()));
    ASSERT_TRUE(recorders.last());
    recorders.last()->powers = {-25};  // level 0.5: twelve bars
    clock.advance(MicProbe::tickSeconds);
    EXPECT_TRUE(shows(view.get(), L10n::onboardingMicOk()));
    EXPECT_FALSE(shows(view.get(), L10n::onboardingMicWaiting()));
    testsupport::saveScreenshot(view.get(), "onboarding-step1-meter");

    view->mainButton()->click();
    EXPECT_TRUE(shows(view.get(), L10n::onboardingWhereTitle()));
    EXPECT_EQ(view->mainButton()->text(), L10n::onboardingStart());
    EXPECT_EQ(recorders.alive(), 0);
    testsupport::saveScreenshot(view.get(), "onboarding-step2-where");

    view->mainButton()->click();
    EXPECT_EQ(finishes, 1);
}

TEST_F(OnboardingViewTest, ModeCardsWriteTheSettingAndShowTheChoice) {
    auto view = make(OnboardingModel::authorized);
    const auto cards = view->findChildren<QAbstractButton*>();
    QAbstractButton* toggle = nullptr;
    for (QAbstractButton* b : cards)
        if (!qobject_cast<QPushButton*>(b) && b->findChild<QLabel*>() &&
            shows(b, L10n::toggleRecord()))
            toggle = b;
    ASSERT_NE(toggle, nullptr);
    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_EQ(settings.string("recordingMode"), QString("toggle"));
    testsupport::saveScreenshot(view.get(), "onboarding-step0-toggle");
}

TEST_F(OnboardingViewTest, DeniedMicrophoneOffersTheSoundSettings) {
    auto view = make(OnboardingModel::denied);
    view->mainButton()->click();
    EXPECT_TRUE(shows(view.get(), L10n::onboardingMicDenied()));
    EXPECT_FALSE(shows(view.get(), L10n::onboardingMicWaiting()));
    QPushButton* open = nullptr;
    for (QPushButton* b : view->findChildren<QPushButton*>())
        if (b->isVisible() && b->text() == L10n::onboardingMicOpenSettings()) open = b;
    ASSERT_NE(open, nullptr);
    open->click();
    EXPECT_EQ(soundSettingsOpened, 1);
    testsupport::saveScreenshot(view.get(), "onboarding-step1-denied");
}

TEST_F(OnboardingViewTest, SkipAndClosingStopTheProbe) {
    auto view = make(OnboardingModel::authorized);
    view->mainButton()->click();
    ASSERT_EQ(recorders.alive(), 1);
    view->close();
    EXPECT_EQ(recorders.alive(), 0);
    EXPECT_EQ(finishes, 0) << "the close button does not finish";

    view = make(OnboardingModel::authorized);
    view->mainButton()->click();
    view->skipButton()->click();
    EXPECT_EQ(finishes, 1);
    EXPECT_EQ(recorders.alive(), 0);
}
