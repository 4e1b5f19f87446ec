// The XP SP2 add handler's own, reduced binding of the wireless client library: the adapter
// list and the WPA2 capability query. Released by WZCUninit like the full binding, whose
// first field it shares.
#pragma once

#include <windows.h>

#include "preferred_list.h"
#include "wzc_binding.h"

// The interface record of the XP SP2 library (2600.2180 on): 92 bytes.
struct WzcInterfaceRecordXpSp2 {
    LPWSTR wszGuid; // set by the caller
    BYTE unread4[40];
    DWORD dwCapabilities;
    BYTE unread48[16];
    DWORD dwListLength;
    BYTE* pListData; // allocated by the library when a list is asked for
    BYTE unread72[20];
};
static_assert(sizeof(void*) != 4 || (sizeof(WzcInterfaceRecordXpSp2) == 92 &&
                                     offsetof(WzcInterfaceRecordXpSp2, dwCapabilities) == 44 &&
                                     offsetof(WzcInterfaceRecordXpSp2, dwListLength) == 64 &&
                                     offsetof(WzcInterfaceRecordXpSp2, pListData) == 68),
              "92-byte interface record");

typedef DWORD(WINAPI* WzcInterfaceXpSp2Fn)(LPWSTR server, DWORD inFlags,
                                           WzcInterfaceRecordXpSp2* record, DWORD* outFlags);

struct WzcQueryBinding {
    HMODULE library; // first field: WZCUninit reads nothing else
    LONG buildClass;
    WzcEnumInterfacesFn WZCEnumInterfaces;
    WzcInterfaceXpSp2Fn WZCQueryInterface;
};

// The capability word of an adapter that can do WPA2.
enum { WZC_CAPABILITIES_WPA2 = 0x300 };

// Loads wzcsapi.dll, classifies its build and resolves the two functions. Returns 0 with
// *binding owned by the caller (release with WZCUninit), or 8 / 50 with *binding null and
// nothing left loaded.
DWORD WZCInit_XP_SP2(WzcQueryBinding** binding);

// The first five adapters, as WZCEnumAdapters lists them. Returns 0, 232 when the library
// reports none, or the library's code.
DWORD WZCEnumAdapters_XP_SP2(const WzcQueryBinding* binding, WzcAdapterList* list);

// 1 when the adapter's capability word is exactly WZC_CAPABILITIES_WPA2, else 0 (also when
// the query fails, after the "dwErr" line).
DWORD WZCQueryWPA2State(const WzcQueryBinding* binding, const wchar_t* guid);
