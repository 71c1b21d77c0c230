#pragma once

#include <QByteArray>
#include <QString>

class SettingsStore;

// Amplifies quiet recordings before they are sent, so that speech far from
// the microphone still reaches the service at a usable level. Silence and
// noise (peak up to 250) and loud enough audio (peak from 4915) stay as they are.
namespace AudioNormalizer {

inline constexpr int kNoiseCeiling = 250;
inline constexpr int kLoudEnough = 4915;
inline constexpr double kTargetPeak = 26214.0;  // 80 % of full scale
inline constexpr double kMaxGain = 12.0;

// The WAV file itself, or a copy with the same header and amplified samples.
QByteArray normalizeAudio(const QByteArray& wav);

// Rewrites the WAV file in place when its samples change; does nothing when
// "audioNormalization" is stored as false.
void normalizeWAVFileIfNeeded(const QString& path, const SettingsStore& settings);
void normalizeWAVFileIfNeeded(const QString& path);

}  // namespace AudioNormalizer
