#include "AudioInfo.h"

#include <QtEndian>

namespace devservice {

namespace {

quint32 le32(const QByteArray& d, qsizetype at) {
    return qFromLittleEndian<quint32>(reinterpret_cast<const uchar*>(d.constData() + at));
}

std::optional<double> wavSeconds(const QByteArray& d) {
    if (d.size() < 12 || d.left(4) != "RIFF" || d.mid(8, 4) != "WAVE") return std::nullopt;
    quint32 byteRate = 0;
    qsizetype pos = 12;
    while (pos + 8 <= d.size()) {
        const QByteArray id = d.mid(pos, 4);
        const quint32 size = le32(d, pos + 4);
        if (id == "fmt " && pos + 8 + 12 <= d.size()) byteRate = le32(d, pos + 8 + 8);
        if (id == "data") {
            if (byteRate == 0) return std::nullopt;
            const qint64 present = std::min<qint64>(size, d.size() - (pos + 8));
            return double(present) / byteRate;
        }
        pos += 8 + qsizetype(size) + qsizetype(size % 2);
    }
    return std::nullopt;
}

std::optional<double> oggOpusSeconds(const QByteArray& d) {
    if (!d.startsWith("OggS")) return std::nullopt;
    qint64 lastGranule = -1;
    int preSkip = -1;
    qsizetype pos = 0;
    while (pos + 27 <= d.size() && d.mid(pos, 4) == "OggS") {
        const auto* p = reinterpret_cast<const uchar*>(d.constData() + pos);
        const qint64 granule = qFromLittleEndian<qint64>(p + 6);
        const int segments = p[26];
        if (pos + 27 + segments > d.size()) break;
        qsizetype payload = 0;
        for (int i = 0; i < segments; ++i) payload += p[27 + i];
        const qsizetype body = pos + 27 + segments;
        if (preSkip < 0 && d.mid(body, 8) == "OpusHead" && body + 12 <= d.size())
            preSkip = qFromLittleEndian<quint16>(
                reinterpret_cast<const uchar*>(d.constData() + body + 10));
        if (granule >= 0 && body + payload <= d.size()) lastGranule = granule;
        pos = body + payload;
    }
    if (preSkip < 0 || lastGranule < 0) return std::nullopt;
    return std::max<qint64>(0, lastGranule - preSkip) / 48000.0;
}

}  // namespace

std::optional<double> audioSeconds(const QByteArray& data) {
    if (auto s = wavSeconds(data)) return s;
    return oggOpusSeconds(data);
}

}  // namespace devservice
