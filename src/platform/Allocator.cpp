#include "platform/Allocator.h"

#include <malloc.h>

void tuneAllocatorForInteractiveUse() {
    // A worker that frees a large search answer (tens of thousands of small
    // rows) fills glibc's fast bins; the next larger request then merges them
    // all while holding an arena lock, and the UI thread, allocating in the
    // same arena, waited 40-70 ms behind it. Without fast bins each free
    // merges at once and nothing piles up; the per-thread cache still serves
    // small allocations without a lock.
    mallopt(M_MXFAST, 0);
}
