#include <windows.h>

#include "plugin_state.h"
#include "tracing.h"

HMODULE g_hModule = NULL;
HMODULE g_hResourceModule = NULL;

namespace {

const WCHAR kCompanionName[] = L"methodres.dll";

// One-time set-up shared by the host's threads: PENDING until one thread takes it on, RUNNING
// while that thread works, DONE afterwards. The host may enter on several threads at once.
enum SetUpState { SETUP_PENDING, SETUP_RUNNING, SETUP_DONE };
volatile LONG g_tracingState = SETUP_PENDING;    // the load-time registration, tried once
volatile LONG g_companionState = SETUP_PENDING;  // mapped again after ReleaseAttach

// True when the caller is to do the set-up (then it calls FinishSetUp); otherwise waits until
// the thread doing it is done.
bool BeginSetUp(volatile LONG* state)
{
    LONG seen = InterlockedCompareExchange(state, SETUP_RUNNING, SETUP_PENDING);
    if (seen == SETUP_PENDING)
        return true;
    while (seen == SETUP_RUNNING) {
        Sleep(0);
        seen = InterlockedCompareExchange(state, SETUP_RUNNING, SETUP_RUNNING);
    }
    return false;
}

void FinishSetUp(volatile LONG* state, SetUpState next)
{
    InterlockedExchange(state, next);
}

// The companion is looked for beside the plug-in only: the host's folder, the current directory
// and the PATH folders are never searched. It is mapped as resources, so none of its code runs
// in the host (which runs as LocalSystem).
HMODULE MapCompanion()
{
    WCHAR path[MAX_PATH];
    DWORD length = GetModuleFileNameW(g_hModule, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return NULL;
    WCHAR* separator = wcsrchr(path, L'\\');
    if (!separator || (separator + 1 - path) + ARRAYSIZE(kCompanionName) > MAX_PATH)
        return NULL;
    memcpy(separator + 1, kCompanionName, sizeof(kCompanionName));
    HMODULE companion =
        LoadLibraryExW(path, NULL, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    // Before Vista the loader knows only the plain data file mapping, which serves dialogs too.
    if (!companion && GetLastError() == ERROR_INVALID_PARAMETER)
        companion = LoadLibraryExW(path, NULL, LOAD_LIBRARY_AS_DATAFILE);
    return companion;
}

} // namespace

void CompleteAttach()
{
    if (BeginSetUp(&g_tracingState)) {
        EnsureTracingRegistered("DllMain :: enabled log(%s) with version: %s [%s]");
        FinishSetUp(&g_tracingState, SETUP_DONE);
    }
    if (BeginSetUp(&g_companionState)) {
        // The companion library, when installed, supplies the dialogs in place of our own.
        HMODULE companion = MapCompanion();
        g_hResourceModule = companion ? companion : g_hModule;
        FinishSetUp(&g_companionState, SETUP_DONE);
    }
}

void ReleaseAttach()
{
    if (InterlockedCompareExchange(&g_companionState, SETUP_RUNNING, SETUP_DONE) != SETUP_DONE)
        return;
    HMODULE companion = g_hResourceModule;
    g_hResourceModule = g_hModule;
    if (companion && companion != g_hModule)
        FreeLibrary(companion);
    FinishSetUp(&g_companionState, SETUP_PENDING);
}

// Under the loader lock only the module handle is kept: loading, freeing or reading the
// registry here can deadlock the host (see CompleteAttach and ReleaseAttach). A companion still
// mapped when the plug-in goes is a data file mapping, which the process's end releases.
BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        g_hModule = hInstance;
        g_hResourceModule = hInstance;
    }
    return TRUE;
}
