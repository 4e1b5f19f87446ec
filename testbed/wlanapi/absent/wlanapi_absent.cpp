// Stands in for a WLAN API that this Windows does not have: found beside the program before
// Wine's own wlanapi.dll, it refuses to load, so LoadLibrary fails as on XP or Windows 2000.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    return reason == DLL_PROCESS_ATTACH ? FALSE : TRUE;
}
