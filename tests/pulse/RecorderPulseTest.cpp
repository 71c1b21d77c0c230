// The recorder, ducking and tones on the test environment's PulseAudio
// daemon: speech goes into the virtual microphone, tones into the null sink.
#include <gtest/gtest.h>
#include <pulse/error.h>
#include <pulse/simple.h>

#include <QDir>
#include <QElapsedTimer>
#include <QtEndian>
#include <atomic>
#include <mutex>
#include <thread>

#include "core/AppState.h"
#include "core/OverlayControl.h"
#include "fakes/FakeNotifier.h"
#include "fakes/FakeOverlay.h"
#include "fakes/FakeTonePlayer.h"
#include "pipeline/AudioDuckingService.h"
#include "pipeline/AudioRecorderService.h"
#include "pipeline/SoundService.h"
#include "platform/MicrophoneAccess.h"
#include "platform/Notifier.h"
#include "platform/SettingsStore.h"
#include "platform/TonePlayer.h"
#include "platform/pulse/PulseAudioCapture.h"
#include "platform/pulse/PulseServer.h"
#include "platform/pulse/PulseTonePlayer.h"
#include "platform/pulse/PulseVolume.h"
#include "pulse/RecorderSurroundings.h"
#include "support/PulseProbe.h"
#include "support/TestSupport.h"
#include "support/VirtualMic.h"

namespace {

quint32 le32(const QByteArray& b, int at) {
    return qFromLittleEndian<quint32>(b.constData() + at);
}

std::vector<quint32> sinkChannels() {
    return pulseprobe::sinkVolume().channels;
}

void setSinkChannels(const QStringList& values) {
    ASSERT_TRUE(pulseprobe::setSinkVolume(values));
}

class RealRecorder : public ::testing::Test, protected RecorderSurroundings {
protected:
    void SetUp() override {
        if (!testsupport::hasPulse()) GTEST_SKIP() << "no PulseAudio test environment";
        AudioRecorderService::Collaborators c = collaborators();
        c.sendToTranscription = [this](const QString& url, double d) { sent.push_back({url, d}); };
        recorder = std::make_unique<AudioRecorderService>(std::move(c));
    }

    void startAndWait() {
        recorder->startRecording();
        ASSERT_TRUE(testsupport::waitUntil([&] { return recorder->isRecording(); }))
            << app.lastError().value_or("").toStdString();
    }

    // Records for `seconds` of real time (the main loop runs the meter).
    void recordFor(double seconds) {
        QElapsedTimer t;
        t.start();
        testsupport::waitUntil([&] { return t.elapsed() >= qint64(seconds * 1000); },
                               int(seconds * 1000) + 20000);
    }

    std::vector<std::pair<QString, double>> sent;
    std::unique_ptr<AudioRecorderService> recorder;
};

TEST_F(RealRecorder, SpeechFromTheMicrophoneEndsUpInAValidWav) {
    EXPECT_EQ(MicrophoneAccess::shared().authorizationStatus(), MicrophoneAccess::authorized);
    const QByteArray speech = VirtualMic::speech(
        "The quick brown fox jumps over the lazy dog while the recorder listens carefully");
    ASSERT_GT(speech.size(), 3 * 32000);

    QElapsedTimer latency;
    latency.start();
    startAndWait();
    const qint64 startMs = latency.elapsed();
    VirtualMic::playAsync(speech);
    recordFor(3.0);
    latency.restart();
    recorder->stopRecording();
    const qint64 stopMs = latency.elapsed();
    VirtualMic::waitPlayed();

    // The file is finished on the capture thread.
    ASSERT_TRUE(testsupport::waitUntil([&] { return sent.size() == 1; }));
    const auto [path, duration] = sent[0];
    EXPECT_NEAR(duration, 3.0, 0.5);
    const QByteArray wav = testsupport::readFile(path);
    ASSERT_GT(wav.size(), 44);
    EXPECT_EQ(wav.left(4), "RIFF");
    EXPECT_EQ(wav.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(le32(wav, 24), 16000u);
    EXPECT_EQ(wav.mid(36, 4), "data");
    EXPECT_EQ(le32(wav, 4), quint32(wav.size() - 8));
    EXPECT_EQ(le32(wav, 40), quint32(wav.size() - 44));
    const qint64 dataBytes = wav.size() - 44;
    // The virtual microphone is paced by a feeder process; on a loaded machine
    // it lags and then catches up in bursts, so the amount of audio is only
    // checked to be substantial, not to match the wall clock.
    EXPECT_GT(dataBytes, 32000);
    const int peak = VirtualMic::peak(wav.mid(44));
    EXPECT_GT(peak, 100);
    const float loudest = *std::max_element(overlay.levels.begin(), overlay.levels.end());
    EXPECT_GT(loudest, 0.0f);
    EXPECT_GT(recorder->maxPowerObserved(), -50.0f);
    std::printf(
        "measured: start %lld ms, stop %lld ms, %.3f s recorded, %lld data bytes (%.3f s of "
        "audio), peak %d, %zu meter ticks, loudest level %.2f, max power %.1f dB\n",
        (long long)startMs, (long long)stopMs, duration, (long long)dataBytes, dataBytes / 32000.0,
        peak, overlay.levels.size(), loudest, recorder->maxPowerObserved());
    QFile::remove(path);
}

TEST_F(RealRecorder, SinkIsLoweredWhileRecordingAndRestoredExactlyAfter) {
    setSinkChannels({"50000", "40000"});  // an unbalanced output
    const std::vector<quint32> before = sinkChannels();
    ASSERT_EQ(before, (std::vector<quint32>{50000, 40000}));
    settings.set("audioDucking", 1);
    settings.set("duckingLevel", 50);
    PulseVolume volume(PulseServer::shared());
    AudioDuckingService ducking(settings, volume, Clock::system());

    QElapsedTimer duckTime;
    duckTime.start();
    ducking.duck();  // blocks for the volume read
    const qint64 duckMs = duckTime.elapsed();
    startAndWait();
    ducking.waitForQueue();
    const pulseprobe::SinkVolume lowered = pulseprobe::sinkVolume();
    EXPECT_EQ(lowered.percent, 76 * 50 / 100);
    ASSERT_EQ(lowered.channels.size(), 2u);
    std::printf("measured: duck() %lld ms, sink %u/%u before, %u/%u while recording\n",
                (long long)duckMs, before[0], before[1], lowered.channels[0], lowered.channels[1]);

    recorder->stopRecording();
    ducking.unduck();
    ducking.waitForQueue();
    EXPECT_EQ(sinkChannels(), before);
    // The repeated restores put back the same exact values.
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return testsupport::debugLogText().contains("(повтор 3/3)"); }));
    ducking.waitForQueue();
    EXPECT_EQ(sinkChannels(), before);
    for (const auto& s : sent) QFile::remove(s.first);
    setSinkChannels({"100%"});  // as the test environment starts
}

TEST_F(RealRecorder, AMissingSourceFailsTheStartAndAGoneChoiceFallsBack) {
    const QString path = QDir::temp().filePath("ormil_missing.wav");
    {
        PulseAudioCapture missing(path, "ormil_no_such_source");
        std::mutex mutex;
        std::optional<std::optional<QString>> started;
        missing.onStarted = [&](std::optional<QString> failure) {
            std::lock_guard lock(mutex);
            started = failure;
        };
        EXPECT_TRUE(missing.record());
        ASSERT_TRUE(testsupport::waitUntil([&] {
            std::lock_guard lock(mutex);
            return started.has_value();
        }));
        ASSERT_TRUE(started->has_value());
        EXPECT_TRUE(started->value().startsWith("The microphone could not be opened: "));
        EXPECT_FALSE(missing.isRecording());
        EXPECT_EQ(missing.errorString(), started->value());
    }
    QFile::remove(path);

    SettingsStore::shared().set("selectedMicrophone", "ormil_no_such_source");
    auto capture = PulseAudioCapture::factory()(path);
    ASSERT_TRUE(capture);
    std::atomic<bool> stopped = false;
    std::atomic<qint64> pushed = 0;
    capture->onSamples = [&](const char*, qint64 bytes) { pushed += bytes; };
    capture->onStopped = [&](std::optional<QString> failure) {
        EXPECT_FALSE(failure.has_value());
        stopped = true;
    };
    EXPECT_TRUE(capture->record());
    // The default source delivers: the samples are pushed as they come.
    ASSERT_TRUE(testsupport::waitUntil([&] { return pushed > 0; }));
    capture->stop();
    ASSERT_TRUE(testsupport::waitUntil([&] { return bool(stopped); }));
    EXPECT_FALSE(capture->isRecording());
    const QByteArray wav = testsupport::readFile(path);
    EXPECT_EQ(wav.left(4), "RIFF");
    EXPECT_EQ(wav.size() - 44, pushed);
    QFile::remove(path);
    SettingsStore::shared().remove("selectedMicrophone");
}

TEST_F(RealRecorder, TonesReachTheSpeakers) {
    setSinkChannels({"100%"});
    const pa_sample_spec spec{PA_SAMPLE_S16LE, 44100, 1};
    int err = 0;
    pa_simple* monitor =
        pa_simple_new(nullptr, "ormil-test", PA_STREAM_RECORD, "ormil_speakers.monitor", "monitor",
                      &spec, nullptr, nullptr, &err);
    ASSERT_NE(monitor, nullptr) << pa_strerror(err);
    PulseServer server;
    PulseTonePlayer player(server);
    std::mutex mutex;
    std::optional<QString> played;
    player.onPlayed = [&](const QString& failure) {
        std::lock_guard lock(mutex);
        played = failure;
    };
    player.play(SoundService::synthesize({{440.0, 0.5}}, 0.5f), SoundService::sampleRate);
    QByteArray heard(44100 * 2, 0);  // 1 s
    ASSERT_EQ(pa_simple_read(monitor, heard.data(), size_t(heard.size()), &err), 0)
        << pa_strerror(err);
    pa_simple_free(monitor);
    ASSERT_TRUE(testsupport::waitUntil([&] {
        std::lock_guard lock(mutex);
        return played.has_value();
    }));
    EXPECT_EQ(played.value_or("?"), "");
    const int peak = VirtualMic::peak(heard);
    // 0.5 of full scale, less whatever resampling does to the edges.
    EXPECT_GT(peak, 12000);
    EXPECT_LT(peak, 20000);
    std::printf("measured: tone peak on the sink monitor %d (expected about 16384)\n", peak);
}

}  // namespace
