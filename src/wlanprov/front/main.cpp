// wlanprov: provisions a preferred wireless network on every wireless adapter of the computer
// (-add), removes one (-delete), or shows the help dialog (-help).
#include <windows.h>

#include <cstdio>

#include "dispatch.h"
#include "globals.h"
#include "platform.h"

namespace {

// Takes the current directory out of the library search path, so that a wzcsapi.dll or
// wlanapi.dll planted there can neither decide the platform nor run inside this program. The
// program's own folder and the system folders stay searched. SetDllDirectoryW exists from
// XP SP1 on; where it lacks, the search stays as it is.
void KeepCurrentDirectoryOutOfLibrarySearch()
{
    typedef BOOL(WINAPI * SetDllDirectoryFn)(LPCWSTR);
    HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    SetDllDirectoryFn setDllDirectory =
        kernel32 ? reinterpret_cast<SetDllDirectoryFn>(reinterpret_cast<void*>(
                       GetProcAddress(kernel32, "SetDllDirectoryW")))
                 : nullptr;
    if (setDllDirectory)
        setDllDirectory(L"");
}

} // namespace

int main(int argc, char** argv)
{
    KeepCurrentDirectoryOutOfLibrarySearch();
    printf("Wavestead wlanprov ( Version 1.4 )\n");
    WlanPlatform platform;
    DWORD result = DetectPlatform(&platform);
    if (result == 0)
        result = Dispatch(platform, argc, argv);
    if (g_bDebugLog == 1)
        printf("main :: returning %ld\n", (long)result);
    fflush(stdout);
    return (int)result;
}
