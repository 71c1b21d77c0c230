#pragma once

#include <QString>
#include <cstdint>
#include <functional>

// Reads a WAV file of any PCM layout and hands its audio on as mono samples
// of one packed sample format and rate, in pieces (libavformat/libavcodec, in
// the media module).
namespace AudioFileReader {

enum class Result {
    Complete,    // the whole file was read
    OpenFailed,  // not a readable WAV file, or the conversion cannot be set up
    ReadError,   // a read or decode error after some audio was handed on
    Stopped,     // the sink asked to stop
};

// `sink` receives the converted bytes of each piece and the number of samples
// in it; returning false stops the read. outFormat is an AVSampleFormat.
Result read(const QString& path, int outRate, int outFormat,
            const std::function<bool(const uint8_t* bytes, int samples)>& sink);

}  // namespace AudioFileReader
