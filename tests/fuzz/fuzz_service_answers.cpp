// Answer bodies of the speech service and the account service: every record
// decoded from the same bytes, as a server (or anyone between) may send any.
#include "FuzzSupport.h"
#include "service/AuthTypes.h"
#include "service/TranscriptionWire.h"

namespace {
template <typename F>
void decodeOrRefuse(F&& decode) {
    try {
        decode();
    } catch (const WireDecodingError&) {
    } catch (const DecodingError&) {
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::scratchDir();
    const QByteArray body = fuzz::bytes(data, size);
    decodeOrRefuse([&] { TranscriptionAPIResponse::decode(body); });
    decodeOrRefuse([&] { PostProcessResponse::decode(body); });
    decodeOrRefuse([&] { TranslateTextResponse::decode(body); });
    decodeOrRefuse([&] { decodeBody<AuthResponse>(body); });
    decodeOrRefuse([&] { decodeBody<MessageResponse>(body); });
    decodeOrRefuse([&] { decodeBody<ErrorResponse>(body); });
    decodeOrRefuse([&] { decodeBody<UserInfo>(body).toJson(); });
    decodeOrRefuse([&] { decodeBody<UsageStats>(body).toJson(); });
    return 0;
}
