#include "DispatchTestFixture.h"
#include "audio/OggOpusTestKit.h"

using namespace dispatchtest;

namespace {

class LiveEncoding : public DispatchFixture {};

TEST_F(LiveEncoding, ShortDictationIsSentAsTheStreamWithNothingEncodedOnRelease) {
    start();
    recordFor(12.5, 9000);
    recorder->stopRecording();
    settle();
    ASSERT_EQ(uploadCount(), 1);
    EXPECT_EQ(uploads[0].format, "ogg");
    EXPECT_EQ(opusEncodes, 0);
    EXPECT_EQ(aacEncodes, 0);
    // The whole recording is in it, the part after the last tick included.
    const oggkit::Decoded decoded = oggkit::decode(uploads[0].audio);
    ASSERT_EQ(decoded.error, 0);
    EXPECT_NEAR(double(decoded.declared) / 48000.0, 12.5, 0.03);
    EXPECT_TRUE(testsupport::debugLogText().contains("ждать не пришлось"));
}

struct PeakCase {
    int amplitude;
    bool normalization;
    bool reencoded;
};

TEST_F(LiveEncoding, QuietRecordingIsReencodedFromTheAmplifiedFile) {
    const PeakCase cases[] = {
        {250, true, false},  {251, true, true},   {4914, true, true},
        {4915, true, false}, {251, false, false}, {4914, false, false},
    };
    for (const PeakCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.amplitude << " normalization " << c.normalization);
        settings.set("audioNormalization", c.normalization);
        const int encodesBefore = opusEncodes;
        QByteArray encodedFrom;
        onEncodeOpus = [&](const QString& wav, int) -> std::optional<QByteArray> {
            encodedFrom = testsupport::readFile(wav);
            return QByteArray("OggS-reencoded");
        };
        const int before = uploadCount();
        start();
        recordFor(7, c.amplitude);
        recorder->stopRecording();
        settle();
        ASSERT_EQ(uploadCount(), before + 1);
        EXPECT_EQ(uploads.back().format, "ogg");
        EXPECT_EQ(opusEncodes - encodesBefore, int(c.reencoded));
        if (c.reencoded) {
            EXPECT_EQ(uploads.back().audio, "OggS-reencoded");
            // What was encoded again is the amplified recording.
            EXPECT_GT(encodedFrom.size(), 44);
            EXPECT_NE(encodedFrom.mid(44), tone(7, c.amplitude));
        } else {
            EXPECT_TRUE(uploads.back().audio.startsWith("OggS"));
            EXPECT_NE(uploads.back().audio, "OggS-reencoded");
        }
    }
}

TEST_F(LiveEncoding, SixtySecondsUseTheStreamAndLongerIsSentAsWav) {
    struct Case {
        double seconds;
        const char* format;
    };
    for (const Case& c : {Case{60.0, "ogg"}, Case{60.1, "wav"}}) {
        SCOPED_TRACE(c.seconds);
        const int before = uploadCount();
        start();
        // No tick sees a full window, so nothing is streamed.
        recordFor(59, 9000);
        clock.advance(c.seconds - 59);
        append(tone(c.seconds - 59, 9000));
        ASSERT_EQ(recorder->streamedWindows(), 0);
        recorder->stopRecording();
        settle();
        ASSERT_EQ(uploadCount(), before + 1);
        EXPECT_EQ(uploads.back().format, c.format);
        EXPECT_EQ(opusEncodes, 0);
    }
}

TEST_F(LiveEncoding, OddByteWaitsForTheNextLook) {
    start();
    append(tone(4, 9000) + QByteArray(1, '\x10'));
    clock.advance(5);
    // The lone byte and the rest of its sample come later.
    append(QByteArray(1, '\x00') + tone(3, 9000));
    clock.advance(2);
    recorder->stopRecording();
    settle();
    ASSERT_EQ(uploadCount(), 1);
    ASSERT_EQ(uploads[0].format, "ogg");
    const oggkit::Decoded decoded = oggkit::decode(uploads[0].audio);
    ASSERT_EQ(decoded.error, 0);
    EXPECT_NEAR(double(decoded.declared) / 48000.0, 7.0 + 1.0 / 16000, 0.03);
}

}  // namespace
