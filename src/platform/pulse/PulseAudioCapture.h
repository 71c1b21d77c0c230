#pragma once

#include <memory>

#include "platform/AudioCapture.h"

// Records a PulseAudio source (the default one, or the device named in
// "selectedMicrophone" when it exists) on a capture thread of its own. The
// constructor connects and opens the source and throws AudioCaptureError when
// that fails.
class PulseAudioCapture : public AudioCapture {
public:
    // device: a source name, or empty for the server's default source.
    PulseAudioCapture(QString path, const QString& device = {});
    ~PulseAudioCapture() override;

    bool prepareToRecord() override;
    bool record() override;
    void stop() override;
    bool isRecording() const override;
    QString errorString() const override;
    void updateMeters() override;
    float averagePower() const override;

    // The factory the application uses: the source chosen in the settings'
    // "selectedMicrophone", falling back to the default source when that one
    // cannot be opened.
    static AudioCaptureFactory factory();

    struct State;

private:
    QString m_path;
    std::shared_ptr<State> m_state;
    float m_power = -160.0f;
};
