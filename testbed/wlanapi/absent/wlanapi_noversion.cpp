// A wlanapi.dll that loads but carries no version resource, so its version cannot be read.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
