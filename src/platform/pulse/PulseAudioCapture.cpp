#include "platform/pulse/PulseAudioCapture.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <QFile>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/WavFileWriter.h"
#include "platform/SettingsStore.h"

float averagePowerDb(double sumOfSquares, qint64 sampleCount) {
    if (sampleCount <= 0 || sumOfSquares <= 0) return -160.0f;
    const double meanSquare = sumOfSquares / double(sampleCount) / (32768.0 * 32768.0);
    return float(std::max(-160.0, 10.0 * std::log10(meanSquare)));
}

// Shared between the recorder and its capture thread, so that a thread stuck
// in a read of a stalled source can outlive the recorder safely.
struct PulseAudioCapture::State {
    std::mutex mutex;
    std::condition_variable cv;
    pa_simple* stream = nullptr;
    WavFileWriter wav;
    bool prepared = false;
    bool recording = false;
    bool stopRequested = false;
    bool threadDone = true;
    QString error;
    double sumSquares = 0;
    qint64 samples = 0;
    std::function<void(bool)> onFinished;
    std::function<void(std::optional<QString>)> onEncodeError;

    ~State() {
        if (stream) pa_simple_free(stream);
    }
};

namespace {
// 20 ms of audio per read: the meter gets fresh samples at every 50 ms tick.
constexpr int kChunkBytes = AudioCapture::kSampleRate / 50 * 2;

void captureLoop(std::shared_ptr<PulseAudioCapture::State> s) {
    char buf[kChunkBytes];
    bool failed = false;
    std::optional<QString> writeError;
    for (;;) {
        {
            std::lock_guard lock(s->mutex);
            if (s->stopRequested) break;
        }
        int err = 0;
        if (pa_simple_read(s->stream, buf, sizeof buf, &err) < 0) {
            std::lock_guard lock(s->mutex);
            if (!s->stopRequested) {
                failed = true;
                s->error = QString::fromUtf8(pa_strerror(err));
            }
            break;
        }
        std::lock_guard lock(s->mutex);
        if (s->stopRequested) break;
        const auto* samples = reinterpret_cast<const qint16*>(buf);
        double sum = 0;
        for (int i = 0; i < kChunkBytes / 2; ++i) sum += double(samples[i]) * samples[i];
        s->sumSquares += sum;
        s->samples += kChunkBytes / 2;
        if (!s->wav.append(buf, sizeof buf)) {
            writeError = s->wav.errorString();
            s->error = *writeError;
            break;
        }
    }
    std::function<void(bool)> finished;
    std::function<void(std::optional<QString>)> encodeError;
    {
        std::lock_guard lock(s->mutex);
        const bool stoppedByUser = s->stopRequested;
        s->recording = false;
        s->threadDone = true;
        if (!stoppedByUser) {
            finished = s->onFinished;
            encodeError = s->onEncodeError;
        }
    }
    s->cv.notify_all();
    if (writeError && encodeError) encodeError(writeError);
    if ((failed || writeError) && finished) finished(false);
}
}  // namespace

PulseAudioCapture::PulseAudioCapture(QString path, const QString& device)
    : m_path(std::move(path)), m_state(std::make_shared<State>()) {
    const pa_sample_spec spec{PA_SAMPLE_S16LE, uint32_t(kSampleRate), uint8_t(kChannels)};
    pa_buffer_attr attr;
    attr.maxlength = uint32_t(-1);
    attr.tlength = uint32_t(-1);
    attr.prebuf = uint32_t(-1);
    attr.minreq = uint32_t(-1);
    attr.fragsize = kChunkBytes;
    int err = 0;
    const QByteArray dev = device.toUtf8();
    m_state->stream = pa_simple_new(nullptr, "Ormil", PA_STREAM_RECORD,
                                    device.isEmpty() ? nullptr : dev.constData(), "Dictation",
                                    &spec, nullptr, &attr, &err);
    if (!m_state->stream) {
        throw AudioCaptureError(std::string("The microphone could not be opened: ") +
                                pa_strerror(err));
    }
}

PulseAudioCapture::~PulseAudioCapture() {
    stop();
}

bool PulseAudioCapture::prepareToRecord() {
    std::lock_guard lock(m_state->mutex);
    if (m_state->prepared) return true;
    if (!m_state->wav.open(m_path, kSampleRate, kChannels)) {
        m_state->error = m_state->wav.errorString();
        return false;
    }
    m_state->prepared = true;
    return true;
}

bool PulseAudioCapture::record() {
    if (!prepareToRecord()) return false;
    std::lock_guard lock(m_state->mutex);
    if (m_state->recording) return true;
    if (m_state->stopRequested) {
        m_state->error = QStringLiteral("the recording was already stopped");
        return false;
    }
    int err = 0;
    // Drops what the server buffered between opening and now.
    pa_simple_flush(m_state->stream, &err);
    m_state->onFinished = onFinished;
    m_state->onEncodeError = onEncodeError;
    m_state->recording = true;
    m_state->threadDone = false;
    std::thread(captureLoop, m_state).detach();
    return true;
}

void PulseAudioCapture::stop() {
    std::unique_lock lock(m_state->mutex);
    const bool wasRecording = m_state->recording;
    m_state->stopRequested = true;
    // A source that stopped delivering blocks the read; the thread then
    // finishes on its own later and the state it shares is freed with it.
    m_state->cv.wait_for(lock, std::chrono::seconds(2), [&] { return m_state->threadDone; });
    m_state->recording = false;
    if (m_state->wav.isOpen() && !m_state->wav.finish())
        m_state->error = m_state->wav.errorString();
    if (m_state->threadDone && m_state->stream) {
        pa_simple_free(m_state->stream);
        m_state->stream = nullptr;
    }
    lock.unlock();
    if (wasRecording && onFinished) onFinished(true);
}

bool PulseAudioCapture::isRecording() const {
    std::lock_guard lock(m_state->mutex);
    return m_state->recording;
}

QString PulseAudioCapture::errorString() const {
    std::lock_guard lock(m_state->mutex);
    return m_state->error;
}

void PulseAudioCapture::updateMeters() {
    std::lock_guard lock(m_state->mutex);
    if (m_state->samples == 0) return;  // nothing new: keep the last reading
    m_power = averagePowerDb(m_state->sumSquares, m_state->samples);
    m_state->sumSquares = 0;
    m_state->samples = 0;
}

float PulseAudioCapture::averagePower() const {
    return m_power;
}

AudioCaptureFactory PulseAudioCapture::factory() {
    return [](const QString& path) -> std::unique_ptr<AudioCapture> {
        const QString chosen =
            SettingsStore::shared().string("selectedMicrophone").value_or(QString());
        if (!chosen.isEmpty()) {
            try {
                return std::make_unique<PulseAudioCapture>(path, chosen);
            } catch (const AudioCaptureError&) {
                // The chosen microphone is gone: record from the default one.
            }
        }
        return std::make_unique<PulseAudioCapture>(path);
    };
}
