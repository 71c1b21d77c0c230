// A link handed to the application by the desktop or a second launch.
#include "FuzzSupport.h"
#include "app/SignInLink.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::scratchDir();
    const auto token = extractAuthToken(QString::fromUtf8(fuzz::bytes(data, size)));
    if (token && token->isEmpty()) __builtin_trap();
    return 0;
}
