#include <gtest/gtest.h>

#include "audio/AudioFormat.h"
#include "audio/OggOpusTestKit.h"
#include "audio/OggOpus.h"
#include "support/TestSupport.h"
#include "support/VirtualMic.h"

namespace {

constexpr qint64 kSeconds = 10;
constexpr qint64 kInputSamples = kSeconds * 16000;

// Ten seconds of espeak-ng speech at 16 kHz: the phrase repeated, cut to length.
QByteArray tenSecondsOfSpeech() {
    const QByteArray phrase = VirtualMic::speech(
        "The quick brown fox jumps over the lazy dog while the recorder keeps listening.");
    QByteArray pcm;
    while (pcm.size() < kInputSamples * 2) pcm += phrase + VirtualMic::silence(0.3);
    return pcm.left(kInputSamples * 2);
}

std::vector<size_t> unevenPieces() {
    return {2, 638, 9600, 3202, 1, 17, 100000, 4, 31998};
}

// Runs the same audio through both encoders: the file path and the live
// stream fed in pieces of uneven size.
struct Encoded {
    std::optional<QByteArray> file;
    std::optional<QByteArray> stream;
};

Encoded encodeBoth(const QByteArray& pcm, int bitrate) {
    Encoded e;
    const QString path = testsupport::root() + "/speech.wav";
    testsupport::writeFile(
        path, AudioFormat::createWAVChunk(QByteArray(44, 0) + pcm, 44, 0, pcm.size() / 2));
    e.file = OggOpus::encode(path, bitrate);

    auto stream = OggOpusStream::create(16000, bitrate);
    if (!stream) return e;
    const auto pieces = unevenPieces();
    qsizetype at = 0;
    for (size_t i = 0; at < pcm.size(); ++i) {
        // Whole samples per append, as the recorder hands them.
        const qsizetype len = qsizetype(pieces[i % pieces.size()] & ~size_t(1));
        stream->append(pcm.mid(at, std::max<qsizetype>(len, 2)));
        at += std::max<qsizetype>(len, 2);
        // Between appends only a partial frame waits.
        EXPECT_LT(stream->pendingSamples(), size_t(OggOpus::kFrameSamples));
    }
    e.stream = stream->finish();
    return e;
}

TEST(OggOpusSpeech, IndependentDecoderGetsTheSpeechBack) {
    const QByteArray pcm = tenSecondsOfSpeech();
    ASSERT_EQ(pcm.size(), kInputSamples * 2);
    const auto* input = reinterpret_cast<const qint16*>(pcm.constData());
    const auto inputEnvelope = oggkit::envelope(input, size_t(kInputSamples), 16000);

    for (const int bitrate : {16000, 24000, 64000}) {
        SCOPED_TRACE(bitrate);
        const Encoded e = encodeBoth(pcm, bitrate);
        ASSERT_TRUE(e.file.has_value());
        ASSERT_TRUE(e.stream.has_value());
        // Resampling in pieces is exact, so both paths make the same file.
        EXPECT_EQ(*e.stream, *e.file);

        for (const auto* file : {&*e.file, &*e.stream}) {
            const oggkit::Decoded d = oggkit::decode(*file);
            ASSERT_EQ(d.error, 0);
            // 48 kHz output; the pre-skip and the zero-padded last frame
            // keep it within 20 ms of the input.
            const double seconds = double(d.pcm.size()) / 48000;
            EXPECT_NEAR(seconds, double(kSeconds), 0.04);
            EXPECT_EQ(qint64(d.pcm.size()), d.declared);

            // Downsampled by 3 to the input's rate, the loudness follows the speech.
            std::vector<qint16> at16;
            for (size_t i = 0; i < d.pcm.size(); i += 3) at16.push_back(d.pcm[i]);
            const auto decodedEnvelope = oggkit::envelope(at16.data(), at16.size(), 16000);
            EXPECT_GT(oggkit::correlation(inputEnvelope, decodedEnvelope), 0.95);
        }
    }
}

TEST(OggOpusSpeech, FileEncoderRefusesWhatItCannotRead) {
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"NotAWav", QByteArray("plain text, not audio")},
        {"HeaderOnly", AudioFormat::createWAVChunk({}, 0, 0, 0)},
    };
    for (const Case& c : cases) {
        const QString path = testsupport::root() + "/input.wav";
        testsupport::writeFile(path, c.bytes);
        EXPECT_FALSE(OggOpus::encode(path, 24000).has_value()) << c.name;
    }
    EXPECT_FALSE(OggOpus::encode(testsupport::root() + "/missing.wav", 24000).has_value());
}

}  // namespace
