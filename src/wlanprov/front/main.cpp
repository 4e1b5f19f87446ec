// wlanprov: provisions a preferred wireless network on every wireless adapter of the computer
// (-add), removes one (-delete), or shows the help dialog (-help).
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "dispatch.h"
#include "globals.h"
#include "platform.h"

namespace {

// Takes the current directory out of the library search path, so that a wzcsapi.dll or
// wlanapi.dll planted there can neither decide the platform nor run inside this program. A
// library directory set with SetDllDirectoryW replaces the current directory in the search;
// naming the program's own folder (searched first anyway) keeps the search otherwise as it
// was, where an empty name would leave the current directory in on Wine. SetDllDirectoryW
// exists from XP SP1 on; where it lacks, the search stays as it is.
void KeepCurrentDirectoryOutOfLibrarySearch()
{
    typedef BOOL(WINAPI * SetDllDirectoryFn)(LPCWSTR);
    HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    SetDllDirectoryFn setDllDirectory =
        kernel32 ? reinterpret_cast<SetDllDirectoryFn>(reinterpret_cast<void*>(
                       GetProcAddress(kernel32, "SetDllDirectoryW")))
                 : nullptr;
    if (!setDllDirectory)
        return;
    wchar_t folder[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, folder, MAX_PATH);
    wchar_t* end = length > 0 && length < MAX_PATH ? wcsrchr(folder, L'\\') : nullptr;
    if (end)
        end[1] = L'\0';  // the separator stays: "C:" alone would name a current directory
    setDllDirectory(end ? folder : L"");
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
