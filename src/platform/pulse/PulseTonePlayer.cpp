#include "platform/pulse/PulseTonePlayer.h"

#include <pulse/error.h>
#include <pulse/rtclock.h>
#include <pulse/stream.h>
#include <pulse/timeval.h>

#include <cstdio>

#include "platform/Threading.h"
#include "platform/pulse/PulseServer.h"

namespace {

// One buffer on its way to the server. Owned by its stream's callbacks from
// the moment the stream exists; everything below runs on the connection's
// thread with the mainloop lock held.
struct Tone {
    std::vector<float> samples;
    size_t written = 0;  // bytes
    pa_mainloop_api* api = nullptr;
    pa_stream* stream = nullptr;
    pa_time_event* timer = nullptr;
    pa_operation* drain = nullptr;
    std::function<void(const QString&)> done;
};

void report(const std::function<void(const QString&)>& done, const QString& failure) {
    if (!failure.isEmpty()) {
        std::printf("SoundService: Failed to play tone: %s\n", failure.toUtf8().constData());
        std::fflush(stdout);
    }
    if (done) done(failure);
}

// Lets go of the stream and the tone; what to tell of its end.
std::function<void(const QString&)> release(Tone* tone) {
    if (tone->timer) tone->api->time_free(tone->timer);
    if (tone->drain) {
        pa_operation_cancel(tone->drain);
        pa_operation_unref(tone->drain);
    }
    pa_stream_set_state_callback(tone->stream, nullptr, nullptr);
    pa_stream_set_write_callback(tone->stream, nullptr, nullptr);
    pa_stream_disconnect(tone->stream);
    pa_stream_unref(tone->stream);
    auto done = std::move(tone->done);
    delete tone;
    return done;
}

void finish(Tone* tone, const QString& failure) {
    report(release(tone), failure);
}

QString streamError(pa_stream* s) {
    return QString::fromUtf8(pa_strerror(pa_context_errno(pa_stream_get_context(s))));
}

void onDrained(pa_stream* s, int success, void* data) {
    auto* tone = static_cast<Tone*>(data);
    pa_operation_unref(tone->drain);
    tone->drain = nullptr;
    finish(tone, success ? QString() : streamError(s));
}

void onWritable(pa_stream* s, size_t bytes, void* data) {
    auto* tone = static_cast<Tone*>(data);
    const size_t total = tone->samples.size() * sizeof(float);
    const size_t n = std::min(bytes, total - tone->written);
    if (n > 0) {
        const char* from = reinterpret_cast<const char*>(tone->samples.data()) + tone->written;
        if (pa_stream_write(s, from, n, nullptr, 0, PA_SEEK_RELATIVE) < 0) {
            finish(tone, streamError(s));
            return;
        }
        tone->written += n;
    }
    if (tone->written < total || tone->drain) return;
    pa_stream_set_write_callback(s, nullptr, nullptr);
    tone->drain = pa_stream_drain(s, onDrained, tone);
    if (!tone->drain) finish(tone, streamError(s));
}

void onState(pa_stream* s, void* data) {
    const pa_stream_state_t state = pa_stream_get_state(s);
    if (!PA_STREAM_IS_GOOD(state)) finish(static_cast<Tone*>(data), streamError(s));
}

void onTimeout(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* data) {
    finish(static_cast<Tone*>(data), QStringLiteral("the sound server did not answer"));
}

}  // namespace

PulseTonePlayer::PulseTonePlayer(PulseServer& server) : m_server(server) {}

void PulseTonePlayer::play(std::vector<float> samples, int sampleRate) {
    if (samples.empty()) return;
    // On a worker: a connection that is not up yet is made there, within
    // the timeout; from then on the stream runs on the connection's thread.
    runAsync([server = &m_server, samples = std::move(samples), sampleRate,
              done = onPlayed]() mutable {
        const pa_sample_spec spec{PA_SAMPLE_FLOAT32LE, uint32_t(sampleRate), 1};
        const pa_usec_t length = pa_usec_t(samples.size()) * PA_USEC_PER_SEC / uint32_t(sampleRate);
        const pa_usec_t limit = length + pa_usec_t(server->timeout().count()) * PA_USEC_PER_MSEC;
        QString failure;
        const bool connected = server->withContext(server->deadline(), [&](pa_context* c) {
            pa_stream* stream = pa_stream_new(c, "Feedback tone", &spec, nullptr);
            if (!stream) {
                failure = QString::fromUtf8(pa_strerror(pa_context_errno(c)));
                return;
            }
            auto* tone = new Tone{std::move(samples), 0, server->api(), stream, nullptr, nullptr,
                                  std::move(done)};
            pa_stream_set_state_callback(stream, onState, tone);
            pa_stream_set_write_callback(stream, onWritable, tone);
            tone->timer = pa_context_rttime_new(c, pa_rtclock_now() + limit, onTimeout, tone);
            if (pa_stream_connect_playback(stream, nullptr, nullptr, PA_STREAM_NOFLAGS, nullptr,
                                           nullptr) < 0) {
                failure = streamError(stream);
                done = release(tone);
            }
        });
        if (!connected) failure = QStringLiteral("the sound server did not answer");
        if (!failure.isEmpty()) report(done, failure);
    });
}
