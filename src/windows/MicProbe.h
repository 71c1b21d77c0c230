#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "platform/AudioCapture.h"
#include "platform/Clock.h"

// The onboarding's microphone test: records from the chosen microphone into
// "ormil_mic_probe.wav" in the temporary folder and reports the level of
// every 0.06 s tick. The file exists only while the probe records.
class MicProbe : public QObject {
    Q_OBJECT
public:
    static constexpr double tickSeconds = 0.06;

    // All required.
    struct Collaborators {
        // The asynchronous capture of the chosen microphone.
        AudioCaptureFactory makeRecorder;
        Clock* clock = nullptr;
        // The application's private temporary folder; when empty the probe
        // records nothing.
        QString directory;
    };

    // onLevel receives every level (0 to 1) on the main thread.
    MicProbe(std::function<void(double)> onLevel, Collaborators collaborators);
    ~MicProbe() override;

    // Starts recording and metering; a failure is logged and leaves the
    // probe silent.
    void start();
    // Stops the timer and the recording and deletes the file. Safe to call
    // when nothing runs.
    void stop();
    bool isRecording() const { return m_recorder != nullptr; }
    QString url() const { return m_url; }

    // The level of an average power in dB: -50 dB and below (and NaN) read
    // 0, 0 dB and above read 1.
    static double levelForPower(double decibels);

private:
    void tick();

    std::function<void(double)> m_onLevel;
    Collaborators m_c;
    QString m_url;
    std::unique_ptr<AudioCapture> m_recorder;
    ClockTimerPtr m_timer;
};
