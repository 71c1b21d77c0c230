#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

// The sound of an audio or video file as a small Ogg Opus file (16 kHz
// mono at 24 kbit/s, the encoder of live recordings): the first audio stream
// of the file, decoded and converted frame by frame, so memory stays bounded
// whatever the file's length. Blocks: call it off the main thread.
namespace MediaAudioExtractor {

// onProgress gets the percentage read (0 to 100) once per decoded frame
// when the file states its duration, on the calling thread. Nothing on any
// failure, each logged once.
std::optional<QByteArray> extractOpusAudio(const QString& filePath,
                                           const std::function<void(double percent)>& onProgress);

}  // namespace MediaAudioExtractor
