// wlanprov: provisions a preferred wireless network on every wireless adapter of the computer
// (-add), removes one (-delete), or shows the help dialog (-help).
#include <windows.h>

#include <clocale>
#include <cstdio>

#include "../common/globals.h"
#include "../common/trusted_library.h"
#include "dispatch.h"
#include "platform.h"

int main(int argc, char** argv)
{
    RestrictLibrarySearch();
    // Wide text is printed in the system's ANSI code page, the one the command line came in,
    // so that what was typed is echoed as typed.
    setlocale(LC_CTYPE, "");
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
