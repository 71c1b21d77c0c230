#include "DispatchTestFixture.h"
#include "audio/AudioFormat.h"
#include "audio/AudioNormalizer.h"
#include "core/L10n.h"

using namespace dispatchtest;

namespace {

class StreamWindow : public DispatchFixture {
protected:
    // Records `seconds` of position-telling audio, one second per step.
    void recordPositionalFor(double seconds) {
        for (int s = 0; s < int(seconds); ++s) {
            appendPositionalTo(pcmBytes() + kBytesPerSecond);
            clock.advance(1);
        }
    }

    // Silence up to `fileBytes` in all: a sparse file, and the samples as the
    // microphone pushes them.
    void appendSilenceTo(qint64 fileBytes) {
        const QByteArray zeros(int(fileBytes - QFileInfo(path()).size()), '\0');
        captures.last()->growFileTo(fileBytes);
        captures.last()->onSamples(zeros.constData(), zeros.size());
    }

    // The window holds exactly the recording's bytes from `start`.
    static void expectWindow(const StreamedWindow& w, int index, qint64 start, qint64 bytes) {
        EXPECT_EQ(w.index, index);
        ASSERT_EQ(w.wav.size(), 44 + bytes) << "window " << index;
        EXPECT_TRUE(w.wav.startsWith("RIFF"));
        EXPECT_EQ(w.wav.mid(44), positional(start / 2, bytes / 2)) << "window " << index;
    }
};

TEST_F(StreamWindow, LongDictationStreamsWindowsAndJoinsTheForcedLastOne) {
    settings.set("recognitionLanguage", "uk");
    settings.set("provider", "alt");
    streamedText = "joined text";
    start();
    EXPECT_EQ(sessions, 1);
    recordPositionalFor(59);
    EXPECT_TRUE(windows.empty());
    recordPositionalFor(1);
    // Window 0 leaves at the first tick that sees 60 s.
    ASSERT_EQ(windows.size(), 1u);
    recordPositionalFor(49);  // 109 s: window 1 needed 108 s, the tick came at 110
    ASSERT_EQ(windows.size(), 1u);
    recordPositionalFor(1);
    ASSERT_EQ(windows.size(), 2u);
    recordPositionalFor(20);  // 130 s
    recorder->stopRecording();
    settle();

    ASSERT_EQ(windows.size(), 3u);
    expectWindow(windows[0], 0, 0, 1920000);
    expectWindow(windows[1], 1, 1536000, 1920000);
    expectWindow(windows[2], 2, 3072000, 1088000);
    for (const StreamedWindow& w : windows) {
        EXPECT_EQ(w.language, "uk");
        EXPECT_EQ(w.provider, "alt");
        EXPECT_EQ(w.translateTo, std::nullopt);
    }
    ASSERT_EQ(finishCalls.size(), 1u);
    EXPECT_EQ(finishCalls[0], std::make_pair(QString("neutral"), QString("uk")));
    EXPECT_EQ(uploadCount(), 0);
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history[0].text, "joined text ");
    EXPECT_EQ(history[0].language, "uk");
    EXPECT_NEAR(history[0].duration, 130, 1e-9);
    EXPECT_EQ(overlay.current, OverlayState::success);
    EXPECT_FALSE(recorder->isStreamTimerActive());
}

// The windows cut from the samples the microphone pushed are the ones the
// finished file gives: the same bytes behind the same header and the same
// gain, however the blocks split the samples.
TEST_F(StreamWindow, WindowsFromThePushedSamplesEqualThoseCutFromTheFile) {
    streamedText = "text";
    start();
    // 70 s quiet enough for the gain (window 0 is amplified), then loud, and
    // an odd last byte.
    const qint64 total = 130 * kBytesPerSecond + 9601;
    QByteArray all = positional(70 * 16000, (total - 70 * kBytesPerSecond) / 2) + '\x07';
    QByteArray quiet(int(70 * kBytesPerSecond), Qt::Uninitialized);
    for (qint64 i = 0; i < 70 * 16000; ++i) {
        const qint16 v = qint16((i * 7) % 2000 - 1000);
        quiet[int(2 * i)] = char(quint16(v) & 0xFF);
        quiet[int(2 * i + 1)] = char(quint16(v) >> 8);
    }
    all.prepend(quiet);
    ASSERT_EQ(all.size(), total);
    qint64 seconds = 0;
    for (qint64 at = 0; at < total; at += 4093) {
        append(all.mid(int(at), 4093));
        for (; (seconds + 1) * kBytesPerSecond <= at + 4093 && seconds < 130; ++seconds)
            clock.advance(1);
    }
    ASSERT_EQ(windows.size(), 2u) << "windows 0 and 1 leave while it records";
    const QByteArray file = testsupport::readFile(path());
    ASSERT_EQ(file.mid(44), all);
    recorder->stopRecording();
    settle();

    const struct {
        qint64 start, bytes;
    } expected[] = {{0, 1920000}, {1536000, 1920000}, {3072000, (total - 3072000) & ~qint64(1)}};
    ASSERT_EQ(windows.size(), std::size(expected));
    for (size_t k = 0; k < windows.size(); ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(windows[k].index, int(k));
        const QByteArray fromFile = AudioNormalizer::normalizeAudio(
            AudioFormat::createWAVChunk(file, 44, expected[k].start / 2, expected[k].bytes / 2));
        EXPECT_EQ(windows[k].wav, fromFile);
    }
    EXPECT_NE(windows[0].wav.mid(44), all.left(1920000)) << "the quiet window was amplified";
}

struct LastWindowCase {
    qint64 totalBytes;
    size_t windows;
    qint64 lastBytes;
};

TEST_F(StreamWindow, ForcedCallCutsWhatLiesBeyondTheLastStartFromOneSecondOn) {
    const LastWindowCase cases[] = {
        {1920000, 2, 384000},   // exactly 60 s
        {1936000, 2, 400000},   // 60.5 s
        {3104000, 2, 1568000},  // exactly 1 s beyond window 2's start: not cut
        {3104002, 3, 32002},    // one sample more: cut
    };
    streamedText = "text";
    for (const LastWindowCase& c : cases) {
        SCOPED_TRACE(c.totalBytes);
        windows.clear();
        start();
        appendPositionalTo(1920000);
        clock.advance(5);
        ASSERT_EQ(windows.size(), 1u);
        appendPositionalTo(c.totalBytes);
        clock.advance(1);
        recorder->stopRecording();
        settle();
        ASSERT_EQ(windows.size(), c.windows);
        const int k = int(c.windows) - 1;
        expectWindow(windows[k], k, k * 1536000, c.lastBytes);
    }
}

TEST_F(StreamWindow, TranslateTargetGoesWithEveryWindowAndTheModeEnds) {
    settings.set("translateTargetLanguage", "de");
    streamedText = std::nullopt;  // the windows give nothing: the whole file is sent
    start(/*translate=*/true);
    recordPositionalFor(65);
    recorder->stopRecording();
    settle();
    ASSERT_EQ(windows.size(), 2u);
    for (const StreamedWindow& w : windows) EXPECT_EQ(w.translateTo, std::optional<QString>("de"));
    // The fallback keeps the recording's target although the mode was reset.
    ASSERT_EQ(uploadCount(), 1);
    EXPECT_EQ(uploads[0].format, "wav");
    EXPECT_EQ(uploads[0].translateTo, std::optional<QString>("de"));
    EXPECT_TRUE(testsupport::debugLogText().contains(
        "[Streaming] Потоковый сбор пуст — падаем на обычный путь"));

    // The next recording without the translate key translates nothing.
    windows.clear();
    start();
    recordPositionalFor(61);
    recorder->stopRecording();
    settle();
    ASSERT_FALSE(windows.empty());
    for (const StreamedWindow& w : windows) EXPECT_EQ(w.translateTo, std::nullopt);
}

TEST_F(StreamWindow, WindowsAreCutAtTheCapFromTheFileBeingSent) {
    captures.powers = {-20.0f};
    streamedText = "a long dictation";
    start();
    const qint64 total = qint64(AudioRecorderService::maxRecordingSeconds) * kBytesPerSecond;
    for (qint64 t = 5; t <= 1500; t += 5) {
        // Silence: the windows are cut whatever they hold.
        appendSilenceTo(44 + t * kBytesPerSecond);
        clock.advance(5);
    }
    settle();
    // Windows 0..31; the last one holds the 8 s past window 31's start.
    ASSERT_EQ(windows.size(), size_t(total / 1536000 + 1));
    for (size_t k = 0; k < windows.size(); ++k) EXPECT_EQ(windows[k].index, int(k));
    EXPECT_EQ(windows.back().wav.size(), 44 + total - 31 * 1536000);
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(overlay.current, OverlayState::success);
}

TEST_F(StreamWindow, WindowTimerEndsWithEveryRecordingThatIsNotSent) {
    struct Case {
        const char* name;
        std::function<void()> end;
    };
    const Case cases[] = {
        {"cancel", [&] { recorder->cancelRecording(); }},
        {"discarded for size",
         [&] {
             captures.last()->growFileTo(AudioRecorderService::maxAudioBytes + 1);
             recorder->stopRecording();
         }},
        {"nothing heard at the cap", [&] { clock.advance(1500); }},
    };
    int started = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        start();
        ++started;
        EXPECT_TRUE(recorder->isStreamTimerActive());
        c.end();
        EXPECT_FALSE(recorder->isStreamTimerActive());
        EXPECT_TRUE(files().isEmpty());
        // The press logs the microphone's status from the pool, in its own
        // time: that line is in before the log is compared.
        ASSERT_TRUE(testsupport::waitUntil([&] {
            return testsupport::debugLogText().count(QLatin1String("Mic auth status")) == started;
        }));
        const QString before = testsupport::debugLogText();
        clock.advance(20);
        EXPECT_EQ(testsupport::debugLogText().mid(before.size()).toStdString(), "");
    }
    EXPECT_TRUE(windows.empty());
}

}  // namespace

// With no streamed text the whole recording goes through the gate on the
// worker: a silent one is kept from the service like any other, with the
// error state and the hint shown on the main thread.
TEST_F(StreamWindow, ASilentStreamedDictationThatFellBackIsStoppedByTheGate) {
    streamedText = std::nullopt;
    start();
    recordFor(61, 50);
    recorder->stopRecording();
    ASSERT_TRUE(testsupport::waitUntil([&] { return !notifier.notices.empty(); }));
    settle();
    EXPECT_FALSE(windows.empty());
    EXPECT_EQ(uploadCount(), 0);
    EXPECT_EQ(overlay.current, OverlayState::error);
    EXPECT_EQ(notifier.notices[0].title, L10n::nothingHeardTitle());
    EXPECT_EQ(settings.integer("silentHintsShown"), 1);
    EXPECT_FALSE(app.isProcessing());
    EXPECT_TRUE(files().isEmpty());
}
