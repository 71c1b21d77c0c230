// Ogg Opus encoding speed, side by side in one run:
//   live OggOpusStream::append of 60 s of speech fed in 100 ms pieces,
//   OggOpus::encode of a 25-minute WAV file,
//   and, as the reference, libopus alone on the same audio already at 48 kHz
//   with the same bit rate and complexity.
// Prints each real-time factor (seconds of audio per second of CPU work on
// one thread) and the ratio of ours to the reference.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <vector>

#include "audio/AudioFormat.h"
#include "audio/AudioFileReader.h"
#include "audio/OggOpus.h"
#include "service/TranscriptionService.h"

extern "C" {
#include <libavutil/samplefmt.h>
#include <opus/opus.h>
}

namespace {

constexpr int kBitrate = 24000;  // the default quality setting
constexpr double kLiveSeconds = 60;
constexpr double kFileSeconds = 25 * 60;

struct Audio {
    QTemporaryDir dir;
    QByteArray live16;               // 60 s, 16 kHz s16
    QString longWav;                 // 25 min, 16 kHz WAV file
    std::vector<opus_int16> long48;  // the same 25 min at 48 kHz
};

QByteArray readAs(const QString& wav, int rate) {
    QByteArray out;
    AudioFileReader::read(wav, rate, AV_SAMPLE_FMT_S16, [&](const uint8_t* bytes, int samples) {
        out.append(reinterpret_cast<const char*>(bytes), qsizetype(samples) * 2);
        return true;
    });
    return out;
}

QByteArray repeatTo(const QByteArray& pcm, double seconds) {
    const qsizetype bytes = qsizetype(seconds * 16000) * 2;
    QByteArray out;
    out.reserve(bytes);
    while (out.size() < bytes) out += pcm;
    return out.left(bytes);
}

Audio& audio() {
    static Audio* a = [] {
        auto* a = new Audio;
        const QString spoken = a->dir.filePath("spoken.wav");
        QProcess::execute("espeak-ng",
                          {"-v", "en", "-s", "150", "-w", spoken,
                           "Dictation turns speech into text. The recorder writes a wave file "
                           "while the encoder keeps pace, so that the compressed audio is ready "
                           "the moment the key is released."});
        const QByteArray phrase = readAs(spoken, 16000);
        if (phrase.isEmpty()) {
            std::fprintf(stderr, "espeak-ng gave no speech\n");
            std::exit(1);
        }
        a->live16 = repeatTo(phrase, kLiveSeconds);
        const QByteArray long16 = repeatTo(phrase, kFileSeconds);
        a->longWav = a->dir.filePath("long.wav");
        QFile f(a->longWav);
        f.open(QIODevice::WriteOnly);
        f.write(AudioFormat::createWAVChunk(QByteArray(44, 0) + long16, 44, 0,
                                                     long16.size() / 2));
        f.close();
        const QByteArray long48 = readAs(a->longWav, 48000);
        a->long48.resize(size_t(long48.size() / 2));
        std::memcpy(a->long48.data(), long48.constData(), size_t(long48.size()));
        return a;
    }();
    return *a;
}

// Real-time factors of the last run of each benchmark.
double g_live = 0, g_file = 0, g_reference = 0;

double cpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

void report(benchmark::State& state, double audioSeconds, double cpu, double& into) {
    into = audioSeconds * double(state.iterations()) / cpu;
    state.counters["x_realtime"] = into;
}

void BM_LiveStreamAppend(benchmark::State& state) {
    const QByteArray& pcm = audio().live16;
    const qsizetype piece = 1600 * 2;  // 100 ms
    double cpu = 0;
    for (auto _ : state) {
        const double t0 = cpuSeconds();
        auto stream = OggOpusStream::create(16000, kBitrate);
        for (qsizetype at = 0; at < pcm.size(); at += piece) stream->append(pcm.mid(at, piece));
        benchmark::DoNotOptimize(stream->finish());
        cpu += cpuSeconds() - t0;
    }
    report(state, kLiveSeconds, cpu, g_live);
}
BENCHMARK(BM_LiveStreamAppend)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_FileEncode25Minutes(benchmark::State& state) {
    const QString path = audio().longWav;
    double cpu = 0;
    for (auto _ : state) {
        const double t0 = cpuSeconds();
        benchmark::DoNotOptimize(OggOpus::encode(path, kBitrate));
        cpu += cpuSeconds() - t0;
    }
    report(state, kFileSeconds, cpu, g_file);
}
BENCHMARK(BM_FileEncode25Minutes)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_LibopusAloneAt48k(benchmark::State& state) {
    const auto& pcm = audio().long48;
    double cpu = 0;
    for (auto _ : state) {
        const double t0 = cpuSeconds();
        OpusEncoder* enc = OggOpus::newEncoder(kBitrate);
        unsigned char packet[OggOpus::kMaxPacketBytes];
        for (size_t at = 0; at + OggOpus::kFrameSamples <= pcm.size(); at += OggOpus::kFrameSamples)
            benchmark::DoNotOptimize(
                opus_encode(enc, pcm.data() + at, OggOpus::kFrameSamples, packet, sizeof packet));
        opus_encoder_destroy(enc);
        cpu += cpuSeconds() - t0;
    }
    report(state, double(pcm.size()) / 48000, cpu, g_reference);
}
BENCHMARK(BM_LibopusAloneAt48k)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    audio();  // the speech is made before anything is timed
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("\nOgg Opus at %d bit/s, complexity %d (x real time, one thread):\n", kBitrate,
                OggOpus::kComplexity);
    std::printf("  live OggOpusStream, 100 ms appends : %8.1f\n", g_live);
    std::printf("  OggOpus::encode, 25-minute WAV     : %8.1f\n", g_file);
    std::printf("  libopus alone at 48 kHz (reference): %8.1f\n", g_reference);
    if (g_reference > 0) {
        std::printf("  ratio live / reference             : %8.1f %%\n",
                    100 * g_live / g_reference);
        std::printf("  ratio file / reference             : %8.1f %%\n",
                    100 * g_file / g_reference);
    }
    return 0;
}
