/* Stand-in for the companion resource library methodres.dll: the credentials and token dialogs
   with the plug-in's control ids, under captions of their own so that a test can tell which
   module a dialog came from. Its code runs only when something loads it as code rather than
   mapping it as resources: then it leaves "NAME.loaded" (NAME its own file name) in the folder
   that TESTBED_LOAD_MARKERS names. Copies of it under the names of other libraries (planted/)
   show the same way that nobody loaded them. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    WCHAR path[MAX_PATH], module[MAX_PATH];
    DWORD folder, length;
    const WCHAR* name = module;
    (void)reserved;
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    folder = GetEnvironmentVariableW(L"TESTBED_LOAD_MARKERS", path, MAX_PATH);
    length = GetModuleFileNameW(instance, module, MAX_PATH);
    if (folder == 0 || folder >= MAX_PATH || length == 0 || length >= MAX_PATH)
        return TRUE;
    for (const WCHAR* at = module; *at; at++)
        if (*at == L'\\')
            name = at + 1;
    if (folder + 1 + lstrlenW(name) + 8 < MAX_PATH) {
        HANDLE marker;
        lstrcatW(path, L"\\");
        lstrcatW(path, name);
        lstrcatW(path, L".loaded");
        marker = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        if (marker != INVALID_HANDLE_VALUE)
            CloseHandle(marker);
    }
    return TRUE;
}
