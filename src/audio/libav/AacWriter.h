#pragma once

namespace libav {

// Encodes the WAV file's audio as AAC-LC (FFmpeg's native encoder) in an M4A
// file (the ipod muxer), mono at the given rate and bit rate. True when the
// file was written; a read error partway keeps the audio read so far, an
// unreadable input or a failed write gives false.
bool writeAac(const char* wavPath, const char* m4aPath, int sampleRate, int bitrate);

}  // namespace libav
