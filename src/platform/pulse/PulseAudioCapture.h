#pragma once

#include <memory>
#include <thread>

#include "platform/AudioCapture.h"

class PulseServer;

// Records a PulseAudio source (the default one, or the device named in
// "selectedMicrophone" when it exists) as a stream on the shared server
// connection. A capture thread of its own opens the source (one round trip
// to the server, bounded by the connection's timeout), puts the samples into
// the file and hands them on; the caller's thread never waits for the server
// or the disk.
class PulseAudioCapture : public AudioCapture {
public:
    // device: a source name, or empty for the server's default source.
    explicit PulseAudioCapture(QString path, const QString& device = {});
    PulseAudioCapture(QString path, const QString& device, PulseServer& server);
    ~PulseAudioCapture() override;

    bool prepareToRecord() override;
    bool record() override;
    void stop() override;
    bool isRecording() const override;
    QString errorString() const override;
    void updateMeters() override;
    float averagePower() const override;

    // When the device cannot be opened, the default source is tried.
    void setFallBackToDefaultSource(bool fallBack);

    // The factory the application uses: the source chosen in the settings'
    // "selectedMicrophone", falling back to the default source when that one
    // cannot be opened.
    static AudioCaptureFactory factory();

    struct State;

private:
    QString m_path;
    std::shared_ptr<State> m_state;
    std::thread m_thread;
    float m_power = -160.0f;
};
