#pragma once

#include <QByteArray>
#include <optional>

namespace devservice {

// Seconds of audio in a WAV file (from its "fmt " byte rate and "data"
// size) or an Ogg Opus stream (from the last granule position, less the
// pre-skip). Nothing when the length cannot be told.
std::optional<double> audioSeconds(const QByteArray& data);

}  // namespace devservice
