#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>

#include "RecorderTestRig.h"
#include "core/L10n.h"

namespace {

const QString kCapText =
    "Запись достигла предела и была завершена. Похоже, залипла клавиша — запишите заново.";
const QString kTooLongText = "Запись слишком длинная — вероятно, залипла клавиша. Запишите заново.";

class Recorder : public RecorderTestRig {
protected:
    void SetUp() override {
        makeDirectory();
        make();
    }

    void make() {
        AudioRecorderService::Collaborators c = rigCollaborators();
        c.warmUpConnection = [this] { ++warmUps; };
        c.startStreamingChunks = [this] { ++streamStarts; };
        c.sendToTranscription = [this](const QString& url, double d) { sent.push_back({url, d}); };
        recorder = std::make_unique<AudioRecorderService>(std::move(c));
    }

    std::vector<std::pair<QString, double>> sent;
    int warmUps = 0;
    int streamStarts = 0;
};

// The release returns before the file is finished; a press meanwhile starts a
// new recording at once, and the first is handed on, whole, when its file is.
TEST_F(Recorder, APressWhileTheLastRecordingFinishesStartsANewOne) {
    start();
    FakeAudioCapture* first = captures.last();
    first->deferStop = true;
    first->growFileTo(44 + 64000);
    const QString firstFile = *recorder->recordingURL();
    clock.advance(2.0);
    recorder->stopRecording();
    EXPECT_TRUE(sent.empty());
    EXPECT_FALSE(recorder->isRecording());

    start();
    ASSERT_EQ(captures.attempts, 2);
    ASSERT_TRUE(recorder->isRecording());
    EXPECT_NE(*recorder->recordingURL(), firstFile);

    first->finishStop();
    ASSERT_TRUE(testsupport::waitUntil([&] { return sent.size() == 1; }));
    EXPECT_EQ(sent[0].first, firstFile);
    EXPECT_DOUBLE_EQ(sent[0].second, 2.0);
    // The new recording goes on, and the finished recorder is released.
    EXPECT_TRUE(recorder->isRecording());
    ASSERT_TRUE(testsupport::waitUntil([&] { return captures.alive() == 1; }));
    clock.advance(1.0);
    recorder->stopRecording();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_DOUBLE_EQ(sent[1].second, 1.0);
}

TEST_F(Recorder, StartRecordsIntoANewTemporaryWavAndStartsTheLaterStages) {
    start();
    ASSERT_TRUE(recorder->isRecording());
    ASSERT_EQ(files().size(), 1);
    EXPECT_TRUE(QRegularExpression(
                    "^ormil_[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\.wav$")
                    .match(files().first())
                    .hasMatch())
        << files().first().toStdString();
    EXPECT_EQ(*recorder->recordingURL(), QDir(dir).filePath(files().first()));
    EXPECT_EQ(warmUps, 1);
    EXPECT_EQ(streamStarts, 1);

    // A second start while recording must not orphan the running recorder.
    recorder->startRecording();
    testsupport::processEvents(50);
    EXPECT_EQ(captures.attempts, 1);
    EXPECT_EQ(files().size(), 1);
    EXPECT_TRUE(recorder->isRecording());

    clock.advance(3.0);
    recorder->stopRecording();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].first, QDir(dir).filePath(files().first()));
    EXPECT_DOUBLE_EQ(sent[0].second, 3.0);
    EXPECT_EQ(captures.alive(), 0);
    EXPECT_FALSE(recorder->recordingURL());
    // The file now belongs to the dispatch step.
    EXPECT_EQ(files().size(), 1);
}

TEST_F(Recorder, CancelBeforeTheStartRunsStartsNothing) {
    recorder->startRecording();
    recorder->cancelRecording();
    testsupport::processEvents(50);
    EXPECT_EQ(captures.attempts, 0);
    EXPECT_TRUE(files().isEmpty());
    EXPECT_TRUE(testsupport::debugLogText().contains(
        "[Audio] beginRecording ОТМЕНЁН (cancelRequested) — микрофон не запускаем"));
    // A later start is not held back by the old cancel.
    start();
    EXPECT_TRUE(recorder->isRecording());
}

TEST_F(Recorder, CancelWhileRecordingDeletesTheFileAndStopsTheTimers) {
    start();
    captures.last()->growFileTo(5000);
    recorder->cancelRecording();
    EXPECT_TRUE(files().isEmpty());
    EXPECT_EQ(captures.alive(), 0);
    EXPECT_EQ(overlay.current, OverlayState::idle);
    clock.advance(1600);
    EXPECT_TRUE(sent.empty());
    EXPECT_TRUE(notifier.notices.empty());
    EXPECT_TRUE(sounds.played.empty());
    EXPECT_EQ(clock.pendingTimers(), 0);
}

TEST_F(Recorder, StopWithNothingRecordingReturnsTheOverlayToIdle) {
    overlay.show(OverlayState::processing);  // what the hotkey flow shows first
    recorder->stopRecording();
    EXPECT_EQ(overlay.current, OverlayState::idle);
    EXPECT_TRUE(sent.empty());
    EXPECT_FALSE(app.lastError());
    EXPECT_TRUE(testsupport::debugLogText().contains(
        "[Audio] stopRecording: no active recorder! audioRecorder=false, isRecording=false"));
}

TEST_F(Recorder, StopAfterTheRecorderBrokeOffReleasesItAndItsFile) {
    start();
    captures.last()->recording = false;
    captures.last()->onFinished(false);
    ASSERT_TRUE(testsupport::waitUntil([&] { return app.lastError().has_value(); }));
    EXPECT_EQ(*app.lastError(), "Recording failed");
    recorder->stopRecording();
    EXPECT_EQ(captures.alive(), 0);
    EXPECT_TRUE(files().isEmpty());
    EXPECT_EQ(overlay.current, OverlayState::idle);
}

TEST_F(Recorder, SizeLimitAtStopCoversEveryRecordingTheCapAllows) {
    struct Case {
        qint64 size;
        bool dispatched;
    } cases[] = {
        {44, true},
        {41943041, true},  // about 22 minutes of speech
        {AudioRecorderService::maxAudioBytes, true},
        {AudioRecorderService::maxAudioBytes + 1, false},
    };
    EXPECT_EQ(AudioRecorderService::maxAudioBytes, 48032044);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        sent.clear();
        sounds.played.clear();
        app.setLastError(std::nullopt);
        for (const QString& f : files()) QFile::remove(QDir(dir).filePath(f));
        start();
        captures.last()->growFileTo(c.size);
        recorder->stopRecording();
        if (c.dispatched) {
            EXPECT_EQ(sent.size(), 1u);
            EXPECT_EQ(files().size(), 1);
            EXPECT_FALSE(app.lastError());
        } else {
            EXPECT_TRUE(sent.empty());
            EXPECT_TRUE(files().isEmpty());
            EXPECT_EQ(app.lastError().value_or(""), kTooLongText);
            EXPECT_EQ(overlay.current, OverlayState::error);
            EXPECT_EQ(sounds.played, std::vector<std::string>{"error"});
        }
    }
}

TEST_F(Recorder, CapSalvagesOnlyRecordingsThatHeardSomething) {
    struct Case {
        float power;
        qint64 size;
        bool salvaged;
    } cases[] = {
        {-50.0f, 64000, false},
        {-49.9f, 64000, true},
        {-49.9f, 1000, false},
        {-49.9f, 1001, true},
        {-10.0f, AudioRecorderService::maxAudioBytes, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.power << " dB, " << c.size << " bytes");
        sent.clear();
        sounds.played.clear();
        app.setLastError(std::nullopt);
        app.setIsRecording(true);
        captures.powers = {-160.0f, c.power, -70.0f};
        QSignalSpy ended(recorder.get(), &AudioRecorderService::recordingEndedAtCap);
        start();
        captures.last()->growFileTo(c.size);
        clock.advance(AudioRecorderService::maxRecordingSeconds - 1);
        EXPECT_TRUE(sent.empty());
        EXPECT_EQ(ended.count(), 0);
        clock.advance(1);
        EXPECT_EQ(ended.count(), 1);
        EXPECT_EQ(captures.alive(), 0);
        EXPECT_FALSE(app.isRecording());
        EXPECT_FLOAT_EQ(recorder->maxPowerObserved(), c.power);
        if (c.salvaged) {
            ASSERT_EQ(sent.size(), 1u);
            EXPECT_NEAR(sent[0].second, 1500.0, 1e-6);
            EXPECT_EQ(overlay.current, OverlayState::processing);
            EXPECT_EQ(sounds.played.back(), "stop");
            QFile::remove(sent[0].first);
        } else {
            EXPECT_TRUE(sent.empty());
            EXPECT_TRUE(files().isEmpty());
            EXPECT_EQ(app.lastError().value_or(""), kCapText);
            EXPECT_EQ(overlay.current, OverlayState::error);
            EXPECT_EQ(sounds.played.back(), "error");
        }
    }
}

TEST_F(Recorder, LongRecordingWarningComesOnlyWhileRecording) {
    start();
    clock.advance(1439.9);
    EXPECT_TRUE(notifier.notices.empty());
    clock.advance(0.2);
    ASSERT_EQ(notifier.notices.size(), 1u);
    EXPECT_EQ(notifier.notices[0].title, "Ormil");
    EXPECT_EQ(notifier.notices[0].body, L10n::longRecordingWarning(24));
    EXPECT_EQ(sounds.played, std::vector<std::string>{"stop"});
    recorder->cancelRecording();

    // The microphone stopped delivering: no warning for a dead recording.
    notifier.notices.clear();
    sounds.played.clear();
    start();
    captures.last()->recording = false;
    clock.advance(1441);
    EXPECT_TRUE(notifier.notices.empty());
    EXPECT_TRUE(sounds.played.empty());
}

TEST_F(Recorder, MeterMapsPowerToTheOverlayLevel) {
    const std::pair<float, float> cases[] = {
        {-160.0f, 0.0f}, {-60.0f, 0.0f}, {-50.0f, 0.0f}, {-25.0f, 0.5f}, {0.0f, 1.0f}, {3.0f, 1.0f},
    };
    for (auto [power, level] : cases) captures.powers.push_back(power);
    start();
    for (size_t i = 0; i < std::size(cases); ++i)
        clock.advance(AudioRecorderService::meteringInterval);
    ASSERT_EQ(overlay.levels.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_FLOAT_EQ(overlay.levels[i], cases[i].second) << cases[i].first << " dB";
    EXPECT_FLOAT_EQ(recorder->maxPowerObserved(), 3.0f);
}

TEST_F(Recorder, MeterLogIsThrottled) {
    captures.powers = {-20.0f};
    start();
    for (int i = 0; i < 60; ++i) clock.advance(AudioRecorderService::meteringInterval);
    const QString log = testsupport::debugLogText();
    QList<int> logged;
    auto it = QRegularExpression("\\[Audio\\] Metering #(\\d+): power=-20\\.0dB norm=0\\.6")
                  .globalMatch(log);
    while (it.hasNext()) logged << it.next().captured(1).toInt();
    EXPECT_EQ(logged, (QList<int>{1, 2, 3, 4, 5, 20, 40, 60}));
}

TEST_F(Recorder, FailedStartReportsCleansUpAndLeavesNoRecorder) {
    struct Case {
        const char* name;
        bool failCreation;
        bool recordResult;
        QString expectedError;
    } cases[] = {
        {"source cannot open", true, true, "Failed to start recording: no such source"},
        {"record() false", false, false, "Failed to start recording: the microphone did not start"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        captures.failCreation = c.failCreation;
        captures.recordResult = c.recordResult;
        sounds.played.clear();
        start();
        EXPECT_EQ(app.lastError().value_or(""), c.expectedError);
        EXPECT_EQ(overlay.current, OverlayState::error);
        EXPECT_EQ(sounds.played, std::vector<std::string>{"error"});
        EXPECT_TRUE(files().isEmpty());
        EXPECT_EQ(captures.alive(), 0);
        EXPECT_FALSE(recorder->recordingURL());
        EXPECT_EQ(warmUps, 0);
        EXPECT_EQ(clock.pendingTimers(), 0);
    }
    // The next dictation starts normally.
    captures.failCreation = false;
    captures.recordResult = true;
    start();
    EXPECT_TRUE(recorder->isRecording());
}

TEST_F(Recorder, EncodeErrorsReachLastError) {
    start();
    captures.last()->onEncodeError(QString("No space left on device"));
    ASSERT_TRUE(testsupport::waitUntil([&] { return app.lastError().has_value(); }));
    EXPECT_EQ(*app.lastError(), "Recording error: No space left on device");
}

}  // namespace
