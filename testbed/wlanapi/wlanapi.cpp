// Emulated Vista WLAN API (wlanapi.dll). Wine's own has no version resource and no wireless
// interface; this one carries a Vista version and the platform's behaviour.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
