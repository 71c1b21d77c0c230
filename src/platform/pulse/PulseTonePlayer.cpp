#include "platform/pulse/PulseTonePlayer.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <atomic>
#include <cstdio>

#include "platform/Threading.h"

QString PulseTonePlayer::playBlocking(const std::vector<float>& samples, int sampleRate) {
    if (samples.empty()) return {};
    const pa_sample_spec spec{PA_SAMPLE_FLOAT32LE, uint32_t(sampleRate), 1};
    int err = 0;
    pa_simple* s = pa_simple_new(nullptr, "Ormil", PA_STREAM_PLAYBACK, nullptr, "Feedback tone",
                                 &spec, nullptr, nullptr, &err);
    if (!s) return QString::fromUtf8(pa_strerror(err));
    QString error;
    if (pa_simple_write(s, samples.data(), samples.size() * sizeof(float), &err) < 0 ||
        pa_simple_drain(s, &err) < 0) {
        error = QString::fromUtf8(pa_strerror(err));
    }
    pa_simple_free(s);
    return error;
}

void PulseTonePlayer::play(std::vector<float> samples, int sampleRate) {
    runAsync([samples = std::move(samples), sampleRate] {
        const QString error = playBlocking(samples, sampleRate);
        if (!error.isEmpty()) {
            std::printf("SoundService: Failed to play tone: %s\n", error.toUtf8().constData());
            std::fflush(stdout);
        }
    });
}
