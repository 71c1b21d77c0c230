#pragma once

#include <cstdint>
#include <memory>
#include <vector>

struct SwrContext;

// Converts interleaved or planar audio of any sample format, rate and channel
// count into mono audio of one packed sample format and rate (libswresample).
// Keeps the filter state between calls, so a signal fed in pieces comes out
// as if it had been converted at once; drain() releases what the filter
// still holds at the end.
class AudioResampler {
public:
    // inFormat and outFormat are AVSampleFormat values; inChannels 0 counts
    // as mono. Returns nullptr when the conversion cannot be set up.
    static std::unique_ptr<AudioResampler> create(int inRate, int inFormat, int inChannels,
                                                  int outRate, int outFormat);
    ~AudioResampler();
    AudioResampler(const AudioResampler&) = delete;
    AudioResampler& operator=(const AudioResampler&) = delete;

    // Converts `samples` input samples (per channel; `planes` as libav hands
    // them) and appends the output bytes to `out`. False on a converter error.
    bool convert(const uint8_t* const* planes, int samples, std::vector<uint8_t>& out);
    // Appends the samples still held by the filter.
    bool drain(std::vector<uint8_t>& out);

    int outBytesPerSample() const { return m_outBytes; }

private:
    AudioResampler(SwrContext* swr, int outBytes) : m_swr(swr), m_outBytes(outBytes) {}
    bool run(const uint8_t* const* planes, int samples, std::vector<uint8_t>& out);

    SwrContext* m_swr;
    int m_outBytes;
};
