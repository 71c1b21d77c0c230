#include "audio/libav/WavReader.h"

#include <memory>
#include <string>
#include <vector>

#include "audio/AudioResampler.h"
#include "audio/libav/LibavHandles.h"

namespace libav {
namespace {
struct FormatCloser {
    void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
}  // namespace

int readWav(const char* path, int outRate, int outFormat,
            const std::function<bool(const uint8_t*, int)>& sink) {
    // Every caller hands a WAV file; naming the demuxer keeps arbitrary bytes
    // from being probed as some other format, and the "file:" prefix keeps a
    // name with a colon from being taken for a protocol.
    const AVInputFormat* wav = av_find_input_format("wav");
    AVFormatContext* rawFormat = nullptr;
    const std::string url = std::string("file:") + path;
    if (!wav || avformat_open_input(&rawFormat, url.c_str(), wav, nullptr) < 0)
        return ORMIL_MEDIA_READ_OPEN_FAILED;
    std::unique_ptr<AVFormatContext, FormatCloser> format(rawFormat);
    if (avformat_find_stream_info(format.get(), nullptr) < 0) return ORMIL_MEDIA_READ_OPEN_FAILED;
    const AVCodec* codec = nullptr;
    const int streamIndex =
        av_find_best_stream(format.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (streamIndex < 0 || !codec) return ORMIL_MEDIA_READ_OPEN_FAILED;

    Codec decoder(avcodec_alloc_context3(codec));
    if (!decoder ||
        avcodec_parameters_to_context(decoder.get(), format->streams[streamIndex]->codecpar) < 0 ||
        avcodec_open2(decoder.get(), codec, nullptr) < 0)
        return ORMIL_MEDIA_READ_OPEN_FAILED;

    auto resampler = AudioResampler::create(decoder->sample_rate, decoder->sample_fmt,
                                            decoder->ch_layout.nb_channels, outRate, outFormat);
    if (!resampler) return ORMIL_MEDIA_READ_OPEN_FAILED;
    const int outBytes = resampler->outBytesPerSample();

    Packet packet(av_packet_alloc());
    Frame frame(av_frame_alloc());
    if (!packet || !frame) return ORMIL_MEDIA_READ_OPEN_FAILED;

    std::vector<uint8_t> out;
    auto handOn = [&]() -> bool {
        const bool more = out.empty() || sink(out.data(), int(out.size() / size_t(outBytes)));
        out.clear();
        return more;
    };
    // Pulls every decoded frame out of the decoder; false on a decode error.
    auto receiveFrames = [&](bool& stop) -> bool {
        for (;;) {
            const int rc = avcodec_receive_frame(decoder.get(), frame.get());
            if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return true;
            if (rc < 0) return false;
            const bool ok = resampler->convert(frame->extended_data, frame->nb_samples, out);
            av_frame_unref(frame.get());
            if (!ok) return false;
            if (!handOn()) {
                stop = true;
                return true;
            }
        }
    };

    bool stop = false;
    for (;;) {
        const int rc = av_read_frame(format.get(), packet.get());
        if (rc == AVERROR_EOF) break;
        if (rc < 0) return ORMIL_MEDIA_READ_ERROR;
        if (packet->stream_index != streamIndex) {
            av_packet_unref(packet.get());
            continue;
        }
        const int sent = avcodec_send_packet(decoder.get(), packet.get());
        av_packet_unref(packet.get());
        if (sent < 0 && sent != AVERROR(EAGAIN)) return ORMIL_MEDIA_READ_ERROR;
        if (!receiveFrames(stop)) return ORMIL_MEDIA_READ_ERROR;
        if (stop) return ORMIL_MEDIA_READ_STOPPED;
    }
    avcodec_send_packet(decoder.get(), nullptr);
    if (!receiveFrames(stop)) return ORMIL_MEDIA_READ_ERROR;
    if (stop) return ORMIL_MEDIA_READ_STOPPED;
    if (!resampler->drain(out)) return ORMIL_MEDIA_READ_ERROR;
    if (!handOn()) return ORMIL_MEDIA_READ_STOPPED;
    return ORMIL_MEDIA_READ_COMPLETE;
}

}  // namespace libav
