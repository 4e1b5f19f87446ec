#include <windows.h>

#include "plugin_state.h"
#include "spin_lock.h"
#include "tracing.h"

HMODULE g_hModule = nullptr;
HMODULE g_hResourceModule = nullptr;

namespace {

const WCHAR kCompanionName[] = L"methodres.dll";

volatile LONG g_attachLock = 0; // guards the two flags and g_hResourceModule
bool g_tracingTried = false;    // the load-time registration, tried once
bool g_companionMapped = false; // mapped again after ReleaseAttach

// The companion is looked for beside the plug-in only: the host's folder, the current directory
// and the PATH folders are never searched. It is mapped as resources, so none of its code runs
// in the host (which runs as LocalSystem).
HMODULE MapCompanion()
{
    WCHAR path[MAX_PATH];
    DWORD length = GetModuleFileNameW(g_hModule, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    WCHAR* separator = wcsrchr(path, L'\\');
    if (!separator || (separator + 1 - path) + ARRAYSIZE(kCompanionName) > MAX_PATH)
        return nullptr;
    memcpy(separator + 1, kCompanionName, sizeof(kCompanionName));
    HMODULE companion = LoadLibraryExW(path, nullptr,
                                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    // Before Vista the loader knows only the plain data file mapping, which serves dialogs too.
    if (!companion && GetLastError() == ERROR_INVALID_PARAMETER)
        companion = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    return companion;
}

} // namespace

void CompleteAttach()
{
    AcquireSpinLock(&g_attachLock);
    if (!g_tracingTried) {
        g_tracingTried = true;
        EnsureTracingRegistered("DllMain :: enabled log(%s) with version: %s [%s]");
    }
    if (!g_companionMapped) {
        g_companionMapped = true;
        // The companion library, when installed, supplies the dialogs in place of our own.
        HMODULE companion = MapCompanion();
        g_hResourceModule = companion ? companion : g_hModule;
    }
    ReleaseSpinLock(&g_attachLock);
}

void ReleaseAttach()
{
    AcquireSpinLock(&g_attachLock);
    if (g_companionMapped && g_hResourceModule != g_hModule)
        FreeLibrary(g_hResourceModule);
    g_hResourceModule = g_hModule;
    g_companionMapped = false;
    ReleaseSpinLock(&g_attachLock);
}

// Under the loader lock only the module handle is kept: loading, freeing or reading the
// registry here can deadlock the host (see CompleteAttach and ReleaseAttach). A companion still
// mapped when the plug-in goes is a data file mapping, which the process's end releases.
BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD reason, LPVOID reserved)
{
    static_cast<void>(reserved);
    if (reason == DLL_PROCESS_ATTACH) {
        g_hModule = hInstance;
        g_hResourceModule = hInstance;
    }
    return TRUE;
}
