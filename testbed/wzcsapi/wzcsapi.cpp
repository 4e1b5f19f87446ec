// Emulated XP wireless client library (wzcsapi.dll). Its version resource tells wlanprov which
// XP build it runs on; the client functions come with the XP back ends.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
