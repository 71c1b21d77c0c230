#include "audio/AudioFormat.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>

#include "platform/SettingsStore.h"

namespace {

// Walks the RIFF chunks and returns the position of the "data" chunk header.
// Only the sizes of the chunks before it are trusted; all arithmetic is 64-bit
// so that no declared size can wrap the walk around.
std::optional<qint64> findDataChunkHeader(const QByteArray& data) {
    const qint64 length = data.size();
    if (length < 12) return std::nullopt;
    if (std::memcmp(data.constData(), "RIFF", 4) != 0 ||
        std::memcmp(data.constData() + 8, "WAVE", 4) != 0)
        return std::nullopt;
    qint64 position = 12;
    for (;;) {
        if (position + 8 > length) return std::nullopt;
        const char* header = data.constData() + position;
        if (std::memcmp(header, "data", 4) == 0) return position;
        const qint64 size = qFromLittleEndian<quint32>(header + 4);
        // Chunk bodies of odd size are followed by one pad byte.
        position += 8 + size + (size % 2);
    }
}

template <typename T>
void putLE(char* at, T value) {
    qToLittleEndian(value, at);
}

}  // namespace

std::optional<AudioFormat::DataChunk> AudioFormat::parseDataChunk(
    const QByteArray& data) {
    const auto header = findDataChunkHeader(data);
    if (!header) return std::nullopt;
    const qint64 offset = *header + 8;
    const qint64 declared = qFromLittleEndian<quint32>(data.constData() + *header + 4);
    const qint64 size = std::min(declared, qint64(data.size()) - offset);
    if (size < 1) return std::nullopt;
    return DataChunk{offset, size};
}

std::optional<qint64> AudioFormat::parseDataOffsetForGrowingFile(const QByteArray& data) {
    const auto header = findDataChunkHeader(data);
    if (!header) return std::nullopt;
    return *header + 8;
}

QByteArray AudioFormat::createWAVChunk(const QByteArray& data, qint64 dataOffset,
                                                qint64 startSample, qint64 sampleCount) {
    // The 32-bit size fields limit one file's PCM part.
    constexpr qint64 kMaxPcmBytes = qint64(0xFFFFFFFFu) - 36;
    const qint64 length = data.size();
    // Byte counts of sample counts, saturated well below overflow: nothing
    // beyond the data's length matters.
    auto bytesOf = [length](qint64 samples) {
        return samples <= 0 ? qint64(0) : samples > length ? 2 * length + 2 : 2 * samples;
    };
    const qint64 base = std::clamp(dataOffset, qint64(0), length);
    const qint64 start = std::min(base + bytesOf(startSample), length);
    const qint64 end = start + std::min({bytesOf(sampleCount), length - start, kMaxPcmBytes});
    const qint64 pcmBytes = end - start;

    QByteArray out(44 + pcmBytes, Qt::Uninitialized);
    char* h = out.data();
    std::memcpy(h, "RIFF", 4);
    putLE<quint32>(h + 4, quint32(pcmBytes + 36));
    std::memcpy(h + 8, "WAVEfmt ", 8);
    putLE<quint32>(h + 16, 16);
    putLE<quint16>(h + 20, 1);
    putLE<quint16>(h + 22, 1);
    putLE<quint32>(h + 24, sampleRate);
    putLE<quint32>(h + 28, bytesPerSecond);
    putLE<quint16>(h + 32, bytesPerSample);
    putLE<quint16>(h + 34, 16);
    std::memcpy(h + 36, "data", 4);
    putLE<quint32>(h + 40, quint32(pcmBytes));
    if (pcmBytes > 0) std::memcpy(h + 44, data.constData() + start, size_t(pcmBytes));
    return out;
}

int AudioFormat::opusBitrate(const SettingsStore& settings) {
    const QString quality = settings.stringOrDefault("audioQuality");
    if (quality == "fast") return 16000;
    if (quality == "high") return 48000;
    if (quality == "best") return 64000;
    return 24000;
}

int AudioFormat::opusBitrate() {
    return opusBitrate(SettingsStore::shared());
}
