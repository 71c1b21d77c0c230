#include <QTemporaryDir>

#include "DispatchTestFixture.h"
#include "platform/WavFileWriter.h"
#include "core/L10n.h"

using namespace dispatchtest;

namespace {

class Dispatch : public DispatchFixture {};

struct GateCase {
    const char* name;
    int amplitude;
    double seconds;
    bool sent;
    QString hintTitle;  // empty when sent
    const char* counterKey;
};

TEST_F(Dispatch, GateKeepsSilenceAndShortPressesFromTheService) {
    const GateCase cases[] = {
        {"peak 100 is silence", 100, 2.0, false, L10n::nothingHeardTitle(), "silentHintsShown"},
        {"peak 101 is sent", 101, 2.0, true, {}, nullptr},
        {"0.5 s is too short", 3000, 0.5, false, L10n::tooShortTitle(), "shortPressHintsShown"},
        {"0.55 s is sent", 6000, 0.55, true, {}, nullptr},
        {"silence wins over a short press", 50, 0.3, false, L10n::nothingHeardTitle(),
         "silentHintsShown"},
    };
    for (const GateCase& c : cases) {
        SCOPED_TRACE(c.name);
        const int before = uploadCount();
        notifier.notices.clear();
        app.setLastError(std::nullopt);
        start();
        recordFor(c.seconds, c.amplitude);
        stopAndSettle();
        ASSERT_TRUE(testsupport::waitUntil([&] { return uploadCount() == before + int(c.sent); }));
        EXPECT_TRUE(files().isEmpty());
        if (c.sent) {
            EXPECT_EQ(overlay.current, OverlayState::success);
            EXPECT_TRUE(notifier.notices.empty());
        } else {
            EXPECT_EQ(overlay.current, OverlayState::error);
            ASSERT_EQ(notifier.notices.size(), 1u);
            EXPECT_EQ(notifier.notices[0].title, c.hintTitle);
            EXPECT_FALSE(app.lastError().has_value());
            EXPECT_FALSE(app.isProcessing());
        }
    }
    EXPECT_EQ(settings.integer("silentHintsShown"), 2);
    EXPECT_EQ(settings.integer("shortPressHintsShown"), 1);
}

TEST_F(Dispatch, HintsStopAfterTheThirdButTheErrorStateStays) {
    for (int i = 1; i <= 4; ++i) {
        overlay.states.clear();
        start();
        recordFor(2, 0);
        stopAndSettle();
        EXPECT_EQ(overlay.current, OverlayState::error) << i;
        EXPECT_EQ(notifier.notices.size(), size_t(std::min(i, 3))) << i;
    }
    EXPECT_EQ(notifier.notices.back().body, L10n::nothingHeardHint());
    EXPECT_EQ(settings.integer("silentHintsShown"), 3);
}

TEST_F(Dispatch, RecordingWithoutDataChunkCountsAsSilence) {
    start();
    // A header cut short: no "data" chunk to read samples from.
    QFile f(path());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(QByteArray("RIFF\0\0\0\0WAVEfmt ", 16));
    f.close();
    clock.advance(3);
    stopAndSettle();
    EXPECT_EQ(uploadCount(), 0);
    EXPECT_EQ(overlay.current, OverlayState::error);
    EXPECT_EQ(notifier.notices.size(), 1u);
}

struct ReencodeCase {
    const char* name;
    bool opusWorks;
    bool aacWorks;
    const char* format;
    QByteArray payloadStart;
};

TEST_F(Dispatch, ReencodeFallsBackFromOpusToAacToWav) {
    const ReencodeCase cases[] = {
        {"opus", true, true, "ogg", "OggS-reencoded"},
        {"aac", false, true, "m4a", "m4a-bytes"},
        {"wav", false, false, "wav", "RIFF"},
    };
    for (const ReencodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        const int before = uploadCount();
        onEncodeOpus = [&](const QString&, int) -> std::optional<QByteArray> {
            if (c.opusWorks) return QByteArray("OggS-reencoded");
            return std::nullopt;
        };
        aacWorks = c.aacWorks;
        start();
        // A quiet recording: the live encoding is not used, the file is.
        recordFor(6, 1000);
        stopAndSettle();
        ASSERT_TRUE(testsupport::waitUntil([&] { return uploadCount() == before + 1; }));
        std::lock_guard lock(mutex);
        EXPECT_EQ(uploads.back().format, c.format);
        EXPECT_TRUE(uploads.back().audio.startsWith(c.payloadStart));
        // No compressed file is left behind.
        EXPECT_TRUE(files().isEmpty());
    }
}

TEST_F(Dispatch, LongRecordingWithoutWindowsIsSentAsTheWholeWav) {
    start();
    // More than 60 s, but no tick saw a full window: the ordinary path.
    clock.advance(70.5);
    append(tone(70, 8000));
    const QByteArray recorded = testsupport::readFile(path());
    ASSERT_EQ(recorder->streamedWindows(), 0);
    stopAndSettle();
    ASSERT_EQ(uploadCount(), 1);
    EXPECT_EQ(uploads[0].format, "wav");
    EXPECT_EQ(uploads[0].audio, recorded);
    EXPECT_EQ(opusEncodes, 0);
}

TEST_F(Dispatch, FailedUploadIsQueuedForRetryAndReported) {
    settings.set("recognitionLanguage", "de");
    settings.set("provider", "other");
    settings.set("translateTargetLanguage", "fr");
    uploadError = "Server error (500)";
    start(/*translate=*/true);
    recordFor(3.7, 9000);
    stopAndSettle();
    ASSERT_EQ(uploadCount(), 1);
    EXPECT_EQ(uploads[0].translateTo, std::optional<QString>("fr"));

    ASSERT_EQ(failed.size(), 1u);
    const FailedEntry& e = failed[0];
    EXPECT_EQ(e.audio, uploads[0].audio);
    EXPECT_EQ(e.format, uploads[0].format);
    // The language used for recognition, not the translation target.
    EXPECT_EQ(e.language, "de");
    EXPECT_EQ(e.provider, "other");
    EXPECT_EQ(e.tone, "neutral");
    EXPECT_NEAR(e.duration, 3.7, 1e-9);
    EXPECT_EQ(e.error, "Server error (500)");

    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].category, "transcription");
    EXPECT_EQ(reports[0].code, "transcription_failed");
    EXPECT_EQ(reports[0].message, "Server error (500)");
    EXPECT_EQ(reports[0].context, QJsonObject({{"audio_seconds", 3}}));

    EXPECT_EQ(app.lastError(), std::optional<QString>("Transcription failed — saved for retry"));
    EXPECT_FALSE(app.isProcessing());
    EXPECT_EQ(overlay.current, OverlayState::error);
    EXPECT_EQ(sounds.played, std::vector<std::string>{"error"});
    EXPECT_TRUE(inserted.empty());
    EXPECT_TRUE(history.empty());
}

struct KeepCase {
    const char* name;
    std::optional<QString> uploadError;
    bool retryQueueTakes;
    bool keptAfter;
};

// The recording is all that holds what was said until the text is out or
// the audio is in the retry queue: a run killed during the upload leaves it
// for the next start to adopt.
TEST_F(Dispatch, RecordingStaysOnDiskUntilItsTextIsDeliveredOrQueued) {
    const KeepCase cases[] = {
        {"delivered", std::nullopt, true, false},
        {"queued for retry", "Server error (500)", true, false},
        {"the retry queue could not take it", "Server error (500)", false, true},
    };
    for (const KeepCase& c : cases) {
        SCOPED_TRACE(c.name);
        uploadError = c.uploadError;
        retryQueueTakes = c.retryQueueTakes;
        holdUploads = true;
        const int before = uploadCount();
        start();
        recordFor(3, 9000);
        const QString recording = path();
        recorder->stopRecording();
        ASSERT_TRUE(testsupport::waitUntil([&] { return uploadCount() == before + 1; }));
        testsupport::processEvents(20);
        EXPECT_TRUE(QFileInfo::exists(recording)) << "gone while its upload runs";
        holdUploads = false;
        ASSERT_TRUE(testsupport::waitUntil([&] { return !app.isProcessing(); }));
        EXPECT_EQ(QFileInfo::exists(recording), c.keptAfter);
        EXPECT_EQ(files().size(), c.keptAfter ? 1 : 0) << "no compressed copy is left";
        QFile::remove(recording);
    }
    EXPECT_EQ(inserted.size(), 1u);
    EXPECT_EQ(failed.size(), 2u);
}

TEST_F(Dispatch, TranslateTargetDefaultsToEnglishAndIsConsumedOnce) {
    settings.set("translateTargetLanguage", "");
    for (int i = 0; i < 2; ++i) {
        start(/*translate=*/i == 0);
        recordFor(2, 9000);
        stopAndSettle();
    }
    ASSERT_EQ(uploadCount(), 2);
    EXPECT_EQ(uploads[0].translateTo, std::optional<QString>("en"));
    EXPECT_EQ(uploads[1].translateTo, std::nullopt);
    EXPECT_EQ(uploads[0].language, "ru");
    EXPECT_EQ(uploads[0].provider, "openai");
}

TEST_F(Dispatch, UnreadablePayloadIsAReadFailureWithNothingQueued) {
    // The recording vanishes while it is being compressed and nothing
    // could be made of it.
    onEncodeOpus = [](const QString& wav, int) -> std::optional<QByteArray> {
        QFile::remove(wav);
        return std::nullopt;
    };
    aacWorks = false;
    start();
    recordFor(3, 1000);
    stopAndSettle();
    EXPECT_EQ(uploadCount(), 0);
    EXPECT_EQ(app.lastError(), std::optional<QString>("Failed to read audio file"));
    EXPECT_EQ(overlay.current, OverlayState::error);
    EXPECT_EQ(sounds.played, std::vector<std::string>{"error"});
    EXPECT_TRUE(failed.empty());
    EXPECT_TRUE(reports.empty());
}

}  // namespace

TEST(RecorderPeak, ReadsOnlyWhatTheLiveEncoderHasNotSeen) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString wavPath = dir.filePath("peak.wav");
    const qint16 samples[] = {100, -5000, 200, -32768};
    QByteArray wav = WavFileWriter::header(16000, 1, sizeof samples);
    wav.append(reinterpret_cast<const char*>(samples), sizeof samples);
    QFile f(wavPath);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(wav.left(wav.size() - 2));  // without the last sample for now
    f.close();

    struct Case {
        const char* name;
        qint64 fromByte;
        int peakSoFar;
        int expected;
    } const cases[] = {
        {"whole payload", 0, 0, 5000},
        {"the known peak of the part already seen counts", 4, 5000, 5000},
        {"only the rest is read", 4, 0, 200},
        {"an odd offset starts at its sample", 3, 0, 5000},
        {"everything seen", 6, 42, 42},
        {"past the end", 100, 42, 42},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AudioRecorderService::peakOfWAVFile(wavPath, c.fromByte, c.peakSoFar), c.expected)
            << c.name;

    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write(wav.right(2));
    f.close();
    EXPECT_EQ(AudioRecorderService::peakOfWAVFile(wavPath, 6, 200), 32767)
        << "-32768 counts as full scale";
}
