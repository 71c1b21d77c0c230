#include "fakes/FakeAudioCapture.h"

#include <QFile>

#include "platform/WavFileWriter.h"

bool FakeAudioCapture::prepareToRecord() {
    QFile f(m_path);
    if (f.exists()) return true;
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write(WavFileWriter::header(kSampleRate, kChannels, 0));
    return true;
}

bool FakeAudioCapture::record() {
    if (!recordResult) return false;
    if (!prepareToRecord()) return false;
    recording = true;
    return true;
}

void FakeAudioCapture::stop() {
    ++stopCalls;
    const bool was = recording;
    recording = false;
    if (was && onFinished) onFinished(true);
    // The file is finished at once unless the test finishes it.
    if (stopCalls == 1 && !deferStop && onStopped) onStopped(std::nullopt);
}

void FakeAudioCapture::finishStop() {
    if (onStopped) onStopped(std::nullopt);
}

void FakeAudioCapture::updateMeters() {
    ++meterUpdates;
    if (!powers.empty()) {
        m_power = powers.front();
        if (powers.size() > 1) powers.pop_front();
    }
}

void FakeAudioCapture::growFileTo(qint64 bytes) {
    QFile f(m_path);
    if (!f.exists()) prepareToRecord();
    if (f.open(QIODevice::ReadWrite)) f.resize(bytes);
}

AudioCaptureFactory FakeAudioCaptureFactory::factory() {
    return [this](const QString& path) -> std::unique_ptr<AudioCapture> {
        ++attempts;
        if (failCreation) throw AudioCaptureError(failure.toStdString());
        auto capture = std::make_unique<FakeAudioCapture>(path);
        capture->recordResult = recordResult;
        capture->powers.assign(powers.begin(), powers.end());
        capture->onDestroyed = [this] { ++destroyed; };
        made.push_back(capture.get());
        return capture;
    };
}
