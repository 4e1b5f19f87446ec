// Run-time binding of a library's exports: wlanprov must start on every Windows it serves,
// so the wireless libraries that some of them lack are never imported. A binding resolves
// every function it needs or is not used at all.
#pragma once

#include <windows.h>

// Resolves one export into a typed slot; false (and a null slot) when the library lacks it.
template <typename Function>
bool ResolveExport(HMODULE library, const char* name, Function* slot)
{
    *slot = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
    return *slot != nullptr;
}
