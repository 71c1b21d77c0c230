#pragma once

#include <cstdint>
#include <functional>

#include "audio/MediaModuleInterface.h"

namespace libav {

// Reads a WAV file of any PCM layout and hands its audio on as mono samples
// of one packed sample format (an AVSampleFormat) and rate, in pieces; `sink`
// returning false stops the read. Gives an OrmilMediaReadStatus.
int readWav(const char* path, int outRate, int outFormat,
            const std::function<bool(const uint8_t* bytes, int samples)>& sink);

}  // namespace libav
