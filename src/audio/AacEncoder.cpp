#include "audio/AacEncoder.h"

#include <QFile>

#include "audio/MediaModule.h"

namespace AacEncoder {

std::optional<QByteArray> encode(const QString& wavPath, const QString& m4aPath) {
    const OrmilMediaFunctions* media = MediaModule::functions();
    if (!media ||
        !media->encodeAac(QFile::encodeName(wavPath).constData(),
                          QFile::encodeName(m4aPath).constData(), kSampleRate, kBitrate))
        return std::nullopt;
    QFile file(m4aPath);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    QByteArray bytes = file.readAll();
    if (bytes.isEmpty()) return std::nullopt;
    return bytes;
}

}  // namespace AacEncoder
