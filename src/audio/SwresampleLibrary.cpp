// libswresample (with libavutil and its hardware libraries under it) is
// opened on the first conversion, not at start; this file's functions stand
// in for the few AudioResampler calls and forward to it. Without the library
// every conversion fails to set up (AudioResampler::create answers nullptr)
// and the log says why once. The media module links its own copy of
// AudioResampler against FFmpeg directly.
extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
}

#include <cerrno>

#include "platform/OnDemandLibrary.h"

namespace {

enum Function {
    bytesPerSample,
    defaultLayout,
    uninitLayout,
    allocSetOpts,
    init,
    freeContext,
    outSamples,
    convert
};

OnDemandLibrary& swresample() {
    static OnDemandLibrary l(
        "libswresample.so.4",
        {"av_get_bytes_per_sample", "av_channel_layout_default", "av_channel_layout_uninit",
         "swr_alloc_set_opts2", "swr_init", "swr_free", "swr_get_out_samples", "swr_convert"},
        "[Audio]", "recordings cannot be converted for upload");
    return l;
}

template <typename Pointer>
Pointer function(Function f) {
    return swresample().function<Pointer>(f);
}

}  // namespace

extern "C" {

int av_get_bytes_per_sample(enum AVSampleFormat format) {
    if (!swresample().load()) return 0;
    return function<decltype(&av_get_bytes_per_sample)>(bytesPerSample)(format);
}

void av_channel_layout_default(AVChannelLayout* layout, int channels) {
    if (swresample().load())
        function<decltype(&av_channel_layout_default)>(defaultLayout)(layout, channels);
}

void av_channel_layout_uninit(AVChannelLayout* layout) {
    if (swresample().load()) function<decltype(&av_channel_layout_uninit)>(uninitLayout)(layout);
}

int swr_alloc_set_opts2(SwrContext** context, AVChannelLayout* outLayout,
                        enum AVSampleFormat outFormat, int outRate, AVChannelLayout* inLayout,
                        enum AVSampleFormat inFormat, int inRate, int logOffset, void* logContext) {
    if (!swresample().load()) return AVERROR(ENOSYS);
    return function<decltype(&swr_alloc_set_opts2)>(allocSetOpts)(
        context, outLayout, outFormat, outRate, inLayout, inFormat, inRate, logOffset, logContext);
}

int swr_init(SwrContext* context) {
    if (!swresample().load()) return AVERROR(ENOSYS);
    return function<decltype(&swr_init)>(init)(context);
}

void swr_free(SwrContext** context) {
    if (swresample().load()) function<decltype(&swr_free)>(freeContext)(context);
}

int swr_get_out_samples(SwrContext* context, int inSamples) {
    if (!swresample().load()) return AVERROR(ENOSYS);
    return function<decltype(&swr_get_out_samples)>(outSamples)(context, inSamples);
}

int swr_convert(SwrContext* context, uint8_t** out, int outCount, const uint8_t** in, int inCount) {
    if (!swresample().load()) return AVERROR(ENOSYS);
    return function<decltype(&swr_convert)>(convert)(context, out, outCount, in, inCount);
}

}  // extern "C"
