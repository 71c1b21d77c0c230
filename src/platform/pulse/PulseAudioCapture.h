#pragma once

#include <memory>
#include <thread>

#include "platform/AudioCapture.h"

class PulseServer;

// Records a PulseAudio source (the default one, or the device named in
// "selectedMicrophone" when it exists) as a stream on the shared server
// connection; a writer thread of its own, joined when it ends, puts the
// samples into the file. The constructor opens the source (one round trip to
// the server, bounded by the connection's timeout) and throws
// AudioCaptureError when that fails.
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

    // The factory the application uses: the source chosen in the settings'
    // "selectedMicrophone", falling back to the default source when that one
    // cannot be opened.
    static AudioCaptureFactory factory();

    struct State;

private:
    void closeStream();

    QString m_path;
    PulseServer& m_server;
    std::shared_ptr<State> m_state;
    std::thread m_writer;
    float m_power = -160.0f;
};
