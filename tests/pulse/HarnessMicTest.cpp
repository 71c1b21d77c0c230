// Proves the test environment: speech written into the virtual microphone
// is heard by an ordinary PulseAudio client recording the default source.
#include <gtest/gtest.h>
#include <pulse/error.h>
#include <pulse/simple.h>

#include "support/TestSupport.h"
#include "support/VirtualMic.h"

TEST(Harness, VirtualMicrophoneCarriesSpeech) {
    if (!testsupport::hasPulse()) GTEST_SKIP() << "no PulseAudio test environment";
    const QByteArray speech = VirtualMic::speech("Testing the virtual microphone one two three");
    ASSERT_GT(speech.size(), 16000);

    pa_sample_spec spec{PA_SAMPLE_S16LE, 16000, 1};
    int err = 0;
    pa_simple* rec = pa_simple_new(nullptr, "ormil-test", PA_STREAM_RECORD, nullptr, "harness",
                                   &spec, nullptr, nullptr, &err);
    ASSERT_NE(rec, nullptr) << pa_strerror(err);
    VirtualMic::playAsync(speech);
    // The speech reaches the source after the feeder's and the server's
    // buffering; listen in 0.25 s pieces until it is heard (or 5 s passed).
    int peak = 0;
    for (int piece = 0; piece < 20 && peak <= 100; ++piece) {
        QByteArray got(8000, 0);
        ASSERT_EQ(pa_simple_read(rec, got.data(), size_t(got.size()), &err), 0) << pa_strerror(err);
        peak = std::max(peak, VirtualMic::peak(got));
    }
    pa_simple_free(rec);
    VirtualMic::waitPlayed();
    EXPECT_GT(peak, 100);
}
