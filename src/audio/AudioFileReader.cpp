#include "audio/AudioFileReader.h"

#include <QFile>
#include <memory>
#include <vector>

#include "audio/AudioResampler.h"
#include "audio/LibavHandles.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace AudioFileReader {
namespace {
struct FormatCloser {
    void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
}  // namespace

Result read(const QString& path, int outRate, int outFormat,
            const std::function<bool(const uint8_t*, int)>& sink) {
    // Every caller hands a WAV file; naming the demuxer keeps arbitrary bytes
    // from being probed as some other format, and the "file:" prefix keeps a
    // name with a colon from being taken for a protocol.
    const AVInputFormat* wav = av_find_input_format("wav");
    AVFormatContext* rawFormat = nullptr;
    const QByteArray url = "file:" + QFile::encodeName(path);
    if (!wav || avformat_open_input(&rawFormat, url.constData(), wav, nullptr) < 0)
        return Result::OpenFailed;
    std::unique_ptr<AVFormatContext, FormatCloser> format(rawFormat);
    if (avformat_find_stream_info(format.get(), nullptr) < 0) return Result::OpenFailed;
    const AVCodec* codec = nullptr;
    const int streamIndex =
        av_find_best_stream(format.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (streamIndex < 0 || !codec) return Result::OpenFailed;

    libav::Codec decoder(avcodec_alloc_context3(codec));
    if (!decoder ||
        avcodec_parameters_to_context(decoder.get(), format->streams[streamIndex]->codecpar) < 0 ||
        avcodec_open2(decoder.get(), codec, nullptr) < 0)
        return Result::OpenFailed;

    auto resampler = AudioResampler::create(decoder->sample_rate, decoder->sample_fmt,
                                            decoder->ch_layout.nb_channels, outRate, outFormat);
    if (!resampler) return Result::OpenFailed;
    const int outBytes = resampler->outBytesPerSample();

    libav::Packet packet(av_packet_alloc());
    libav::Frame frame(av_frame_alloc());
    if (!packet || !frame) return Result::OpenFailed;

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
        if (rc < 0) return Result::ReadError;
        if (packet->stream_index != streamIndex) {
            av_packet_unref(packet.get());
            continue;
        }
        const int sent = avcodec_send_packet(decoder.get(), packet.get());
        av_packet_unref(packet.get());
        if (sent < 0 && sent != AVERROR(EAGAIN)) return Result::ReadError;
        if (!receiveFrames(stop)) return Result::ReadError;
        if (stop) return Result::Stopped;
    }
    avcodec_send_packet(decoder.get(), nullptr);
    if (!receiveFrames(stop)) return Result::ReadError;
    if (stop) return Result::Stopped;
    if (!resampler->drain(out)) return Result::ReadError;
    if (!handOn()) return Result::Stopped;
    return Result::Complete;
}

}  // namespace AudioFileReader
