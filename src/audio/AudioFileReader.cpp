#include "audio/AudioFileReader.h"

#include <QFile>

#include "audio/MediaModule.h"

namespace AudioFileReader {
namespace {

using Sink = std::function<bool(const uint8_t*, int)>;

int handOn(void* context, const uint8_t* bytes, int samples) {
    return (*static_cast<const Sink*>(context))(bytes, samples) ? 1 : 0;
}

}  // namespace

Result read(const QString& path, int outRate, int outFormat, const Sink& sink) {
    const OrmilMediaFunctions* media = MediaModule::functions();
    if (!media) return Result::OpenFailed;
    const int status = media->readWav(QFile::encodeName(path).constData(), outRate, outFormat,
                                      &handOn, const_cast<Sink*>(&sink));
    switch (status) {
    case ORMIL_MEDIA_READ_COMPLETE: return Result::Complete;
    case ORMIL_MEDIA_READ_ERROR: return Result::ReadError;
    case ORMIL_MEDIA_READ_STOPPED: return Result::Stopped;
    default: return Result::OpenFailed;
    }
}

}  // namespace AudioFileReader
