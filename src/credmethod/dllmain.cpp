#include <windows.h>

#include "plugin_state.h"
#include "tracing.h"

HMODULE g_hModule = NULL;
HMODULE g_hResourceModule = NULL;

namespace {

// Set once the first entry point finished what loading used to do.
bool g_attachCompleted = false;

} // namespace

void CompleteAttach()
{
    if (g_attachCompleted)
        return;
    g_attachCompleted = true;
    EnsureTracingRegistered("DllMain :: enabled log(%s) with version: %s [%s]");
    // The companion library, when installed, supplies the dialogs in place of our own.
    g_hResourceModule = LoadLibraryW(L"methodres.dll");
    if (!g_hResourceModule)
        g_hResourceModule = g_hModule;
}

// Under the loader lock only the module handle is kept: loading another library or reading the
// registry here can deadlock the host (see CompleteAttach).
BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD reason, LPVOID reserved)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        g_hModule = hInstance;
        g_hResourceModule = hInstance;
        break;
    case DLL_PROCESS_DETACH:
        // At process exit (reserved set) other libraries may already be gone: leave it to the system.
        if (g_hResourceModule && g_hResourceModule != g_hModule && reserved == NULL)
            FreeLibrary(g_hResourceModule);
        g_hResourceModule = NULL;
        break;
    default:
        break;
    }
    return TRUE;
}
