// Process-wide state of the plug-in, set while the library loads (see dllmain.cpp).
#pragma once

#include <windows.h>

extern HMODULE g_hModule;          // the plug-in's own module
extern HMODULE g_hResourceModule;  // dialogs come from here: methodres.dll or g_hModule
