// The media module's entry: the one symbol the application looks up.
#include "audio/MediaModuleInterface.h"
#include "audio/libav/AacWriter.h"
#include "audio/libav/MediaDecoder.h"
#include "audio/libav/WavReader.h"

namespace {

int readWav(const char* path, int outRate, int outFormat, OrmilMediaSink sink, void* context) {
    return libav::readWav(path, outRate, outFormat, [&](const uint8_t* bytes, int samples) {
        return sink(context, bytes, samples) != 0;
    });
}

int encodeAac(const char* wavPath, const char* m4aPath, int sampleRate, int bitrate) {
    return libav::writeAac(wavPath, m4aPath, sampleRate, bitrate) ? 1 : 0;
}

int decodeMedia(OrmilMediaDecode* request) {
    return libav::decodeMedia(*request);
}

const OrmilMediaFunctions kFunctions{ORMIL_MEDIA_INTERFACE_VERSION, &readWav, &encodeAac,
                                     &decodeMedia};

}  // namespace

extern "C" __attribute__((visibility("default"))) const OrmilMediaFunctions*
ormil_media_functions(void) {
    return &kFunctions;
}
