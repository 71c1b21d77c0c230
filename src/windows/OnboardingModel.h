#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "windows/MicProbe.h"

class SettingsStore;

// The state behind the onboarding window: the three steps (0 recording
// mode, 1 microphone, 2 where the app lives), the recording mode bound to
// "recordingMode", the microphone status and the probe that runs while
// step 1 is shown. Main thread only.
class OnboardingModel : public QObject {
    Q_OBJECT
public:
    static constexpr int steps = 3;
    static constexpr double heardAbove = 0.12;
    // The microphone status as MicrophoneAccess numbers it.
    enum Status { notDetermined = 0, restricted = 1, denied = 2, authorized = 3 };

    // All required.
    struct Collaborators {
        SettingsStore* settings = nullptr;
        // Asks for the microphone status now; the answer may come later, on
        // any thread (the sound server may take its time to answer).
        std::function<void(std::function<void(Status)> answer)> microphoneStatus;
        // Asks for access; the answer may come later, on any thread.
        std::function<void(std::function<void(bool granted)>)> requestAccess;
        // Makes the probe.
        std::function<std::unique_ptr<MicProbe>(std::function<void(double)> onLevel)> makeProbe;
    };

    OnboardingModel(std::function<void()> onFinish, Collaborators collaborators,
                    QObject* parent = nullptr);
    ~OnboardingModel() override;

    int step() const { return m_step; }
    bool isLastStep() const { return m_step == steps - 1; }
    double micLevel() const { return m_micLevel; }
    bool micHeard() const { return m_micHeard; }
    Status micStatus() const { return m_micStatus; }
    bool micDenied() const { return m_micStatus == denied || m_micStatus == restricted; }
    const MicProbe* probe() const { return m_probe.get(); }

    // "pushToTalk" (the default) or "toggle", read from and written to the
    // settings at once.
    QString recordingMode() const;
    void setRecordingMode(const QString& mode);

    // The main button: the next step, or on the last one the end.
    void next();
    // "Skip": the end from any step.
    void skip();
    // The window went away without finishing: the probe stops.
    void disappeared();

    // Lit bars of a meter of `bars` bars at a level: bar i is lit when
    // i / bars < level.
    static int litBars(double level, int bars = 24);

signals:
    // Anything shown changed.
    void changed();

private:
    void finish();
    // Asks for the status; with `thenProbe` the probe follows the answer
    // when step 1 still shows.
    void askStatus(bool thenProbe);
    void startMicProbe();
    void probeWithStatus();
    void beginProbe();
    void stopMicProbe();
    void levelArrived(double level);

    std::function<void()> m_onFinish;
    Collaborators m_c;
    int m_step = 0;
    double m_micLevel = 0;
    bool m_micHeard = false;
    bool m_finished = false;
    Status m_micStatus = notDetermined;
    // Counts the status questions: only the last one's answer counts.
    quint64 m_statusAsks = 0;
    std::unique_ptr<MicProbe> m_probe;
};
