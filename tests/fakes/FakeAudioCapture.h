#pragma once

#include <QByteArray>
#include <QString>
#include <deque>
#include <vector>

#include "platform/AudioCapture.h"

// A recorder for tests: writes a WAV header at prepare time, then whatever a
// test appends; the meter reads the powers the test queues.
class FakeAudioCapture : public AudioCapture {
public:
    explicit FakeAudioCapture(QString path) : m_path(std::move(path)) {}
    ~FakeAudioCapture() override {
        if (onDestroyed) onDestroyed();
    }

    bool prepareToRecord() override;
    bool record() override;
    void stop() override;
    bool isRecording() const override { return recording; }
    QString errorString() const override { return error; }
    void updateMeters() override;
    float averagePower() const override { return m_power; }

    // Grows the file to `bytes` in total (header included).
    void growFileTo(qint64 bytes);
    const QString& path() const { return m_path; }

    // A stop that completes later, as a real capture thread's does: the file
    // is finished when the test calls finishStop().
    bool deferStop = false;
    void finishStop();

    bool recordResult = true;
    QString error = QStringLiteral("the microphone did not start");
    bool recording = false;
    int stopCalls = 0;
    int meterUpdates = 0;
    // Powers handed out by updateMeters(), one per call; the last one stays.
    std::deque<float> powers;
    std::function<void()> onDestroyed;

private:
    QString m_path;
    float m_power = -160.0f;
};

// Hands out FakeAudioCaptures and remembers them; can be told to fail.
class FakeAudioCaptureFactory {
public:
    AudioCaptureFactory factory();

    bool failCreation = false;
    QString failure = QStringLiteral("no such source");
    // Settings applied to each recorder made from now on.
    // A stop that completes later, as a real capture thread's does: the file
    // is finished when the test calls finishStop().
    bool deferStop = false;
    void finishStop();

    bool recordResult = true;
    std::vector<float> powers;
    std::vector<FakeAudioCapture*> made;  // owned by the code under test
    int attempts = 0;
    int destroyed = 0;
    int alive() const { return int(made.size()) - destroyed; }
    FakeAudioCapture* last() const { return made.empty() ? nullptr : made.back(); }
};
