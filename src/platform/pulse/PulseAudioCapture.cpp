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
// capture thread, so that a capture thread held up by the server or by a
// slow disk can outlive the recorder safely.
struct PulseAudioCapture::State {
    PulseServer* server = nullptr;
    QString device;  // empty: the server's default source
    bool fallBackToDefault = false;
    std::mutex mutex;
    std::condition_variable cv;
    // Finished when the stream is ready or failed; one per attempt to open.
    std::unique_ptr<PulseServer::Pending> opened;
    bool openDone = false;  // the capture thread knows how the opening went
    std::optional<QString> startFailure;
    pa_stream* stream = nullptr;  // under the mainloop lock
    QByteArray captured;          // samples not yet written
    bool streamEnded = false;
    QString streamError;
    WavFileWriter wav;  // the capture thread's while it runs
    bool prepared = false;
    bool recording = false;
    bool stopRequested = false;
    bool threadDone = true;
    QString error;
    double sumSquares = 0;
    qint64 samples = 0;
    std::function<void(std::optional<QString>)> onStarted;
    std::function<void(const char*, qint64)> onSamples;
    std::function<void(std::optional<QString>)> onStopped;
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
    st->opened->finish();
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

void closeStream(PulseAudioCapture::State* st) {
    st->server->locked([st] {
        if (!st->stream) return;
        pa_stream_set_state_callback(st->stream, nullptr, nullptr);
        pa_stream_set_read_callback(st->stream, nullptr, nullptr);
        pa_stream_disconnect(st->stream);
        pa_stream_unref(st->stream);
        st->stream = nullptr;
    });
}

// Opens a record stream on `device` (the default source when empty): one
// round trip to the server, bounded by the connection's timeout. The
// user-facing reason when it cannot.
std::optional<QString> openStream(PulseAudioCapture::State* st, const QString& device) {
    const pa_sample_spec spec{PA_SAMPLE_S16LE, uint32_t(AudioCapture::kSampleRate),
                              uint8_t(AudioCapture::kChannels)};
    pa_buffer_attr attr;
    attr.maxlength = uint32_t(-1);
    attr.tlength = uint32_t(-1);
    attr.prebuf = uint32_t(-1);
    attr.minreq = uint32_t(-1);
    attr.fragsize = kChunkBytes;
    const QByteArray dev = device.toUtf8();
    {
        std::lock_guard lock(st->mutex);
        st->streamEnded = false;
        st->streamError.clear();
    }
    st->opened = std::make_unique<PulseServer::Pending>();
    QString reason;
    const auto deadline = st->server->deadline();
    const bool connected = st->server->withContext(deadline, [&](pa_context* c) {
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
        if (!PulseServer::wait(*st->opened, deadline)) {
            reason = QStringLiteral("the sound server did not answer");
        } else {
            std::lock_guard lock(st->mutex);
            if (st->streamEnded) reason = st->streamError;
        }
    }
    if (reason.isEmpty()) return std::nullopt;
    closeStream(st);
    return QStringLiteral("The microphone could not be opened: ") + reason;
}

void captureLoop(std::shared_ptr<PulseAudioCapture::State> s) {
    std::optional<QString> startFailure = openStream(s.get(), s->device);
    // The chosen microphone is gone: record from the default one.
    if (startFailure && s->fallBackToDefault && !s->device.isEmpty())
        startFailure = openStream(s.get(), QString());
    std::unique_lock lock(s->mutex);
    s->openDone = true;
    s->startFailure = startFailure;
    if (startFailure) {
        s->error = *startFailure;
        s->recording = false;
    }
    const bool stoppedMeanwhile = s->stopRequested;
    const auto onStarted = s->onStarted;
    lock.unlock();
    // A stop() that came while the stream was opening left the closing here.
    if (stoppedMeanwhile) closeStream(s.get());
    if (onStarted) onStarted(startFailure);
    lock.lock();

    bool failed = false;
    std::optional<QString> writeError;
    for (; !startFailure;) {
        s->cv.wait(lock,
                   [&] { return !s->captured.isEmpty() || s->stopRequested || s->streamEnded; });
        if (!s->captured.isEmpty()) {
            QByteArray chunk;
            chunk.swap(s->captured);
            const auto onSamples = s->onSamples;
            // The disk and the readers of the samples go without the lock:
            // the connection's thread must never wait for them.
            lock.unlock();
            const auto* samples = reinterpret_cast<const qint16*>(chunk.constData());
            const qint64 count = chunk.size() / 2;
            double sum = 0;
            for (qint64 i = 0; i < count; ++i) sum += double(samples[i]) * samples[i];
            const bool written = s->wav.append(chunk.constData(), count * 2);
            if (onSamples) onSamples(chunk.constData(), count * 2);
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
    if (!startFailure) closeStream(s.get());
    const bool finished = s->wav.finish();
    lock.lock();
    if (!finished && !writeError && !startFailure) s->error = s->wav.errorString();
    const bool stoppedByUser = s->stopRequested;
    s->recording = false;
    s->threadDone = true;
    const auto onFinished = s->onFinished;
    const auto onEncodeError = s->onEncodeError;
    const auto onStopped = s->onStopped;
    lock.unlock();
    s->cv.notify_all();
    if (stoppedByUser) {
        if (!startFailure && onFinished) onFinished(true);
        if (onStopped) onStopped(startFailure);
        return;
    }
    if (writeError && onEncodeError) onEncodeError(writeError);
    if ((failed || writeError) && onFinished) onFinished(false);
}
}  // namespace

PulseAudioCapture::PulseAudioCapture(QString path, const QString& device)
    : PulseAudioCapture(std::move(path), device, PulseServer::shared()) {}

PulseAudioCapture::PulseAudioCapture(QString path, const QString& device, PulseServer& server)
    : m_path(std::move(path)), m_state(std::make_shared<State>()) {
    m_state->server = &server;
    m_state->device = device;
}

PulseAudioCapture::~PulseAudioCapture() {
    onStarted = nullptr;
    onSamples = nullptr;
    onStopped = nullptr;
    onFinished = nullptr;
    onEncodeError = nullptr;
    {
        std::lock_guard lock(m_state->mutex);
        m_state->onStarted = nullptr;
        m_state->onSamples = nullptr;
        m_state->onStopped = nullptr;
        m_state->onFinished = nullptr;
        m_state->onEncodeError = nullptr;
    }
    stop();
    if (!m_thread.joinable()) return;
    // The capture thread may still be opening the stream or finishing the
    // file: it is joined on the pool, so the caller's thread never waits.
    auto thread = std::make_shared<std::thread>(std::move(m_thread));
    runAsync([thread] { thread->join(); });
}

void PulseAudioCapture::setFallBackToDefaultSource(bool fallBack) {
    m_state->fallBackToDefault = fallBack;
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
    m_state->onStarted = onStarted;
    m_state->onSamples = onSamples;
    m_state->onStopped = onStopped;
    m_state->onFinished = onFinished;
    m_state->onEncodeError = onEncodeError;
    m_state->recording = true;
    m_state->threadDone = false;
    m_thread = std::thread(captureLoop, m_state);
    return true;
}

void PulseAudioCapture::stop() {
    std::unique_lock lock(m_state->mutex);
    const bool first = !m_state->stopRequested;
    m_state->stopRequested = true;
    const bool threadRuns = !m_state->threadDone;
    const bool opened = m_state->openDone;
    // Stops that come after the recorder was told what to call go to the
    // callbacks it was last given.
    if (first && threadRuns) m_state->onStopped = onStopped;
    lock.unlock();
    m_state->cv.notify_all();
    // A stream being opened is closed by the capture thread once the server
    // answered (or the timeout came); one that is open is closed now, so the
    // microphone is released at once. Not under the state's lock: the
    // callbacks take it inside the mainloop lock.
    if (opened) closeStream(m_state.get());
    if (threadRuns) return;
    // Never recorded: the file (if any) is finished here.
    lock.lock();
    if (m_state->wav.isOpen() && !m_state->wav.finish())
        m_state->error = m_state->wav.errorString();
    const std::optional<QString> startFailure = m_state->startFailure;
    lock.unlock();
    if (first && onStopped) onStopped(startFailure);
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
        auto capture = std::make_unique<PulseAudioCapture>(path, chosen);
        capture->setFallBackToDefaultSource(true);
        return capture;
    };
}
