// Blocks of the plug-in come from LocalAlloc (those handed to the host are released through
// RasEapFreeMemory). A failed allocation is reported with the allocator's last error.
#pragma once

#include <windows.h>

// The last error after a failed LocalAlloc, or ERROR_NOT_ENOUGH_MEMORY when the allocator
// left none: a failure must never read as success.
DWORD AllocationError();
