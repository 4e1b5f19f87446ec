// The wireless adapters and their preferred-network lists through the bound client library.
// Every list is read, edited and written back in full within one call; nothing is cached.
// Results are Windows error codes: 0, 8, 232 (no adapter, no list, SSID not found), or the
// library's own code, returned unchanged (nothing is written after a failed read).
#pragma once

#include <windows.h>

#include "wzc_binding.h"
#include "wzc_config_list.h"

enum { WZC_MAX_ADAPTERS = 5, WZC_GUID_CHARACTERS = 256 };

// The first five adapters in the library's order with a GUID text that fits its slot; one
// whose text is empty or too long is skipped with a line, never given an empty slot (which
// would name the parent key itself).
struct WzcAdapterList {
    DWORD count;
    wchar_t guids[WZC_MAX_ADAPTERS][WZC_GUID_CHARACTERS];
};

DWORD WZCEnumAdapters(const WzcBinding* binding, WzcAdapterList* list);

// Reads the adapter's list into a new item list (*head, freed by the caller with
// WzcFreeConfigList); 232 when the adapter has none. The variants serve the 76-byte record
// (build class 3) and the 80-byte one; the plain names choose by the binding's class.
DWORD WZCGetPrefSSIDList(const WzcBinding* binding, const wchar_t* guid, WzcConfigItem** head);
DWORD WZCGetPrefSSIDList_1106(const WzcBinding* binding, const wchar_t* guid, WzcConfigItem** head);
DWORD WZCGetPrefSSIDList_1181(const WzcBinding* binding, const wchar_t* guid, WzcConfigItem** head);
// Writes the whole list in list order; a null head writes an empty list.
DWORD WZCSetPrefSSIDList(const WzcBinding* binding, const wchar_t* guid, const WzcConfigItem* head);
DWORD WZCSetPrefSSIDList_1106(const WzcBinding* binding, const wchar_t* guid,
                              const WzcConfigItem* head);
DWORD WZCSetPrefSSIDList_1181(const WzcBinding* binding, const wchar_t* guid,
                              const WzcConfigItem* head);

// Adds config by the rule of WzcApplyAddRule (an adapter without a list gets a one-entry
// list) and writes the list.
DWORD WZCAddPreferedConfig(const WzcBinding* binding, const wchar_t* guid, WzcNetworkConfig config,
                           DWORD replace, DWORD atHead);
// Removes the network with config's SSID bytes and writes the list; 232 and nothing written
// when it is not there.
DWORD WZCRemovePreferedConfig(const WzcBinding* binding, const wchar_t* guid,
                              WzcNetworkConfig config);
// Sets the EAPOL parameters of one SSID and its custom authentication data. The SSID's ANSI
// form, the bytes the service keys them by, must be 1 to 32 bytes: else 87.
DWORD WZCSetConfigEapData1(const WzcBinding* binding, const wchar_t* guid, const wchar_t* ssid,
                           DWORD eapType, DWORD eapFlags, BYTE* data, DWORD dataLength);
