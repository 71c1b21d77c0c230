#include <gtest/gtest.h>

#include <QtEndian>
#include <cmath>
#include <thread>

#include "audio/OggOpusTestKit.h"
#include "audio/OggOpus.h"

extern "C" {
#include <opus/opus.h>
}

namespace {

std::vector<QByteArray> packetsOfSizes(const std::vector<int>& sizes) {
    std::vector<QByteArray> out;
    for (size_t i = 0; i < sizes.size(); ++i) out.emplace_back(sizes[i], char('a' + i % 26));
    return out;
}

std::vector<int> repeat(int size, int count) {
    return std::vector<int>(size_t(count), size);
}

struct AudioPage {
    quint64 granule;
    quint8 flags;
    size_t packetCount;
};

struct AssembleCase {
    const char* name;
    std::vector<int> sizes;
    std::vector<AudioPage> pages;
    std::vector<int> firstLacing;  // lacing of the first audio page, when checked
};

void PrintTo(const AssembleCase& c, std::ostream* os) {
    *os << c.name;
}

class AssembleTest : public ::testing::TestWithParam<AssembleCase> {};

TEST_P(AssembleTest, PagesGranulesFlagsAndLacing) {
    const AssembleCase& c = GetParam();
    const auto input = packetsOfSizes(c.sizes);
    const auto file = OggOpus::assemble(input);
    ASSERT_TRUE(file.has_value());

    // libogg accepts every page (it drops pages with a wrong checksum) and
    // gives back exactly our packets: headers first, then the audio.
    const auto pages = oggkit::pages(*file);
    ASSERT_EQ(pages.size(), 2 + c.pages.size());
    const auto back = oggkit::packets(*file);
    ASSERT_EQ(back.size(), 2 + input.size());
    for (size_t i = 0; i < input.size(); ++i) EXPECT_EQ(back[2 + i], input[i]) << "packet " << i;

    size_t packetIndex = 0;
    for (size_t i = 0; i < c.pages.size(); ++i) {
        const auto& page = pages[2 + i];
        SCOPED_TRACE(testing::Message() << "audio page " << i);
        EXPECT_EQ(page.seq, 2 + i);
        EXPECT_EQ(page.serial, OggOpus::kSerial);
        EXPECT_EQ(page.granule, c.pages[i].granule);
        EXPECT_EQ(page.flags, c.pages[i].flags);
        EXPECT_LE(page.lacing.size(), 255u);
        size_t expectedLacing = 0;
        for (size_t k = 0; k < c.pages[i].packetCount; ++k)
            expectedLacing += size_t(input[packetIndex++].size() / 255 + 1);
        EXPECT_EQ(page.lacing.size(), expectedLacing);
    }
    EXPECT_EQ(packetIndex, input.size());
    if (!c.firstLacing.empty()) {
        EXPECT_EQ(pages[2].lacing, c.firstLacing);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Ogg, AssembleTest,
    ::testing::Values(
        AssembleCase{"OnePacket", {100}, {{960, 0x04, 1}}, {100}},
        AssembleCase{"FiftyPackets", repeat(60, 50), {{48000, 0x04, 50}}, {}},
        AssembleCase{"FiftyOnePackets", repeat(60, 51), {{48000, 0, 50}, {48960, 0x04, 1}}, {}},
        AssembleCase{"ExactlyOneSegment", {255}, {{960, 0x04, 1}}, {255, 0}},
        AssembleCase{"TwoSegments", {510}, {{960, 0x04, 1}}, {255, 255, 0}},
        AssembleCase{"EmptyPacket", {0, 3}, {{1920, 0x04, 2}}, {0, 3}},
        // 2000-byte packets take 8 lacing values: the 32nd would pass 255,
        // so the page is closed after 31 packets.
        AssembleCase{
            "SegmentTableFull", repeat(2000, 50), {{31 * 960, 0, 31}, {50 * 960, 0x04, 19}}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OggOpusAssemble, HeaderPagesAreByteExact) {
    const auto file = OggOpus::assemble({QByteArray("x")});
    ASSERT_TRUE(file.has_value());
    const auto pages = oggkit::pages(*file);
    ASSERT_EQ(pages.size(), 3u);

    const QByteArray head = QByteArray::fromHex(
        "4f70757348656164"
        "01"
        "01"
        "3801"
        "803e0000"
        "0000"
        "00");
    const QByteArray tags = QByteArray::fromHex(
                                "4f70757354616773"
                                "05000000") +
                            "Ormil" + QByteArray(4, 0);
    struct Expected {
        quint8 flags;
        QByteArray body;
    };
    const Expected expected[] = {{0x02, head}, {0x00, tags}};
    for (int i = 0; i < 2; ++i) {
        const QByteArray& raw = pages[size_t(i)].raw;
        SCOPED_TRACE(i);
        EXPECT_EQ(raw.left(4), "OggS");
        EXPECT_EQ(raw[4], 0);
        EXPECT_EQ(quint8(raw[5]), expected[i].flags);
        EXPECT_EQ(qFromLittleEndian<quint64>(raw.constData() + 6), 0u);
        EXPECT_EQ(raw.mid(14, 4), QByteArray::fromHex("696d724f"));
        EXPECT_EQ(qFromLittleEndian<quint32>(raw.constData() + 18), quint32(i));
        EXPECT_EQ(quint8(raw[26]), 1);
        EXPECT_EQ(quint8(raw[27]), expected[i].body.size());
        EXPECT_EQ(raw.mid(28), expected[i].body);
    }
    // The whole file is exactly the three pages back to back.
    EXPECT_EQ(pages[0].raw + pages[1].raw + pages[2].raw, *file);
}

TEST(OggOpusAssemble, ChecksumMatchesLibogg) {
    const auto file = OggOpus::assemble(packetsOfSizes({1, 255, 300, 4000, 77}));
    ASSERT_TRUE(file.has_value());
    for (const auto& page : oggkit::pages(*file)) {
        // Recompute with libogg's own routine on a copy whose CRC field is zeroed.
        QByteArray copy = page.raw;
        const int headerLen = 27 + int(quint8(copy[26]));
        std::memset(copy.data() + 22, 0, 4);
        EXPECT_EQ(OggOpus::crc32(copy), qFromLittleEndian<quint32>(page.raw.constData() + 22));
        ogg_page og{reinterpret_cast<unsigned char*>(copy.data()), headerLen,
                    reinterpret_cast<unsigned char*>(copy.data()) + headerLen,
                    copy.size() - headerLen};
        ogg_page_checksum_set(&og);
        EXPECT_EQ(copy, page.raw);
    }
}

TEST(OggOpusAssemble, NothingForNoPacketsOrAnUnpageablePacket) {
    EXPECT_FALSE(OggOpus::assemble({}).has_value());
    // 65025 bytes need 256 lacing values: no single page can hold the packet.
    EXPECT_FALSE(OggOpus::assemble(packetsOfSizes({10, 65025})).has_value());
    EXPECT_TRUE(OggOpus::assemble(packetsOfSizes({65024})).has_value());
}

QByteArray samples(const std::vector<qint16>& values) {
    return QByteArray(reinterpret_cast<const char*>(values.data()),
                      qsizetype(values.size() * sizeof(qint16)));
}

std::vector<qint16> tone(size_t n, int rate) {
    std::vector<qint16> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = qint16(8000 * std::sin(2 * M_PI * 440 * double(i) / rate));
    return v;
}

// The packet a fresh encoder with our settings makes of one frame.
QByteArray referencePacket(const std::vector<qint16>& frame, int bitrate) {
    OpusEncoder* enc = OggOpus::newEncoder(bitrate);
    unsigned char buf[OggOpus::kMaxPacketBytes];
    const int n = opus_encode(enc, frame.data(), OggOpus::kFrameSamples, buf, sizeof buf);
    opus_encoder_destroy(enc);
    return QByteArray(reinterpret_cast<const char*>(buf), n);
}

TEST(OggOpusStream, AppendTakesWholeSamplesOnly) {
    struct Case {
        qsizetype bytes;
        size_t pending;
    };
    for (const Case c : {Case{0, 0}, Case{1, 0}, Case{3, 1}, Case{1922, 1}, Case{4000, 80}}) {
        auto stream = OggOpusStream::create(48000, 24000);
        ASSERT_TRUE(stream);
        stream->append(QByteArray(c.bytes, 1));
        EXPECT_EQ(stream->pendingSamples(), c.pending) << c.bytes;
        EXPECT_EQ(stream->packetCount(), size_t(c.bytes / 2 / 960)) << c.bytes;
    }
}

TEST(OggOpusStream, FinishPadsTheLastFrameWithZeros) {
    auto stream = OggOpusStream::create(48000, 24000);
    ASSERT_TRUE(stream);
    const auto audio = tone(100, 48000);
    stream->append(samples(audio));
    EXPECT_EQ(stream->packetCount(), 0u);
    const auto file = stream->finish();
    ASSERT_TRUE(file.has_value());

    std::vector<qint16> frame(960, 0);
    std::copy(audio.begin(), audio.end(), frame.begin());
    const auto back = oggkit::packets(*file);
    ASSERT_EQ(back.size(), 3u);
    EXPECT_EQ(back[2], referencePacket(frame, 24000));
    EXPECT_EQ(oggkit::pages(*file).back().granule, 960u);
}

TEST(OggOpusStream, NoAudioGivesNothingAndAFinishedStreamTakesNoMore) {
    auto silent = OggOpusStream::create(16000, 24000);
    ASSERT_TRUE(silent);
    EXPECT_FALSE(silent->finish().has_value());

    auto stream = OggOpusStream::create(16000, 24000);
    ASSERT_TRUE(stream);
    stream->append(samples(tone(16000, 16000)));
    const auto file = stream->finish();
    ASSERT_TRUE(file.has_value());
    stream->append(samples(tone(16000, 16000)));
    EXPECT_FALSE(stream->finish().has_value());
    // One second at 16 kHz becomes 48000 samples at 48 kHz: exactly 50 frames.
    EXPECT_EQ(oggkit::pages(*file).back().granule, 48000u);
}

TEST(OggOpusStream, AppendsFromSeveralThreadsLoseNothing) {
    auto stream = OggOpusStream::create(48000, 24000);
    ASSERT_TRUE(stream);
    const QByteArray frame = samples(tone(960, 48000));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 50; ++i) stream->append(frame);
        });
    for (auto& th : threads) th.join();
    EXPECT_EQ(stream->packetCount(), 200u);
    EXPECT_EQ(stream->pendingSamples(), 0u);
    const auto file = stream->finish();
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(oggkit::packets(*file).size(), 202u);
}

TEST(OggOpusStream, RefusesRatesAndBitratesItCannotUse) {
    struct Case {
        double rate;
        int bitrate;
        bool made;
    };
    for (const Case c :
         {Case{16000, 24000, true}, Case{44100, 64000, true}, Case{0, 24000, false},
          Case{-16000, 24000, false}, Case{NAN, 24000, false}, Case{INFINITY, 24000, false},
          Case{16000, 0, false}, Case{16000, -5, false}}) {
        EXPECT_EQ(OggOpusStream::create(c.rate, c.bitrate) != nullptr, c.made)
            << c.rate << " " << c.bitrate;
    }
}

}  // namespace
