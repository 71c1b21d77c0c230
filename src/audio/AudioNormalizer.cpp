#include "audio/AudioFormat.h"
#include "audio/AudioNormalizer.h"

#include <QFile>
#include <QSaveFile>
#include <QtEndian>
#include <algorithm>
#include <cmath>

#include "platform/DebugLog.h"
#include "platform/SettingsStore.h"

namespace AudioNormalizer {

QByteArray normalizeAudio(const QByteArray& wav) {
    const qint64 offset = AudioFormat::parseDataOffsetForGrowingFile(wav).value_or(44);
    const qint64 length = wav.size();
    if (length <= offset) {
        debugLog(
            QString("[Audio] normalizeAudio: data too small (%1 bytes), skipping").arg(length));
        return wav;
    }
    const qint64 count = (length - offset) / 2;
    if (count < 1) {
        debugLog("[Audio] normalizeAudio: no samples found, skipping");
        return wav;
    }
    const char* pcm = wav.constData() + offset;
    auto sampleAt = [pcm](qint64 i) { return qFromLittleEndian<qint16>(pcm + 2 * i); };

    int peak = 0;
    for (qint64 i = 0; i < count; ++i) peak = std::max(peak, std::abs(int(sampleAt(i))));
    peak = std::min(peak, 32767);  // -32768 counts as 32767
    debugLog(QString("[Audio] normalizeAudio: %1 samples, PCM с байта %2, peak=%3 (%4% of max)")
                 .arg(count)
                 .arg(offset)
                 .arg(peak)
                 .arg(QString::asprintf("%.1f", peak / 32767.0 * 100)));

    if (peak <= kNoiseCeiling) {
        debugLog(QString("[Audio] normalizeAudio: тишина или один шум (peak %1), не усиливаем")
                     .arg(peak));
        return wav;
    }
    if (peak >= kLoudEnough) {
        debugLog(QString("[Audio] normalizeAudio: peak %1 >= threshold %2, no normalization needed")
                     .arg(peak)
                     .arg(kLoudEnough));
        return wav;
    }

    const double gain = std::min(kTargetPeak / peak, kMaxGain);
    debugLog(QString("[Audio] normalizeAudio: applying gain=%1x (peak %2 → %3)")
                 .arg(QString::asprintf("%.1f", gain))
                 .arg(peak)
                 .arg(qint64(gain * peak)));
    QByteArray out(offset + 2 * count, Qt::Uninitialized);
    std::memcpy(out.data(), wav.constData(), size_t(offset));
    char* dst = out.data() + offset;
    for (qint64 i = 0; i < count; ++i) {
        const double v = std::clamp(gain * sampleAt(i), -32767.0, 32767.0);
        qToLittleEndian(qint16(std::trunc(v)), dst + 2 * i);
    }
    return out;
}

void normalizeWAVFileIfNeeded(const QString& path, const SettingsStore& settings) {
    const QJsonValue enabled = settings.value("audioNormalization");
    if (enabled.isBool() && !enabled.toBool()) {
        debugLog("[Audio] Audio normalization disabled, skipping");
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        debugLog("[Audio] normalizeWAVFile: failed to read WAV file");
        return;
    }
    const QByteArray input = file.readAll();
    file.close();
    const QByteArray result = normalizeAudio(input);
    if (result == input) return;
    // Replaced atomically: a write that fails halfway must not leave a
    // recording that is neither the old nor the new audio.
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(result) != result.size() || !out.commit()) {
        debugLog("[Audio] normalizeWAVFile: failed to write normalized file: " + out.errorString());
        return;
    }
    debugLog(
        QString("[Audio] normalizeWAVFile: normalized file written (%1 bytes)").arg(result.size()));
}

void normalizeWAVFileIfNeeded(const QString& path) {
    normalizeWAVFileIfNeeded(path, SettingsStore::shared());
}

}  // namespace AudioNormalizer
