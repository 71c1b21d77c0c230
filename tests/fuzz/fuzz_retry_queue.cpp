// "failed_queue.json" as found on disk: whatever an editor, a full disk or
// another version left there. Every entry read must name a file inside the
// queue folder, since the queue deletes that file with the entry.
#include "FuzzSupport.h"
#include "records/RetryQueueService.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::scratchDir();
    const auto parsed = RetryQueueService::parseQueueFile(fuzz::bytes(data, size));
    for (const FailedTranscription& e : parsed.entries) {
        const QString& name = e.audioFileName;
        if (name.isEmpty() || name == QLatin1String("..") || name.contains(QLatin1Char('/')))
            __builtin_trap();
        e.createdAtDate();
        // What is read is written back the same way.
        if (FailedTranscription::fromJson(e.toJson()) != e) __builtin_trap();
    }
    return 0;
}
