#include "audio/OggOpus.h"

#include <QtEndian>
#include <array>
#include <cmath>
#include <cstring>

#include "audio/AudioFileReader.h"
#include "audio/AudioResampler.h"

extern "C" {
#include <libavutil/samplefmt.h>
#include <opus/opus.h>
}

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "16-bit samples are handled in host order");

namespace {
constexpr int kOpusRate = 48000;
constexpr quint8 kFlagBeginning = 0x02;
constexpr quint8 kFlagEnd = 0x04;

constexpr std::array<quint32, 256> makeCrcTable() {
    std::array<quint32, 256> table{};
    for (quint32 i = 0; i < 256; ++i) {
        quint32 r = i << 24;
        for (int bit = 0; bit < 8; ++bit) r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
        table[i] = r;
    }
    return table;
}
constexpr std::array<quint32, 256> kCrcTable = makeCrcTable();

int lacingCount(const QByteArray& packet) {
    return int(packet.size() / 255) + 1;
}

template <typename T>
void putLE(QByteArray& out, T value) {
    char bytes[sizeof(T)];
    qToLittleEndian(value, bytes);
    out.append(bytes, sizeof(T));
}

QByteArray page(quint32 serial, quint32 seq, quint64 granule, quint8 flags,
                const std::vector<QByteArray>::const_iterator first,
                const std::vector<QByteArray>::const_iterator last) {
    QByteArray lacing;
    qsizetype bodySize = 0;
    for (auto p = first; p != last; ++p) {
        lacing.append(QByteArray(p->size() / 255, char(255)));
        lacing.append(char(p->size() % 255));
        bodySize += p->size();
    }
    QByteArray out;
    out.reserve(27 + lacing.size() + bodySize);
    out.append("OggS", 4);
    out.append(char(0));
    out.append(char(flags));
    putLE<quint64>(out, granule);
    putLE<quint32>(out, serial);
    putLE<quint32>(out, seq);
    putLE<quint32>(out, 0);
    out.append(char(lacing.size()));
    out.append(lacing);
    for (auto p = first; p != last; ++p) out.append(*p);
    qToLittleEndian(OggOpus::crc32(out), out.data() + 22);
    return out;
}

QByteArray opusHead(quint8 channels, quint16 preSkip, quint32 rate) {
    QByteArray h("OpusHead", 8);
    h.append(char(1));
    h.append(char(channels));
    putLE<quint16>(h, preSkip);
    putLE<quint32>(h, rate);
    putLE<qint16>(h, 0);
    h.append(char(0));
    return h;
}

QByteArray opusTags() {
    QByteArray t("OpusTags", 8);
    putLE<quint32>(t, 5);
    t.append("Ormil", 5);
    putLE<quint32>(t, 0);
    return t;
}
}  // namespace

// libopus with a queue of 48 kHz samples in front: whole 960-sample frames are
// encoded as soon as they are complete.
class OggOpusFrameEncoder {
public:
    static std::unique_ptr<OggOpusFrameEncoder> create(int bitrate) {
        OpusEncoder* enc = OggOpus::newEncoder(bitrate);
        return enc ? std::unique_ptr<OggOpusFrameEncoder>(new OggOpusFrameEncoder(enc)) : nullptr;
    }
    ~OggOpusFrameEncoder() { opus_encoder_destroy(m_enc); }

    void add(const uint8_t* bytes, size_t samples) {
        const size_t before = m_tail.size();
        m_tail.resize(before + samples);
        std::memcpy(m_tail.data() + before, bytes, samples * sizeof(opus_int16));
        encodeFullFrames(false);
    }

    // Encodes every whole frame; with flush also the rest, zero-padded. An
    // encoder error stops the loop with the later samples still queued.
    void encodeFullFrames(bool flush) {
        size_t pos = 0;
        unsigned char buffer[OggOpus::kMaxPacketBytes];
        while (m_tail.size() - pos >= size_t(OggOpus::kFrameSamples) ||
               (flush && m_tail.size() > pos)) {
            std::array<opus_int16, OggOpus::kFrameSamples> frame{};
            const size_t take = std::min(m_tail.size() - pos, size_t(OggOpus::kFrameSamples));
            std::memcpy(frame.data(), m_tail.data() + pos, take * sizeof(opus_int16));
            pos += take;
            const opus_int32 n = opus_encode(m_enc, frame.data(), OggOpus::kFrameSamples, buffer,
                                             OggOpus::kMaxPacketBytes);
            if (n <= 0) break;
            m_packets.emplace_back(reinterpret_cast<const char*>(buffer), n);
        }
        m_tail.erase(m_tail.begin(), m_tail.begin() + qsizetype(pos));
    }

    const std::vector<QByteArray>& packets() const { return m_packets; }
    size_t pending() const { return m_tail.size(); }

    // The resampler in front of the queue (none when the input is 48 kHz).
    std::unique_ptr<AudioResampler> pre;

private:
    explicit OggOpusFrameEncoder(OpusEncoder* enc) : m_enc(enc) {}
    OpusEncoder* m_enc;
    std::vector<QByteArray> m_packets;
    std::vector<opus_int16> m_tail;
};

namespace OggOpus {

quint32 crc32(const QByteArray& data) {
    quint32 crc = 0;
    for (const char c : data) crc = (crc << 8) ^ kCrcTable[((crc >> 24) ^ quint8(c)) & 0xFF];
    return crc;
}

OpusEncoder* newEncoder(int bitrate) {
    int err = OPUS_OK;
    OpusEncoder* enc = opus_encoder_create(kOpusRate, 1, OPUS_APPLICATION_VOIP, &err);
    if (err != OPUS_OK || !enc) return nullptr;
    if (opus_encoder_ctl(enc, OPUS_SET_BITRATE(bitrate)) != OPUS_OK ||
        opus_encoder_ctl(enc, OPUS_SET_COMPLEXITY(kComplexity)) != OPUS_OK ||
        opus_encoder_ctl(enc, OPUS_SET_SIGNAL(OPUS_SIGNAL_VOICE)) != OPUS_OK) {
        opus_encoder_destroy(enc);
        return nullptr;
    }
    return enc;
}

std::optional<QByteArray> assemble(const std::vector<QByteArray>& packets) {
    if (packets.empty()) return std::nullopt;
    for (const QByteArray& p : packets)
        if (lacingCount(p) > kMaxLacingValues) return std::nullopt;

    const std::vector<QByteArray> head{opusHead(1, kPreSkip, kHeaderInputRate)};
    const std::vector<QByteArray> tags{opusTags()};
    QByteArray out = page(kSerial, 0, 0, kFlagBeginning, head.begin(), head.end());
    out.append(page(kSerial, 1, 0, 0, tags.begin(), tags.end()));

    quint32 seq = 2;
    quint64 granule = 0;
    auto pageStart = packets.begin();
    int lacing = 0;
    for (auto p = packets.begin(); p != packets.end(); ++p) {
        // A page is closed after 50 packets, and earlier when the next packet
        // would not fit in its segment table.
        if (p != pageStart && lacing + lacingCount(*p) > kMaxLacingValues) {
            out.append(page(kSerial, seq++, granule, 0, pageStart, p));
            pageStart = p;
            lacing = 0;
        }
        lacing += lacingCount(*p);
        granule += kFrameSamples;
        const bool last = p + 1 == packets.end();
        if (last || p + 1 - pageStart == kPacketsPerPage) {
            out.append(page(kSerial, seq++, granule, last ? kFlagEnd : 0, pageStart, p + 1));
            pageStart = p + 1;
            lacing = 0;
        }
    }
    return out;
}

std::optional<QByteArray> encode(const QString& pcmPath, int bitrate) {
    auto encoder = OggOpusFrameEncoder::create(bitrate);
    if (!encoder) return std::nullopt;
    const auto result = AudioFileReader::read(pcmPath, kOpusRate, AV_SAMPLE_FMT_S16,
                                              [&](const uint8_t* bytes, int samples) {
                                                  encoder->add(bytes, size_t(samples));
                                                  return true;
                                              });
    if (result != AudioFileReader::Result::Complete) return std::nullopt;
    encoder->encodeFullFrames(true);
    return assemble(encoder->packets());
}

}  // namespace OggOpus

OggOpusStream::OggOpusStream(std::unique_ptr<OggOpusFrameEncoder> encoder)
    : m_encoder(std::move(encoder)) {}

OggOpusStream::~OggOpusStream() = default;

std::unique_ptr<OggOpusStream> OggOpusStream::create(double inputRate, int bitrate) {
    if (!std::isfinite(inputRate) || inputRate < 1 || inputRate > 1e6) return nullptr;
    const int rate = int(std::lround(inputRate));
    auto encoder = OggOpusFrameEncoder::create(bitrate);
    if (!encoder) return nullptr;
    if (rate != kOpusRate) {
        encoder->pre =
            AudioResampler::create(rate, AV_SAMPLE_FMT_S16, 1, kOpusRate, AV_SAMPLE_FMT_S16);
        if (!encoder->pre) return nullptr;
    }
    return std::unique_ptr<OggOpusStream>(new OggOpusStream(std::move(encoder)));
}

void OggOpusStream::append(const QByteArray& pcm) {
    if (pcm.isEmpty()) return;
    std::lock_guard lock(m_lock);
    const qsizetype n = pcm.size() / 2;
    if (m_finished || n < 1) return;
    const auto* bytes = reinterpret_cast<const uint8_t*>(pcm.constData());
    if (!m_encoder->pre) {
        m_encoder->add(bytes, size_t(n));
        return;
    }
    std::vector<uint8_t> out;
    // A converter error loses just these samples, as a failed append should.
    if (m_encoder->pre->convert(&bytes, int(n), out) && !out.empty())
        m_encoder->add(out.data(), out.size() / 2);
}

std::optional<QByteArray> OggOpusStream::finish() {
    std::lock_guard lock(m_lock);
    if (m_finished) return std::nullopt;
    m_finished = true;
    if (m_encoder->pre) {
        // The resampler's filter still holds the last few milliseconds.
        std::vector<uint8_t> out;
        if (m_encoder->pre->drain(out) && !out.empty()) m_encoder->add(out.data(), out.size() / 2);
    }
    m_encoder->encodeFullFrames(true);
    return OggOpus::assemble(m_encoder->packets());
}

size_t OggOpusStream::packetCount() const {
    std::lock_guard lock(m_lock);
    return m_encoder->packets().size();
}

size_t OggOpusStream::pendingSamples() const {
    std::lock_guard lock(m_lock);
    return m_encoder->pending();
}
