#include "audio/AudioResampler.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
}

std::unique_ptr<AudioResampler> AudioResampler::create(int inRate, int inFormat, int inChannels,
                                                       int outRate, int outFormat) {
    if (inRate <= 0 || outRate <= 0 || inChannels < 0) return nullptr;
    const auto inFmt = static_cast<AVSampleFormat>(inFormat);
    const auto outFmt = static_cast<AVSampleFormat>(outFormat);
    // Output is one channel, so a planar and a packed format lay out alike.
    const int outBytes = av_get_bytes_per_sample(outFmt);
    if (av_get_bytes_per_sample(inFmt) <= 0 || outBytes <= 0) return nullptr;

    AVChannelLayout inLayout{};
    av_channel_layout_default(&inLayout, inChannels == 0 ? 1 : inChannels);
    AVChannelLayout outLayout{};
    av_channel_layout_default(&outLayout, 1);
    SwrContext* swr = nullptr;
    const int rc = swr_alloc_set_opts2(&swr, &outLayout, outFmt, outRate, &inLayout, inFmt, inRate,
                                       0, nullptr);
    av_channel_layout_uninit(&inLayout);
    av_channel_layout_uninit(&outLayout);
    if (rc < 0 || !swr || swr_init(swr) < 0) {
        swr_free(&swr);
        return nullptr;
    }
    return std::unique_ptr<AudioResampler>(new AudioResampler(swr, outBytes));
}

AudioResampler::~AudioResampler() {
    swr_free(&m_swr);
}

bool AudioResampler::run(const uint8_t* const* planes, int samples, std::vector<uint8_t>& out) {
    const int capacity = swr_get_out_samples(m_swr, samples);
    if (capacity < 0) return false;
    if (capacity == 0) return true;
    const size_t before = out.size();
    out.resize(before + size_t(capacity) * size_t(m_outBytes));
    uint8_t* dst = out.data() + before;
    const int got =
        swr_convert(m_swr, &dst, capacity, const_cast<const uint8_t**>(planes), samples);
    out.resize(before + size_t(got > 0 ? got : 0) * size_t(m_outBytes));
    return got >= 0;
}

bool AudioResampler::convert(const uint8_t* const* planes, int samples, std::vector<uint8_t>& out) {
    if (samples <= 0) return true;
    return run(planes, samples, out);
}

bool AudioResampler::drain(std::vector<uint8_t>& out) {
    return run(nullptr, 0, out);
}
