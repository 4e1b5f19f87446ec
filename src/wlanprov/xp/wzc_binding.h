// The Wireless Zero Configuration client library (wzcsapi.dll) bound at run time. It exists
// only on Windows XP and 2000, so wlanprov never imports it: a handler binds it for its run.
#pragma once

#include <windows.h>

#include "wzc_records.h"

// The interface record of build class 3 (2600.1106): 76 bytes.
struct WzcInterfaceRecord1106 {
    LPWSTR wszGuid; // set by the caller
    BYTE unread4[56];
    DWORD dwListLength; // bytes of the preferred-list blob
    BYTE* pListData;    // the blob, allocated by the library (LocalFree)
    BYTE unread68[8];
};
// The interface record of every other build class: 80 bytes.
struct WzcInterfaceRecord {
    LPWSTR wszGuid;
    BYTE unread4[32];
    DWORD dwCapabilities;
    BYTE unread40[24];
    DWORD dwListLength;
    BYTE* pListData;
    BYTE unread72[8];
};
static_assert(sizeof(void*) != 4 ||
                  (sizeof(WzcInterfaceRecord1106) == kWzcLayout1106.size &&
                   offsetof(WzcInterfaceRecord1106, dwListLength) ==
                       kWzcLayout1106.listLengthOffset &&
                   offsetof(WzcInterfaceRecord1106, pListData) == kWzcLayout1106.listPointerOffset),
              "76-byte interface record");
static_assert(sizeof(void*) != 4 ||
                  (sizeof(WzcInterfaceRecord) == kWzcLayout1181.size &&
                   offsetof(WzcInterfaceRecord, dwCapabilities) ==
                       kWzcLayout1181.capabilitiesOffset &&
                   offsetof(WzcInterfaceRecord, dwListLength) == kWzcLayout1181.listLengthOffset &&
                   offsetof(WzcInterfaceRecord, pListData) == kWzcLayout1181.listPointerOffset),
              "80-byte interface record");

// Room for an interface record, larger than every layout: a library of a later build writes
// its longer record (92 bytes from 2600.2180 on) into it without overrunning. "= {}" zeroes
// all of it (the byte array is the first member).
union WzcInterfaceRoom {
    BYTE bytes[128];
    WzcInterfaceRecord1106 record1106;
    WzcInterfaceRecord record;
};

// The interface table of WZCEnumInterfaces; the library allocates the table and each GUID
// string with LocalAlloc, and the caller frees them with LocalFree.
struct WzcInterfaceKey {
    LPWSTR wszGuid;
};
struct WzcInterfaceTable {
    DWORD dwNumIntfs;
    WzcInterfaceKey* pIntfs;
};

typedef DWORD(WINAPI* WzcEnumInterfacesFn)(LPWSTR server, WzcInterfaceTable* table);
typedef DWORD(WINAPI* WzcInterface1106Fn)(LPWSTR server, DWORD inFlags,
                                          WzcInterfaceRecord1106* record, DWORD* outFlags);
typedef DWORD(WINAPI* WzcInterfaceFn)(LPWSTR server, DWORD inFlags, WzcInterfaceRecord* record,
                                      DWORD* outFlags);
typedef DWORD(WINAPI* WzcEapolGuidFn)(LPWSTR server, LPWSTR guid);
typedef DWORD(WINAPI* WzcEapolParamsFn)(LPWSTR server, LPWSTR guid, WzcEapolParams* params);
typedef DWORD(WINAPI* WzcEapolSetCustomAuthDataFn)(LPWSTR server, LPWSTR guid, DWORD eapType,
                                                   DWORD ssidLength, BYTE* ssid, BYTE* data,
                                                   DWORD dataLength);
typedef DWORD(WINAPI* WzcEapolGetCustomAuthDataFn)(LPWSTR server, LPWSTR guid, DWORD eapType,
                                                   DWORD ssidLength, BYTE* ssid, BYTE* data,
                                                   DWORD* dataLength);
typedef DWORD(WINAPI* WzcGetEapUserInfoFn)(LPWSTR guid, DWORD eapType, DWORD ssidLength, BYTE* ssid,
                                           BYTE* userInfo, DWORD* infoSize);
typedef DWORD(WINAPI* WzcQueryContextFn)(LPWSTR server, DWORD inFlags, void* context,
                                         DWORD* outFlags);
typedef DWORD(WINAPI* WzcEapolQueryStateFn)(LPWSTR server, LPWSTR guid, void* state);

// The bound library. Of the two interface triples exactly one is filled: the 76-byte one for
// build class 3, the 80-byte one for every other class. The slots from WZCRefreshInterface on
// are required of the library but not called.
struct WzcBinding {
    HMODULE library; // first field: WZCUninit reads nothing else
    LONG buildClass;
    WzcEnumInterfacesFn WZCEnumInterfaces;
    WzcInterface1106Fn WZCQueryInterface_1106;
    WzcInterface1106Fn WZCSetInterface_1106;
    WzcInterface1106Fn WZCRefreshInterface_1106;
    WzcInterfaceFn WZCQueryInterface;
    WzcInterfaceFn WZCSetInterface;
    WzcInterfaceFn WZCRefreshInterface;
    WzcEapolGuidFn WZCEapolReAuthenticate;
    WzcEapolParamsFn WZCEapolGetInterfaceParams;
    WzcEapolParamsFn WZCEapolSetInterfaceParams;
    WzcEapolSetCustomAuthDataFn WZCEapolSetCustomAuthData;
    WzcEapolGetCustomAuthDataFn WZCEapolGetCustomAuthData;
    WzcGetEapUserInfoFn WZCGetEapUserInfo;
    WzcQueryContextFn WZCQueryContext;
    WzcEapolQueryStateFn WZCEapolQueryState;
};

// Trace switch of the binding and list routines: their lines are printed when it equals 1.
// No option sets it.
extern long g_bWzcTrace;

// Loads wzcsapi.dll and classifies its build from the loaded file's product version. Returns
// 0 with *library loaded and *buildClass set, or 8 (no memory for the version block) or 50
// (library missing, version unreadable or refused) with nothing loaded. Both bindings of the
// library start with it.
DWORD LoadWzcLibrary(HMODULE* library, LONG* buildClass);

// Loads wzcsapi.dll, classifies its build and resolves all thirteen functions. Returns 0 with
// *binding owned by the caller (release with WZCUninit), or 8 / 50 with *binding null and
// nothing left loaded.
DWORD WZCInit(WzcBinding** binding);

// Unloads the library in the record's first field and frees the record (LocalFree); returns
// 0. It reads no other field, so it releases any binding record that begins with the library
// handle and was allocated with LocalAlloc.
DWORD WZCUninit(void* binding);
