// Process-wide state of the plug-in: the module handle is kept while the library loads (see
// dllmain.cpp); the rest is set up by the first entry point the host calls.
#pragma once

#include <windows.h>

extern HMODULE g_hModule;         // the plug-in's own module
extern HMODULE g_hResourceModule; // dialogs come from here: methodres.dll or g_hModule

// What loading the plug-in sets up, done outside the loader lock: tracing registered with the
// DllMain banner and the companion resource library methodres.dll mapped as resources when it
// lies beside the plug-in. Every entry point calls it first; only the first call does anything,
// and a call on another thread meanwhile waits for it.
void CompleteAttach();
// Releases the companion (RasEapInitialize(FALSE): the host is done with the plug-in); the next
// entry point maps it again.
void ReleaseAttach();
