#include <gtest/gtest.h>

#include <QtEndian>

#include "audio/AudioFormat.h"
#include "platform/SettingsStore.h"

namespace {

QByteArray le32(quint32 v) {
    QByteArray b(4, 0);
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray chunk(const char* id, quint32 declared, qsizetype bodyBytes) {
    return QByteArray(id, 4) + le32(declared) + QByteArray(bodyBytes, 'x');
}

QByteArray riff(const QByteArray& chunks, const char* form = "WAVE") {
    return "RIFF" + le32(quint32(4 + chunks.size())) + QByteArray(form, 4) + chunks;
}

struct ParseCase {
    const char* name;
    QByteArray data;
    std::optional<qint64> offset;     // parseDataChunk
    std::optional<qint64> size;       // parseDataChunk
    std::optional<qint64> growingAt;  // parseDataOffsetForGrowingFile
};

void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << c.name;
}

class WavParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(WavParse, FindsThePayload) {
    const ParseCase& c = GetParam();
    const auto chunk = AudioFormat::parseDataChunk(c.data);
    EXPECT_EQ(chunk.has_value(), c.offset.has_value());
    if (chunk && c.offset) {
        EXPECT_EQ(chunk->offset, *c.offset);
        EXPECT_EQ(chunk->size, *c.size);
    }
    EXPECT_EQ(AudioFormat::parseDataOffsetForGrowingFile(c.data), c.growingAt);
}

const QByteArray kFmt = chunk("fmt ", 16, 16);

INSTANTIATE_TEST_SUITE_P(
    Service, WavParse,
    ::testing::Values(
        ParseCase{"Plain", riff(kFmt + chunk("data", 10, 10)), 44, 10, 44},
        // An odd-sized chunk is followed by a pad byte: 8 + 27 + 1 skipped.
        ParseCase{"OddListChunk", riff(kFmt + chunk("LIST", 27, 28) + chunk("data", 4, 4)), 80, 4,
                  80},
        ParseCase{"TruncatedData", riff(kFmt + chunk("data", 1000000, 500)), 44, 500, 44},
        ParseCase{"GrowingFileWithSizeZero", riff(kFmt + chunk("data", 0, 0)), std::nullopt,
                  std::nullopt, 44},
        ParseCase{"DataHeaderNotWrittenYet", riff(kFmt).left(36 + 4), std::nullopt, std::nullopt,
                  std::nullopt},
        ParseCase{"NotRiff", "RIFX" + riff(kFmt + chunk("data", 10, 10)).mid(4), std::nullopt,
                  std::nullopt, std::nullopt},
        ParseCase{"LowerCaseWave", riff(kFmt + chunk("data", 10, 10), "wave"), std::nullopt,
                  std::nullopt, std::nullopt},
        ParseCase{"ElevenBytes", QByteArray("RIFF\0\0\0\0WAV", 11), std::nullopt, std::nullopt,
                  std::nullopt},
        ParseCase{"NoDataChunk", riff(kFmt + chunk("LIST", 4, 4)), std::nullopt, std::nullopt,
                  std::nullopt},
        // A chunk declaring 4 GiB - 1 bytes must end the walk, not wrap it
        // around to an earlier position.
        ParseCase{"HugeChunkSize", riff(chunk("junk", 0xFFFFFFFF, 0) + chunk("data", 4, 4)),
                  std::nullopt, std::nullopt, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

struct ChunkCase {
    const char* name;
    qint64 startSample;
    qint64 sampleCount;
    qint64 pcmBytes;
    qint64 firstByte;  // offset of the first copied payload byte
};

void PrintTo(const ChunkCase& c, std::ostream* os) {
    *os << c.name;
}

class WavChunk : public ::testing::TestWithParam<ChunkCase> {};

TEST_P(WavChunk, WrapsTheRangeInAWellFormedHeader) {
    const ChunkCase& c = GetParam();
    QByteArray payload;
    for (int i = 0; i < 200; ++i) payload.append(char(i));
    const QByteArray source =
        riff(kFmt + chunk("data", 200, 0)) + payload;  // offset 44, 100 samples

    const QByteArray wav =
        AudioFormat::createWAVChunk(source, 44, c.startSample, c.sampleCount);
    ASSERT_EQ(wav.size(), 44 + c.pcmBytes);
    EXPECT_EQ(wav.left(4), "RIFF");
    EXPECT_EQ(qFromLittleEndian<quint32>(wav.constData() + 4), quint32(36 + c.pcmBytes));
    EXPECT_EQ(wav.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(wav.mid(16, 20), QByteArray::fromHex("10000000"
                                                   "0100"
                                                   "0100"
                                                   "803e0000"
                                                   "007d0000"
                                                   "0200"
                                                   "1000"));
    EXPECT_EQ(wav.mid(36, 4), "data");
    EXPECT_EQ(qFromLittleEndian<quint32>(wav.constData() + 40), quint32(c.pcmBytes));
    EXPECT_EQ(wav.mid(44), payload.mid(c.firstByte, c.pcmBytes));
    // What we write, we read back.
    if (c.pcmBytes > 0) {
        const auto back = AudioFormat::parseDataChunk(wav);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->offset, 44);
        EXPECT_EQ(back->size, c.pcmBytes);
    }
}

INSTANTIATE_TEST_SUITE_P(Service, WavChunk,
                         ::testing::Values(ChunkCase{"TenSamples", 0, 10, 20, 0},
                                           ChunkCase{"FromTheMiddle", 30, 5, 10, 60},
                                           ChunkCase{"RunsPastTheEnd", 40, 160, 120, 80},
                                           ChunkCase{"StartsAtTheEnd", 100, 10, 0, 200},
                                           ChunkCase{"StartsPastTheEnd", 150, 10, 0, 200},
                                           ChunkCase{"HugeCountDoesNotOverflow", 0, qint64(1) << 62,
                                                     200, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TranscriptionServiceBitrate, FollowsAudioQualityExactly) {
    SettingsStore settings;
    EXPECT_EQ(AudioFormat::opusBitrate(settings), 24000);
    const std::pair<QJsonValue, int> cases[] = {
        {"fast", 16000}, {"balanced", 24000}, {"high", 48000},        {"best", 64000},
        {"Best", 24000}, {"ultra", 24000},    {QJsonValue(3), 24000},
    };
    for (const auto& [value, bitrate] : cases) {
        settings.set("audioQuality", value);
        EXPECT_EQ(AudioFormat::opusBitrate(settings), bitrate)
            << value.toVariant().toString().toStdString();
    }
}

}  // namespace
