// Process-wide state of the plug-in: the module handle is kept while the library loads (see
// dllmain.cpp); the rest is set up by the first entry point the host calls.
#pragma once

#include <windows.h>

extern HMODULE g_hModule;          // the plug-in's own module
extern HMODULE g_hResourceModule;  // dialogs come from here: methodres.dll or g_hModule

// What loading the plug-in sets up, done outside the loader lock: tracing registered with the
// DllMain banner and the companion resource library loaded when present. Every entry point
// calls it first; only the first call does anything. The host calls entry points one at a time.
void CompleteAttach();
