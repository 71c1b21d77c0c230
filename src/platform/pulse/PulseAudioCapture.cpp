#include "platform/pulse/PulseAudioCapture.h"

#include <pulse/error.h>
#include <pulse/stream.h>

#include <QByteArray>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/SettingsStore.h"
#include "platform/Threading.h"
#include "platform/WavFileWriter.h"
#include "platform/pulse/PulseServer.h"

float averagePowerDb(double sumOfSquares, qint64 sampleCount) {
    if (sampleCount <= 0 || sumOfSquares <= 0) return -160.0f;
    const double meanSquare = sumOfSquares / double(sampleCount) / (32768.0 * 32768.0);
    return float(std::max(-160.0, 10.0 * std::log10(meanSquare)));
}

// Shared between the recorder, the server connection's callbacks and the
// writer thread, so that a writer stuck on a slow disk can outlive the
// recorder safely.
struct PulseAudioCapture::State {
    std::mutex mutex;
    std::condition_variable cv;
    PulseServer::Pending opened;  // finished when the stream is ready or failed
    pa_stream* stream = nullptr;  // under the mainloop lock
    QByteArray captured;          // samples not yet written
    bool streamEnded = false;
    QString streamError;
    WavFileWriter wav;  // the writer thread's while it runs
    bool prepared = false;
    bool recording = false;
    bool stopRequested = false;
    bool threadDone = true;
    QString error;
    double sumSquares = 0;
    qint64 samples = 0;
    std::function<void(bool)> onFinished;
    std::function<void(std::optional<QString>)> onEncodeError;
};

namespace {
// 20 ms of audio per delivery: the meter gets fresh samples at every 50 ms
// tick.
constexpr int kChunkBytes = AudioCapture::kSampleRate / 50 * 2;

QString serverError(pa_stream* s) {
    return QString::fromUtf8(pa_strerror(pa_context_errno(pa_stream_get_context(s))));
}

// Callbacks on the connection's thread, with the mainloop lock held.
void onStreamState(pa_stream* s, void* data) {
    auto* st = static_cast<PulseAudioCapture::State*>(data);
    const pa_stream_state_t state = pa_stream_get_state(s);
    if (PA_STREAM_IS_GOOD(state) && state != PA_STREAM_READY) return;
    if (!PA_STREAM_IS_GOOD(state)) {
        std::lock_guard lock(st->mutex);
        st->streamEnded = true;
        st->streamError = serverError(s);
    }
    st->cv.notify_all();
    st->opened.finish();
}

void onStreamRead(pa_stream* s, size_t, void* data) {
    auto* st = static_cast<PulseAudioCapture::State*>(data);
    const void* bytes = nullptr;
    size_t n = 0;
    bool any = false;
    while (pa_stream_peek(s, &bytes, &n) == 0 && n > 0) {
        {
            std::lock_guard lock(st->mutex);
            // A hole in the stream stays in the recording as silence, so the
            // recording keeps the time line of what was said.
            if (bytes)
                st->captured.append(static_cast<const char*>(bytes), qsizetype(n));
            else
                st->captured.append(qsizetype(n), '\0');
        }
        pa_stream_drop(s);
        any = true;
    }
    if (any) st->cv.notify_all();
}

void writeLoop(std::shared_ptr<PulseAudioCapture::State> s) {
    bool failed = false;
    std::optional<QString> writeError;
    std::unique_lock lock(s->mutex);
    for (;;) {
        s->cv.wait(lock, [&] { return !s->captured.isEmpty() || s->stopRequested || s->streamEnded; });
        if (!s->captured.isEmpty()) {
            QByteArray chunk;
            chunk.swap(s->captured);
            // The disk is written without the lock: the connection's thread
            // must never wait for it.
            lock.unlock();
            const auto* samples = reinterpret_cast<const qint16*>(chunk.constData());
            const qint64 count = chunk.size() / 2;
            double sum = 0;
            for (qint64 i = 0; i < count; ++i) sum += double(samples[i]) * samples[i];
            const bool written = s->wav.append(chunk.constData(), count * 2);
            lock.lock();
            s->sumSquares += sum;
            s->samples += count;
            if (!written) {
                writeError = s->wav.errorString();
                s->error = *writeError;
                break;
            }
            continue;  // what came meanwhile is written before any ending
        }
        if (s->stopRequested) break;
        failed = true;  // the stream ended: the server or the source went away
        s->error = s->streamError;
        break;
    }
    lock.unlock();
    const bool finished = s->wav.finish();
    lock.lock();
    if (!finished && !writeError) s->error = s->wav.errorString();
    const bool stoppedByUser = s->stopRequested;
    s->recording = false;
    s->threadDone = true;
    std::function<void(bool)> onFinished;
    std::function<void(std::optional<QString>)> onEncodeError;
    if (!stoppedByUser) {
        onFinished = s->onFinished;
        onEncodeError = s->onEncodeError;
    }
    lock.unlock();
    s->cv.notify_all();
    if (writeError && onEncodeError) onEncodeError(writeError);
    if ((failed || writeError) && onFinished) onFinished(false);
}
}  // namespace

PulseAudioCapture::PulseAudioCapture(QString path, const QString& device)
    : PulseAudioCapture(std::move(path), device, PulseServer::shared()) {}

PulseAudioCapture::PulseAudioCapture(QString path, const QString& device, PulseServer& server)
    : m_path(std::move(path)), m_server(server), m_state(std::make_shared<State>()) {
    const pa_sample_spec spec{PA_SAMPLE_S16LE, uint32_t(kSampleRate), uint8_t(kChannels)};
    pa_buffer_attr attr;
    attr.maxlength = uint32_t(-1);
    attr.tlength = uint32_t(-1);
    attr.prebuf = uint32_t(-1);
    attr.minreq = uint32_t(-1);
    attr.fragsize = kChunkBytes;
    const QByteArray dev = device.toUtf8();
    State* st = m_state.get();
    QString reason;
    const auto deadline = m_server.deadline();
    const bool connected = m_server.withContext(deadline, [&](pa_context* c) {
        st->stream = pa_stream_new(c, "Dictation", &spec, nullptr);
        if (!st->stream) {
            reason = QString::fromUtf8(pa_strerror(pa_context_errno(c)));
            return;
        }
        pa_stream_set_state_callback(st->stream, onStreamState, st);
        pa_stream_set_read_callback(st->stream, onStreamRead, st);
        // The server starts capturing for this stream at once: whatever is
        // said from now on is kept.
        if (pa_stream_connect_record(st->stream, device.isEmpty() ? nullptr : dev.constData(),
                                     &attr, PA_STREAM_ADJUST_LATENCY) < 0)
            reason = serverError(st->stream);
    });
    if (!connected) {
        reason = QStringLiteral("the sound server did not answer");
    } else if (reason.isEmpty()) {
        if (!m_server.wait(st->opened, deadline)) {
            reason = QStringLiteral("the sound server did not answer");
        } else {
            std::lock_guard lock(st->mutex);
            if (st->streamEnded) reason = st->streamError;
        }
    }
    if (!reason.isEmpty()) {
        closeStream();
        throw AudioCaptureError("The microphone could not be opened: " + reason.toStdString());
    }
}

PulseAudioCapture::~PulseAudioCapture() {
    stop();
    if (!m_writer.joinable()) return;
    // A writer held up by the disk past stop()'s wait is joined on the pool,
    // so that the caller's thread does not wait for the disk.
    auto writer = std::make_shared<std::thread>(std::move(m_writer));
    runAsync([writer] { writer->join(); });
}

void PulseAudioCapture::closeStream() {
    State* st = m_state.get();
    m_server.locked([st] {
        if (!st->stream) return;
        pa_stream_set_state_callback(st->stream, nullptr, nullptr);
        pa_stream_set_read_callback(st->stream, nullptr, nullptr);
        pa_stream_disconnect(st->stream);
        pa_stream_unref(st->stream);
        st->stream = nullptr;
    });
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
    if (m_state->streamEnded) {
        m_state->error = m_state->streamError;
        return false;
    }
    m_state->onFinished = onFinished;
    m_state->onEncodeError = onEncodeError;
    m_state->recording = true;
    m_state->threadDone = false;
    m_writer = std::thread(writeLoop, m_state);
    return true;
}

void PulseAudioCapture::stop() {
    // Not under the state's lock: the callbacks take it inside the mainloop
    // lock.
    closeStream();
    std::unique_lock lock(m_state->mutex);
    const bool wasRecording = m_state->recording;
    m_state->stopRequested = true;
    m_state->cv.notify_all();
    // The writer finishes the file itself; a disk that stalls it may keep
    // it past this wait, and it then finishes on its own later.
    m_state->cv.wait_for(lock, std::chrono::seconds(2), [&] { return m_state->threadDone; });
    m_state->recording = false;
    const bool writerDone = m_state->threadDone;
    if (writerDone && m_state->wav.isOpen() && !m_state->wav.finish())
        m_state->error = m_state->wav.errorString();
    lock.unlock();
    // The writer has only its return left.
    if (writerDone && m_writer.joinable()) m_writer.join();
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
