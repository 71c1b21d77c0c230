#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

struct OpusEncoder;
class OggOpusFrameEncoder;

// Ogg Opus files written by our own code: the Ogg pages, the identification
// and comment headers and the page checksum; libopus makes the packets, one
// per 20 ms frame of 48 kHz mono audio.
namespace OggOpus {

inline constexpr quint32 kSerial = 0x4F726D69;  // "Ormi"
inline constexpr int kFrameSamples = 960;       // 20 ms at 48 kHz
inline constexpr int kMaxPacketBytes = 4000;
inline constexpr int kPacketsPerPage = 50;
inline constexpr int kMaxLacingValues = 255;
inline constexpr quint16 kPreSkip = 312;
inline constexpr quint32 kHeaderInputRate = 16000;
// Speech quality matters more than the little CPU the extra analysis costs:
// even at the highest complexity a mono 48 kHz stream encodes far faster
// than real time.
inline constexpr int kComplexity = 10;

// A fresh libopus encoder with the settings of our files (48 kHz mono, voice,
// the given bit rate); release it with opus_encoder_destroy. nullptr on failure.
OpusEncoder* newEncoder(int bitrate);

// The Ogg Opus file of the given packets, or nothing for an empty list (or a
// packet too large for one Ogg page, which our encoders never produce).
std::optional<QByteArray> assemble(const std::vector<QByteArray>& packets);

// Encodes a whole WAV file; nothing when the file cannot be read or gives no
// packet.
std::optional<QByteArray> encode(const QString& pcmPath, int bitrate);

// The Ogg page checksum (polynomial 0x04C11DB7, unreflected, no final xor).
quint32 crc32(const QByteArray& data);

}  // namespace OggOpus

// Incremental encoder fed while a recording grows: each append resamples the
// new samples and encodes every whole 20 ms frame, so that finish() has only
// the last partial frame left. append() and finish() may be called from
// different threads.
class OggOpusStream {
public:
    // inputRate in Hz, bitrate in bits per second; nullptr when the resampler
    // or the encoder cannot be made.
    static std::unique_ptr<OggOpusStream> create(double inputRate, int bitrate);
    ~OggOpusStream();
    OggOpusStream(const OggOpusStream&) = delete;
    OggOpusStream& operator=(const OggOpusStream&) = delete;

    // 16-bit little-endian mono samples at the input rate (an odd final byte
    // is ignored).
    void append(const QByteArray& pcm);
    // Encodes the rest, zero-padding the last frame, and returns the whole
    // file; nothing when no packet was made. The stream takes no audio after it.
    std::optional<QByteArray> finish();

    // Packets made so far and 48 kHz samples waiting for a whole frame.
    size_t packetCount() const;
    size_t pendingSamples() const;

private:
    explicit OggOpusStream(std::unique_ptr<OggOpusFrameEncoder> encoder);

    mutable std::mutex m_lock;
    std::unique_ptr<OggOpusFrameEncoder> m_encoder;
    bool m_finished = false;
};
