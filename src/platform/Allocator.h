#pragma once

// Sets the process's allocator up for an interactive window; call it first
// thing in main(), before any thread starts.
void tuneAllocatorForInteractiveUse();
