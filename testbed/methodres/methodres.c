/* Stand-in for the companion resource library methodres.dll: the credentials and token dialogs
   with the plug-in's control ids, under captions of their own so that a test can tell which
   module a dialog came from. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    return TRUE;
}
