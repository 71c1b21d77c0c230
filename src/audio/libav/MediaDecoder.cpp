#include "audio/libav/MediaDecoder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "audio/AudioResampler.h"
#include "audio/libav/LibavHandles.h"

extern "C" {
#include <libavutil/error.h>
#include <libavutil/log.h>
}

namespace libav {
namespace {

struct FormatCloser {
    void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};

// The first audio stream in the file's own order (not the one libav would
// rank best), or -1.
int firstAudioStream(const AVFormatContext* format) {
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        if (format->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) return int(i);
    }
    return -1;
}

// The share of the file read so far, from the decoded frames' timestamps.
class Progress {
public:
    Progress(const AVFormatContext* format, const AVStream* stream) {
        if (format->duration != AV_NOPTS_VALUE && format->duration > 0)
            m_duration = double(format->duration) / AV_TIME_BASE;
        if (format->start_time != AV_NOPTS_VALUE)
            m_start = double(format->start_time) / AV_TIME_BASE;
        m_timeBase = av_q2d(stream->time_base);
    }

    // One decoded frame; samplesBefore counts those decoded before it.
    // Nothing when the file does not state its duration.
    void frame(const AVFrame* f, int64_t samplesBefore, int sampleRate,
               const OrmilMediaDecode& request) {
        if (m_duration <= 0) return;
        double seconds;
        if (f->best_effort_timestamp != AV_NOPTS_VALUE)
            seconds = double(f->best_effort_timestamp) * m_timeBase - m_start;
        else
            seconds = sampleRate > 0 ? double(samplesBefore) / sampleRate : 0;
        double percent = seconds / m_duration * 100.0;
        if (std::isnan(percent) || percent > 100) percent = 100;
        percent = std::max({percent, 0.0, m_last});
        m_last = percent;
        if (request.progress) request.progress(request.context, percent);
    }

private:
    double m_duration = 0;
    double m_start = 0;
    double m_timeBase = 0;
    double m_last = 0;
};

int failure(OrmilMediaDecode& request, int status, int code) {
    av_strerror(code, request.error, sizeof request.error);
    return status;
}

}  // namespace

int decodeMedia(OrmilMediaDecode& request) {
    request.error[0] = '\0';
    // Decoder chatter about damaged or unusual files is not the user's concern.
    av_log_set_level(AV_LOG_ERROR);
    // "file:" keeps a name with a colon from being taken for a protocol.
    const std::string url = std::string("file:") + request.path;
    AVFormatContext* rawFormat = nullptr;
    std::unique_ptr<AVFormatContext, FormatCloser> format;
    int streamIndex = -1;
    if (avformat_open_input(&rawFormat, url.c_str(), nullptr, nullptr) >= 0) {
        format.reset(rawFormat);
        if (avformat_find_stream_info(format.get(), nullptr) >= 0)
            streamIndex = firstAudioStream(format.get());
    }
    if (streamIndex < 0) return ORMIL_MEDIA_NO_AUDIO_STREAM;
    // Only the chosen stream's packets are worth demuxing.
    for (unsigned i = 0; i < format->nb_streams; ++i)
        format->streams[i]->discard = int(i) == streamIndex ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    AVStream* stream = format->streams[streamIndex];

    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    Codec decoder(codec ? avcodec_alloc_context3(codec) : nullptr);
    if (!decoder || avcodec_parameters_to_context(decoder.get(), stream->codecpar) < 0)
        return ORMIL_MEDIA_DECODER_UNUSABLE;
    const int opened = avcodec_open2(decoder.get(), codec, nullptr);
    if (opened < 0) return failure(request, ORMIL_MEDIA_DECODER_FAILED, opened);
    // The conversion to mono 16-bit; made again if a frame's layout differs
    // from the one before.
    const int outRate = request.outRate;
    int inRate = decoder->sample_rate, inFormat = decoder->sample_fmt,
        inChannels = decoder->ch_layout.nb_channels;
    std::unique_ptr<AudioResampler> resampler =
        AudioResampler::create(inRate, inFormat, inChannels, outRate, AV_SAMPLE_FMT_S16);
    if (!resampler) return ORMIL_MEDIA_NO_CONVERSION;
    if (request.ready && !request.ready(request.context)) return ORMIL_MEDIA_STOPPED;

    Packet packet(av_packet_alloc());
    Frame frame(av_frame_alloc());
    if (!packet || !frame) return ORMIL_MEDIA_DECODER_UNUSABLE;

    Progress progress(format.get(), stream);
    std::vector<uint8_t> pcm;
    int64_t samplesDecoded = 0;
    bool stopped = false;
    auto hand = [&] {
        if (!pcm.empty() && !stopped)
            stopped = !request.sink(request.context, pcm.data(), int(pcm.size() / 2));
        pcm.clear();
    };
    // Pulls every frame the decoder has ready; an error code or 0.
    auto receive = [&]() -> int {
        for (;;) {
            const int rc = avcodec_receive_frame(decoder.get(), frame.get());
            if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return 0;
            if (rc < 0) return rc;
            const int channels = frame->ch_layout.nb_channels;
            if (frame->sample_rate != inRate || frame->format != inFormat ||
                channels != inChannels) {
                if (!resampler->drain(pcm)) return AVERROR(EINVAL);
                inRate = frame->sample_rate;
                inFormat = frame->format;
                inChannels = channels;
                resampler =
                    AudioResampler::create(inRate, inFormat, inChannels, outRate, AV_SAMPLE_FMT_S16);
                if (!resampler) return AVERROR(EINVAL);
            }
            const bool ok = resampler->convert(frame->extended_data, frame->nb_samples, pcm);
            progress.frame(frame.get(), samplesDecoded, inRate, request);
            samplesDecoded += frame->nb_samples;
            av_frame_unref(frame.get());
            if (!ok) return AVERROR(EINVAL);
            hand();
            if (stopped) return 0;
        }
    };

    for (;;) {
        const int rc = av_read_frame(format.get(), packet.get());
        if (rc == AVERROR_EOF) break;
        if (rc < 0) return failure(request, ORMIL_MEDIA_READ_FAILED, rc);
        if (packet->stream_index != streamIndex) {
            av_packet_unref(packet.get());
            continue;
        }
        const int sent = avcodec_send_packet(decoder.get(), packet.get());
        av_packet_unref(packet.get());
        // A damaged packet is skipped as players do; the stream goes on.
        if (sent < 0 && sent != AVERROR(EAGAIN) && sent != AVERROR_INVALIDDATA)
            return failure(request, ORMIL_MEDIA_READ_FAILED, sent);
        if (const int r = receive(); r < 0 && r != AVERROR_INVALIDDATA)
            return failure(request, ORMIL_MEDIA_READ_FAILED, r);
        if (stopped) return ORMIL_MEDIA_STOPPED;
    }
    avcodec_send_packet(decoder.get(), nullptr);
    if (const int r = receive(); r < 0 && r != AVERROR_INVALIDDATA)
        return failure(request, ORMIL_MEDIA_READ_FAILED, r);
    if (stopped) return ORMIL_MEDIA_STOPPED;
    if (!resampler->drain(pcm)) return failure(request, ORMIL_MEDIA_READ_FAILED, AVERROR(EINVAL));
    hand();
    return stopped ? ORMIL_MEDIA_STOPPED : ORMIL_MEDIA_DECODED;
}

}  // namespace libav
