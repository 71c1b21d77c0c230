// A file the user drops for file transcription (any audio or video format),
// and a WAV file handed to the encoders: the sound taken out of it as Ogg
// Opus, and the WAV reader's samples in both layouts its callers ask for.
#include <cmath>

extern "C" {
#include <libavutil/samplefmt.h>
}

#include "FuzzSupport.h"
#include "audio/AudioFileReader.h"
#include "audio/MediaAudioExtractor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = fuzz::writeScratchFile(QStringLiteral("dropped.media"), data, size);
    if (path.isEmpty()) return 0;

    double last = 0;
    const auto ogg = MediaAudioExtractor::extractOpusAudio(path, [&](double percent) {
        if (!std::isfinite(percent) || percent < last || percent > 100) __builtin_trap();
        last = percent;
    });
    if (ogg && !ogg->startsWith("OggS")) __builtin_trap();

    for (const auto& [rate, format] : {std::pair{16000, int(AV_SAMPLE_FMT_S16)},
                                       std::pair{44100, int(AV_SAMPLE_FMT_FLTP)}}) {
        const int bytesPerSample = av_get_bytes_per_sample(AVSampleFormat(format));
        AudioFileReader::read(path, rate, format, [&](const uint8_t* bytes, int samples) {
            if (!bytes || samples <= 0) __builtin_trap();
            // Touch the first and the last byte handed on.
            volatile uint8_t edge = bytes[0];
            edge = bytes[size_t(samples) * size_t(bytesPerSample) - 1];
            (void)edge;
            return true;
        });
    }
    return 0;
}
