// Test programs do not sit in the bundle's bin/ folder: every test finds the
// media module of the build tree, whatever path an earlier test set.
#include "audio/MediaModule.h"
#include "support/TestSupport.h"

namespace {
const bool g_registered = [] {
    testsupport::atEveryTestStart(
        [] { MediaModule::setPathForTesting(QStringLiteral(ORMIL_MEDIA_MODULE_PATH)); });
    return true;
}();
}  // namespace
