// A lock for the plug-in's process-wide state, which the host's threads may reach at once. It
// needs no initialisation (DllMain may do nothing) and exists on every Windows the plug-in
// serves; what it guards is short.
#pragma once

#include <windows.h>

inline void AcquireSpinLock(volatile LONG* lock)
{
    while (InterlockedCompareExchange(lock, 1, 0) != 0)
        Sleep(0);
}

inline void ReleaseSpinLock(volatile LONG* lock)
{
    InterlockedExchange(lock, 0);
}
