#pragma once

#include "audio/MediaModuleInterface.h"

namespace libav {

// Decodes the first audio stream of a media file, frame by frame, into 16-bit
// mono samples at the request's rate; gives an OrmilMediaDecodeStatus.
int decodeMedia(OrmilMediaDecode& request);

}  // namespace libav
