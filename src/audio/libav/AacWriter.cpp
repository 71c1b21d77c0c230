#include "audio/libav/AacWriter.h"

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "audio/libav/LibavHandles.h"
#include "audio/libav/WavReader.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

namespace libav {
namespace {

struct OutputCloser {
    void operator()(AVFormatContext* c) const {
        if (c->pb) avio_closep(&c->pb);
        avformat_free_context(c);
    }
};

class Writer {
public:
    bool open(const char* path, int sampleRate, int bitrate) {
        const AVOutputFormat* m4a = av_guess_format("ipod", nullptr, nullptr);
        const AVCodec* codec = avcodec_find_encoder_by_name("aac");
        if (!m4a || !codec) return false;
        AVFormatContext* raw = nullptr;
        const std::string url = std::string("file:") + path;
        if (avformat_alloc_output_context2(&raw, m4a, nullptr, url.c_str()) < 0 || !raw)
            return false;
        m_out.reset(raw);

        m_codec.reset(avcodec_alloc_context3(codec));
        if (!m_codec) return false;
        m_codec->sample_fmt = AV_SAMPLE_FMT_FLTP;
        m_codec->sample_rate = sampleRate;
        av_channel_layout_default(&m_codec->ch_layout, 1);
        m_codec->bit_rate = bitrate;
        m_codec->time_base = AVRational{1, sampleRate};
        if (m_out->oformat->flags & AVFMT_GLOBALHEADER)
            m_codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        if (avcodec_open2(m_codec.get(), codec, nullptr) < 0) return false;
        m_smallLastFrame = codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME;

        m_stream = avformat_new_stream(m_out.get(), nullptr);
        if (!m_stream || avcodec_parameters_from_context(m_stream->codecpar, m_codec.get()) < 0)
            return false;
        m_stream->time_base = m_codec->time_base;
        if (avio_open(&m_out->pb, url.c_str(), AVIO_FLAG_WRITE) < 0) return false;
        if (avformat_write_header(m_out.get(), nullptr) < 0) return false;
        m_packet.reset(av_packet_alloc());
        m_frame.reset(av_frame_alloc());
        return m_packet && m_frame;
    }

    bool add(const float* samples, int count) {
        m_pending.insert(m_pending.end(), samples, samples + count);
        const size_t frameSize = size_t(m_codec->frame_size);
        size_t used = 0;
        while (m_pending.size() - used >= frameSize) {
            if (!encodeFrame(m_pending.data() + used, int(frameSize))) return false;
            used += frameSize;
        }
        m_pending.erase(m_pending.begin(), m_pending.begin() + std::ptrdiff_t(used));
        return true;
    }

    // Encodes the last partial frame, drains the encoder and closes the file.
    bool finish() {
        if (!m_pending.empty()) {
            if (!m_smallLastFrame) m_pending.resize(size_t(m_codec->frame_size), 0.0f);
            if (!encodeFrame(m_pending.data(), int(m_pending.size()))) return false;
            m_pending.clear();
        }
        if (m_samplesIn == 0) return false;
        if (!send(nullptr)) return false;
        if (av_write_trailer(m_out.get()) < 0) return false;
        return avio_closep(&m_out->pb) >= 0;
    }

private:
    bool encodeFrame(const float* samples, int count) {
        av_frame_unref(m_frame.get());
        m_frame->nb_samples = count;
        m_frame->format = m_codec->sample_fmt;
        m_frame->sample_rate = m_codec->sample_rate;
        if (av_channel_layout_copy(&m_frame->ch_layout, &m_codec->ch_layout) < 0 ||
            av_frame_get_buffer(m_frame.get(), 0) < 0)
            return false;
        std::memcpy(m_frame->data[0], samples, size_t(count) * sizeof(float));
        m_frame->pts = m_samplesIn;
        m_samplesIn += count;
        return send(m_frame.get());
    }

    bool send(AVFrame* frame) {
        if (avcodec_send_frame(m_codec.get(), frame) < 0) return false;
        for (;;) {
            const int rc = avcodec_receive_packet(m_codec.get(), m_packet.get());
            if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return true;
            if (rc < 0) return false;
            av_packet_rescale_ts(m_packet.get(), m_codec->time_base, m_stream->time_base);
            m_packet->stream_index = m_stream->index;
            if (av_interleaved_write_frame(m_out.get(), m_packet.get()) < 0) return false;
        }
    }

    std::unique_ptr<AVFormatContext, OutputCloser> m_out;
    Codec m_codec;
    Packet m_packet;
    Frame m_frame;
    AVStream* m_stream = nullptr;
    bool m_smallLastFrame = false;
    std::vector<float> m_pending;
    int64_t m_samplesIn = 0;
};

}  // namespace

bool writeAac(const char* wavPath, const char* m4aPath, int sampleRate, int bitrate) {
    Writer writer;
    if (!writer.open(m4aPath, sampleRate, bitrate)) return false;
    bool writeFailed = false;
    const int result =
        readWav(wavPath, sampleRate, AV_SAMPLE_FMT_FLTP, [&](const uint8_t* bytes, int samples) {
            writeFailed = !writer.add(reinterpret_cast<const float*>(bytes), samples);
            return !writeFailed;
        });
    if (result == ORMIL_MEDIA_READ_OPEN_FAILED || writeFailed) return false;
    return writer.finish();
}

}  // namespace libav
