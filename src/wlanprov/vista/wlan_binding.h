// The WLAN API bound at run time. wlanprov also runs on XP, where wlanapi.dll does not exist,
// so the program must never import it: the Vista handlers load it by name for their call.
#pragma once

#include <windows.h>
#include <wlanapi.h>

struct WlanBinding {
    HMODULE library;
    decltype(&::WlanOpenHandle) WlanOpenHandle;
    decltype(&::WlanCloseHandle) WlanCloseHandle;
    decltype(&::WlanEnumInterfaces) WlanEnumInterfaces;
    decltype(&::WlanSetProfile) WlanSetProfile;
    decltype(&::WlanDeleteProfile) WlanDeleteProfile;
    decltype(&::WlanReasonCodeToString) WlanReasonCodeToString;
    decltype(&::WlanFreeMemory) WlanFreeMemory;
};

// Loads wlanapi.dll and resolves every function above. Returns 0, or the loader's code
// (GetLastError) with *binding left empty and nothing loaded.
DWORD BindWlanApi(WlanBinding* binding);
// Unloads the library if it was loaded; safe on an empty binding.
void ReleaseWlanApi(WlanBinding* binding);

// Opens a client handle with client version 2 and prints the negotiated version. Returns 0,
// or the API's code with *handle left null.
DWORD OpenWlanHandle(const WlanBinding* binding, HANDLE* handle);

// What both Vista handlers hold while they work: the bound API, an open client handle and
// the interface list.
struct WlanSession {
    WlanBinding api;
    HANDLE handle;
    PWLAN_INTERFACE_INFO_LIST interfaces;
};

// Binds the API, opens a handle (printing the version line) and enumerates the interfaces.
// Returns 0, or the first failing step's code with whatever was obtained still held in
// *session for CloseWlanSession.
DWORD OpenWlanSession(WlanSession* session);
// Releases whatever OpenWlanSession obtained; safe on a partly opened or empty session.
void CloseWlanSession(WlanSession* session);
