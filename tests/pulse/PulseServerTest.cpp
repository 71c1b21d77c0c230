// The in-process volume and microphone back ends on a real PulseAudio
// daemon, checked against what pactl sees from outside; and the shared
// connection when its server goes away, comes back or hangs.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtEndian>
#include <atomic>
#include <mutex>
#include <thread>

#include "platform/Threading.h"
#include "platform/pulse/PulseAudioCapture.h"
#include "platform/pulse/PulseMicrophoneAccess.h"
#include "platform/pulse/PulseServer.h"
#include "platform/pulse/PulseTonePlayer.h"
#include "platform/pulse/PulseVolume.h"
#include "pulse/RecorderSurroundings.h"
#include "support/PulseProbe.h"
#include "support/TestSupport.h"

namespace {

using namespace std::chrono_literals;

class PulseBackEnds : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testsupport::hasPulse()) GTEST_SKIP() << "no PulseAudio test environment";
    }
    void TearDown() override {
        // As the test environment starts.
        pulseprobe::setSinkVolume({"100%"});
        pulseprobe::setSinkMuted(false);
    }
    PulseServer server;
    PulseVolume volume{server};
};

TEST_F(PulseBackEnds, ReadingAgreesWithPactl) {
    const struct {
        QStringList set;
        bool muted;
    } cases[] = {
        {{"100%"}, false},  {{"50000", "40000"}, false},  // unbalanced: the loudest channel counts
        {{"49152"}, true},  {{"0"}, false},
        {{"98304"}, false},  // above 100 %
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.set.join(' ').toStdString());
        ASSERT_TRUE(pulseprobe::setSinkVolume(c.set));
        ASSERT_TRUE(pulseprobe::setSinkMuted(c.muted));
        const auto read = volume.getVolumeSettings();
        ASSERT_TRUE(read);
        EXPECT_EQ(read->volume, pulseprobe::sinkVolume().percent);
        EXPECT_EQ(read->muted, pulseprobe::sinkMuted());
    }
}

TEST_F(PulseBackEnds, PactlSeesWhatIsSet) {
    ASSERT_TRUE(pulseprobe::setSinkVolume({"50000", "40000"}));
    const pulseprobe::SinkVolume before = pulseprobe::sinkVolume();
    const auto read = volume.getVolumeSettings();
    ASSERT_TRUE(read);
    ASSERT_EQ(read->volume, 76);

    volume.setSystemVolume(38);
    const pulseprobe::SinkVolume lowered = pulseprobe::sinkVolume();
    EXPECT_EQ(lowered.percent, 38);
    ASSERT_EQ(lowered.channels.size(), 2u);
    // The balance between the channels stays.
    EXPECT_NEAR(double(lowered.channels[1]) / lowered.channels[0], 0.8, 0.01);

    // The level that was read comes back exactly, not as a rounded percentage.
    volume.setSystemVolume(76);
    EXPECT_EQ(pulseprobe::sinkVolume(), before);

    volume.setSystemVolume(0);
    EXPECT_EQ(pulseprobe::sinkVolume().channels, (std::vector<quint32>{0, 0}));
}

TEST_F(PulseBackEnds, TheTestMicrophoneIsACaptureSource) {
    EXPECT_EQ(PulseMicrophoneAccess(server).authorizationStatus(), MicrophoneAccess::authorized);
}

class PrivateServer : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testsupport::hasPulse()) GTEST_SKIP() << "no PulseAudio test environment";
        ASSERT_TRUE(daemon.start());
        // A short timeout keeps the cases with a hung server quick; nothing
        // here depends on its length.
        server = std::make_unique<PulseServer>(daemon.address().toUtf8(), 500ms);
        volume = std::make_unique<PulseVolume>(*server);
    }

    PrivatePulseServer daemon;
    std::unique_ptr<PulseServer> server;
    std::unique_ptr<PulseVolume> volume;
};

TEST_F(PrivateServer, OnlyCaptureSourcesMakeAMicrophone) {
    PulseMicrophoneAccess access(*server);
    // A null sink's monitor is a source, but no microphone.
    EXPECT_EQ(access.authorizationStatus(), MicrophoneAccess::denied);
    ASSERT_TRUE(pulseprobe::pactl({"load-module", "module-null-source", "source_name=private_mic"},
                                  daemon.address()));
    EXPECT_EQ(access.authorizationStatus(), MicrophoneAccess::authorized);
    daemon.kill();
    EXPECT_EQ(access.authorizationStatus(), MicrophoneAccess::denied);
}

TEST_F(PrivateServer, ReconnectsAfterTheServerComesBack) {
    ASSERT_TRUE(volume->getVolumeSettings());
    daemon.kill();
    EXPECT_FALSE(volume->getVolumeSettings());
    volume->setSystemVolume(10);  // returns, changes nothing
    ASSERT_TRUE(daemon.start());
    ASSERT_TRUE(pulseprobe::setSinkVolume({"30%"}, daemon.address()));
    const auto read = volume->getVolumeSettings();
    ASSERT_TRUE(read);
    EXPECT_EQ(read->volume, 30);
}

TEST_F(PrivateServer, AHungServerCostsAtMostTheTimeout) {
    ASSERT_TRUE(volume->getVolumeSettings());
    daemon.freeze();
    // Both on the kept connection and on a new one that cannot finish its
    // handshake.
    EXPECT_FALSE(volume->getVolumeSettings());
    PulseServer fresh(daemon.address().toUtf8(), 500ms);
    EXPECT_FALSE(PulseVolume(fresh).getVolumeSettings());
    EXPECT_EQ(PulseMicrophoneAccess(fresh).authorizationStatus(), MicrophoneAccess::denied);
    daemon.thaw();
    EXPECT_TRUE(volume->getVolumeSettings());
    EXPECT_TRUE(PulseVolume(fresh).getVolumeSettings());
}

// A press while the sound server hangs: the main thread goes on at once and
// the recording fails with its clear reason once the connection's timeout
// passed, whether the key is still held then or was released meanwhile, on
// the kept connection and on a new one that cannot finish its handshake.
TEST_F(PrivateServer, APressOnAHungServerFailsWithoutHoldingUpTheMainThread) {
    const QString dir = testsupport::root() + "/hung";
    QDir().mkpath(dir);
    const struct {
        const char* name;
        bool freshConnection;
        bool releasedEarly;
    } cases[] = {{"held, kept connection", false, false},
                 {"released while it opens, new connection", true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Longer than any hold-up of a busy machine, so that the main thread
        // surely runs before it passes.
        PulseServer used(daemon.address().toUtf8(), 3s);
        if (!c.freshConnection) {
            ASSERT_TRUE(PulseVolume(used).getVolumeSettings());
        }
        RecorderSurroundings around;
        bool sent = false;
        AudioRecorderService::Collaborators rc = around.collaborators();
        rc.makeRecorder = [&used](const QString& path) {
            return std::make_unique<PulseAudioCapture>(path, QString(), used);
        };
        rc.microphoneStatus = [] { return 3; };
        rc.directory = dir;
        rc.sendToTranscription = [&](const QString&, double) { sent = true; };
        AudioRecorderService recorder(std::move(rc));

        daemon.freeze();
        recorder.startRecording();
        ASSERT_TRUE(testsupport::waitUntil([&] { return recorder.isRecording(); }));
        bool ran = false;
        runOnMain([&] { ran = true; });
        ASSERT_TRUE(testsupport::waitUntil([&] { return ran; }));
        EXPECT_FALSE(around.app.lastError().has_value());  // ran before the timeout
        if (c.releasedEarly) recorder.stopRecording();
        ASSERT_TRUE(testsupport::waitUntil([&] { return around.app.lastError().has_value(); }));
        EXPECT_EQ(around.app.lastError().value_or(""),
                  "Failed to start recording: The microphone could not be opened: the sound "
                  "server did not answer");
        EXPECT_EQ(around.overlay.current, OverlayState::error);
        EXPECT_FALSE(sent);
        EXPECT_FALSE(recorder.isRecording());
        EXPECT_TRUE(QDir(dir).entryList(QDir::Files).isEmpty());
        daemon.thaw();
    }
}

// Tones go out on the kept connection. While the server hangs each one is
// dropped once the timeout passed, and meanwhile neither the caller nor a
// worker of the pool waits for it; once the server answers again they play.
TEST_F(PrivateServer, TonesOnAHungServerAreDroppedWithoutHoldingUpAnyThread) {
    // Longer than any hold-up of a busy machine, so that the workers surely
    // finish before it passes.
    PulseServer used(daemon.address().toUtf8(), 3s);
    PulseTonePlayer player(used);
    std::mutex mutex;
    std::vector<QString> results;
    player.onPlayed = [&](const QString& failure) {
        std::lock_guard lock(mutex);
        results.push_back(failure);
    };
    auto ended = [&] {
        std::lock_guard lock(mutex);
        return results.size();
    };
    const std::vector<float> tone(4410, 0.25f);  // 0.1 s

    // This program's connections to the server, as the server lists them.
    auto connections = [&] {
        QString out;
        EXPECT_TRUE(pulseprobe::pactl({"list", "short", "clients"}, daemon.address(), &out));
        const QString self = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
        return out.split('\n')
            .filter(QRegularExpression("\\t" + QRegularExpression::escape(self) + "$"))
            .size();
    };

    player.play(tone, 44100);
    ASSERT_TRUE(testsupport::waitUntil([&] { return ended() == 1; }));
    EXPECT_EQ(results[0], "") << "played on the null sink";
    player.play(tone, 44100);
    ASSERT_TRUE(testsupport::waitUntil([&] { return ended() == 2; }));
    EXPECT_EQ(connections(), 1) << "the kept connection, none of a tone's own";

    daemon.freeze();
    for (int i = 0; i < 3; ++i) player.play(tone, 44100);
    bool ran = false;
    runOnMain([&] { ran = true; });
    ASSERT_TRUE(testsupport::waitUntil([&] { return ran; }));
    EXPECT_TRUE(waitForAsyncWork(60000)) << "a worker waits for the hung server";
    EXPECT_EQ(ended(), 2u) << "dropped before the timeout";
    ASSERT_TRUE(testsupport::waitUntil([&] { return ended() == 5; }));
    for (int i = 2; i < 5; ++i) EXPECT_EQ(results[i], "the sound server did not answer");

    daemon.thaw();
    player.play(tone, 44100);
    ASSERT_TRUE(testsupport::waitUntil([&] { return ended() == 6; }));
    EXPECT_EQ(results[5], "");
}

TEST_F(PrivateServer, ARecordingEndsCleanlyWhenTheServerGoesAway) {
    // The only source is the null sink's monitor: silence, but samples.
    const QString path = QDir(testsupport::root()).filePath("gone.wav");
    PulseAudioCapture capture(path, {}, *server);
    std::atomic<int> finished{-1};
    capture.onFinished = [&](bool ok) { finished = ok ? 1 : 0; };
    ASSERT_TRUE(capture.record());
    ASSERT_TRUE(testsupport::waitUntil([&] { return QFileInfo(path).size() > 44 + 3200; }));
    daemon.kill();
    ASSERT_TRUE(testsupport::waitUntil([&] { return finished != -1; }));
    EXPECT_EQ(finished, 0);
    EXPECT_FALSE(capture.isRecording());
    EXPECT_FALSE(capture.errorString().isEmpty());
    // What was recorded stays a whole WAV file.
    const QByteArray wav = testsupport::readFile(path);
    EXPECT_EQ(qFromLittleEndian<quint32>(wav.constData() + 4), quint32(wav.size() - 8));
    EXPECT_EQ(qFromLittleEndian<quint32>(wav.constData() + 40), quint32(wav.size() - 44));
}

TEST_F(PrivateServer, CallersOnSeveralThreadsSurviveRestarts) {
    // The main thread reads while the ducking queue writes; neither may
    // deadlock against the connection's own thread when the server goes
    // away in the middle of a request.
    std::atomic<bool> stop{false};
    std::atomic<int> answered{0};
    std::vector<std::thread> callers;
    for (int t = 0; t < 3; ++t) {
        callers.emplace_back([&, t] {
            PulseMicrophoneAccess access(*server);
            while (!stop) {
                if (t == 0 && volume->getVolumeSettings()) ++answered;
                if (t == 1) volume->setSystemVolume(40);
                if (t == 2) access.authorizationStatus();
            }
        });
    }
    for (int round = 0; round < 3; ++round) {
        const int before = answered;
        EXPECT_TRUE(testsupport::waitUntil([&] { return answered > before; }));
        daemon.kill();
        ASSERT_TRUE(daemon.start());
    }
    stop = true;
    for (auto& t : callers) t.join();
}

}  // namespace
