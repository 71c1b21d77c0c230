#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// AAC-LC in an M4A file (FFmpeg's native encoder and the ipod muxer): the
// upload fallback when Ogg Opus cannot be made.
namespace AacEncoder {

inline constexpr int kSampleRate = 16000;
inline constexpr int kBitrate = 24000;

// Encodes the WAV file at wavPath into m4aPath and returns the M4A file's
// bytes; nothing when the input is unreadable, no audio was encoded or the
// file could not be written. A read error partway ends the audio there.
std::optional<QByteArray> encode(const QString& wavPath, const QString& m4aPath);

}  // namespace AacEncoder
