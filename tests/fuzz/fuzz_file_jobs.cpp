// Answers of the file transcription jobs: the limits, one job (an upload's
// answer) and the list, with everything the Files page shows of a job.
#include "FuzzSupport.h"
#include "records/FileTranscriptionService.h"

namespace {
using FTS = FileTranscriptionService;

void show(const FTS::FileJob& job) {
    job.displayText();
    job.createdDate();
    job.formattedDate();
    if (job.formattedDuration().isEmpty()) __builtin_trap();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::scratchDir();
    const QByteArray body = fuzz::bytes(data, size);
    if (const auto limits = FTS::FileLimits::decode(body)) {
        limits->toAppState();
        FTS::sizeLimitBytes(limits->max_file_size_mb);
    }
    if (const auto job = FTS::FileJob::decode(body)) show(*job);
    if (const auto jobs = FTS::FileJob::decodeList(body))
        for (const FTS::FileJob& job : *jobs) show(job);
    return 0;
}
