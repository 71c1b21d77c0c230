#pragma once

// Independent readers of Ogg Opus files for the tests: libogg splits the
// pages (and drops any whose checksum is wrong), libopusfile decodes.
#include <ogg/ogg.h>
#include <opus/opusfile.h>

#include <QByteArray>
#include <QtEndian>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

namespace oggkit {

struct Page {
    quint8 flags = 0;
    quint64 granule = 0;
    quint32 serial = 0;
    quint32 seq = 0;
    std::vector<int> lacing;
    QByteArray raw;
};

// A libogg sync state holding the whole file.
struct Sync {
    ogg_sync_state state;
    explicit Sync(const QByteArray& file) {
        ogg_sync_init(&state);
        char* buf = ogg_sync_buffer(&state, long(file.size()));
        std::memcpy(buf, file.constData(), size_t(file.size()));
        ogg_sync_wrote(&state, long(file.size()));
    }
    ~Sync() { ogg_sync_clear(&state); }
    bool next(ogg_page& og) { return ogg_sync_pageout(&state, &og) == 1; }
};

// Pages as libogg sees them; a page with a bad checksum is skipped by libogg,
// so the count shows whether every checksum was right.
inline std::vector<Page> pages(const QByteArray& file) {
    std::vector<Page> out;
    Sync sync(file);
    ogg_page og;
    while (sync.next(og)) {
        Page p;
        p.flags = og.header[5];
        p.granule = quint64(ogg_page_granulepos(&og));
        p.serial = quint32(ogg_page_serialno(&og));
        p.seq = quint32(ogg_page_pageno(&og));
        for (int i = 0; i < og.header[26]; ++i) p.lacing.push_back(og.header[27 + i]);
        p.raw = QByteArray(reinterpret_cast<const char*>(og.header), og.header_len) +
                QByteArray(reinterpret_cast<const char*>(og.body), og.body_len);
        out.push_back(p);
    }
    return out;
}

// The packets of the first logical stream, reassembled by libogg from the lacing.
inline std::vector<QByteArray> packets(const QByteArray& file) {
    std::vector<QByteArray> out;
    Sync sync(file);
    ogg_stream_state stream;
    bool started = false;
    ogg_page og;
    while (sync.next(og)) {
        if (!started) {
            ogg_stream_init(&stream, ogg_page_serialno(&og));
            started = true;
        }
        ogg_stream_pagein(&stream, &og);
        ogg_packet op;
        while (ogg_stream_packetout(&stream, &op) == 1)
            out.emplace_back(reinterpret_cast<const char*>(op.packet), op.bytes);
    }
    if (started) ogg_stream_clear(&stream);
    return out;
}

struct Decoded {
    int error = 0;            // first negative libopusfile result, 0 when none
    qint64 declared = 0;      // op_pcm_total: samples at 48 kHz after pre-skip
    std::vector<qint16> pcm;  // 48 kHz mono
};

inline Decoded decode(const QByteArray& file) {
    Decoded d;
    int err = 0;
    OggOpusFile* of = op_open_memory(reinterpret_cast<const unsigned char*>(file.constData()),
                                     size_t(file.size()), &err);
    if (!of) {
        d.error = err ? err : -1;
        return d;
    }
    d.declared = op_pcm_total(of, -1);
    std::vector<opus_int16> buf(5760);
    for (;;) {
        const int n = op_read(of, buf.data(), int(buf.size()), nullptr);
        if (n < 0) {
            d.error = n;
            break;
        }
        if (n == 0) break;
        d.pcm.insert(d.pcm.end(), buf.begin(), buf.begin() + n);
    }
    op_free(of);
    return d;
}

// Energy per 20 ms block, so two signals can be compared without caring
// about the codec's exact waveform.
inline std::vector<double> envelope(const qint16* s, size_t n, int rate) {
    const size_t block = size_t(rate / 50);
    std::vector<double> e;
    for (size_t i = 0; i + block <= n; i += block) {
        double sum = 0;
        for (size_t j = i; j < i + block; ++j) sum += double(s[j]) * s[j];
        e.push_back(std::sqrt(sum / double(block)));
    }
    return e;
}

inline double correlation(const std::vector<double>& a, const std::vector<double>& b) {
    const size_t n = std::min(a.size(), b.size());
    if (n == 0) return 0;
    double ma = 0, mb = 0;
    for (size_t i = 0; i < n; ++i) ma += a[i], mb += b[i];
    ma /= double(n), mb /= double(n);
    double sab = 0, saa = 0, sbb = 0;
    for (size_t i = 0; i < n; ++i) {
        sab += (a[i] - ma) * (b[i] - mb);
        saa += (a[i] - ma) * (a[i] - ma);
        sbb += (b[i] - mb) * (b[i] - mb);
    }
    return saa > 0 && sbb > 0 ? sab / std::sqrt(saa * sbb) : 0;
}

}  // namespace oggkit
