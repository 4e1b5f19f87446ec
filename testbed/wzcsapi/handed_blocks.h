// Blocks the emulated client library hands to its caller, who releases each with LocalFree,
// as with the platform's library. The library cannot see that LocalFree, so it counts by
// looking: it keeps every address it handed out with a tag of 8 bytes behind the caller's
// part, and a block counts as live while the process heap still holds an allocated block at
// that address with the same size and tag. A block freed and then reused by the heap for
// another allocation of exactly that size whose last 8 bytes happen to equal the tag would
// still count; once seen freed, an address is forgotten.
#pragma once

#include <windows.h>

// A zero-filled block of size bytes (LocalAlloc, fixed), or null when memory is short.
void* HandOutBlock(size_t size);
DWORD LiveHandedBlocks();

void StartHandedBlocks();
void StopHandedBlocks();
