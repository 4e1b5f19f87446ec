// A method plug-in loaded the way the platform's EAP host loads it: the DLL, its exports, and
// the entry table that RasEapGetInfo fills.
#pragma once

#include <windows.h>
#include <raseapif.h>

#include <string>

typedef DWORD(WINAPI* RasEapGetInfoFn)(DWORD, PPP_EAP_INFO*);
typedef DWORD(WINAPI* RasEapFreeMemoryFn)(BYTE*);
typedef DWORD(WINAPI* RasEapGetIdentityFn)(DWORD, HWND, DWORD, const WCHAR*, const WCHAR*, BYTE*,
                                           DWORD, BYTE*, DWORD, BYTE**, DWORD*, WCHAR**);
typedef DWORD(WINAPI* RasEapInvokeInteractiveUIFn)(DWORD, HWND, BYTE*, DWORD, BYTE**, DWORD*);

struct PluginBinding {
    HMODULE module;
    PPP_EAP_INFO info;
    RasEapFreeMemoryFn freeMemory;
    RasEapGetIdentityFn getIdentity;                 // optional export
    RasEapInvokeInteractiveUIFn invokeInteractiveUI; // optional export
};

// Loads the DLL and fills the entry table for eapType. RasEapGetInfo and RasEapFreeMemory must
// be exported and the table's four routines set (else ERROR_PROC_NOT_FOUND); a failing
// RasEapGetInfo passes its code through. The binding is empty again on failure.
DWORD BindPlugin(const wchar_t* path, DWORD eapType, PluginBinding* binding);
void UnbindPlugin(PluginBinding* binding);

// The plug-in file that the method's registration names for eapType (value "Path" under the
// platform's RAS EAP key, environment strings expanded).
DWORD RegisteredPluginPath(DWORD eapType, std::wstring* path);

// Hands a block back to the plug-in (RasEapFreeMemory); null is ignored.
void ReturnBlock(const PluginBinding* binding, void* block);
