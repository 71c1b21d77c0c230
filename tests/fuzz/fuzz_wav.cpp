// WAV bytes from a recording or a retried file: the data chunk search, the
// growing-file offset and the windows cut out of them.
#include <QtEndian>

#include "FuzzSupport.h"
#include "audio/AudioFormat.h"
#include "service/TranscriptionService.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::scratchDir();
    const QByteArray wav = fuzz::bytes(data, size);
    using TS = TranscriptionService;
    const auto chunk = AudioFormat::parseDataChunk(wav);
    if (chunk) {
        if (chunk->offset < 0 || chunk->size < 1 || chunk->offset + chunk->size > wav.size())
            __builtin_trap();
        // Windows of the sample counts a caller may ask for, taken from the
        // last 16 bytes so that the fuzzer steers them too.
        qint64 start = 0, count = TS::windowSamples;
        if (size >= 16) {
            start = qFromLittleEndian<qint64>(data + size - 16);
            count = qFromLittleEndian<qint64>(data + size - 8);
        }
        const QByteArray window = AudioFormat::createWAVChunk(wav, chunk->offset, start, count);
        if (window.size() < 44) __builtin_trap();
        for (const QByteArray& piece : TS::splitWAVIntoChunks(wav, chunk->offset, chunk->size))
            if (piece.size() < 44) __builtin_trap();
    }
    if (const auto offset = AudioFormat::parseDataOffsetForGrowingFile(wav))
        AudioFormat::createWAVChunk(wav, *offset, 0, TS::windowSamples);
    return 0;
}
