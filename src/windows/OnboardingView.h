#pragma once

#include <QWidget>
#include <functional>

#include "windows/OnboardingModel.h"

class QLabel;
class QPushButton;
class QStackedWidget;
class LevelMeter;
class ModeCard;
class StepDots;

// The first-run window's content (480 x 420): choose how the hotkey records,
// test the microphone on a live meter, learn where the app lives. It ends
// through the host's onFinish; closing it otherwise only stops the probe.
class OnboardingView : public QWidget {
    Q_OBJECT
public:
    struct Collaborators {
        OnboardingModel::Collaborators model;
        // The dictation hotkey's name, read when step 0 is shown.
        std::function<QString()> hotkeyName;
        // Opens the desktop's sound settings; default: the first of the known
        // settings programs that is installed, else nothing.
        std::function<void()> openSoundSettings;
    };

    OnboardingView(std::function<void()> onFinish, Collaborators collaborators,
                   QWidget* parent = nullptr);
    ~OnboardingView() override;

    OnboardingModel& model() { return *m_model; }
    QPushButton* mainButton() const { return m_mainButton; }
    QPushButton* skipButton() const { return m_skipButton; }

    // Starts the desktop's sound settings if one of the known programs is
    // installed; false when none is.
    static bool openDesktopSoundSettings();

protected:
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* buildModeStep();
    QWidget* buildMicStep();
    QWidget* buildWhereStep();
    void refresh();

    Collaborators m_c;
    OnboardingModel* m_model = nullptr;
    QStackedWidget* m_steps = nullptr;
    QPushButton* m_skipButton = nullptr;
    QPushButton* m_mainButton = nullptr;
    StepDots* m_dots = nullptr;
    ModeCard* m_pushToTalk = nullptr;
    ModeCard* m_toggle = nullptr;
    QLabel* m_hotkey = nullptr;
    QLabel* m_micExplanation = nullptr;
    LevelMeter* m_meter = nullptr;
    QWidget* m_micWorks = nullptr;
    QPushButton* m_openSettings = nullptr;
    QLabel* m_waiting = nullptr;
};
