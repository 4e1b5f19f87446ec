/* Stand-in for the companion resource library methodres.dll: here only its presence matters. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    return TRUE;
}
