#include "wzc_query_binding.h"

#include <cstdio>

#include "../common/globals.h"
#include "../common/library_binding.h"

DWORD WZCInit_XP_SP2(WzcQueryBinding** binding)
{
    DWORD result = ERROR_NOT_ENOUGH_MEMORY;
    *binding = nullptr;
    WzcQueryBinding* b = static_cast<WzcQueryBinding*>(LocalAlloc(LPTR, sizeof(WzcQueryBinding)));
    if (b && (result = LoadWzcLibrary(&b->library, &b->buildClass)) == 0 &&
        !(ResolveExport(b->library, "WZCEnumInterfaces", &b->WZCEnumInterfaces) &&
          ResolveExport(b->library, "WZCQueryInterface", &b->WZCQueryInterface))) {
        FreeLibrary(b->library);
        result = ERROR_NOT_SUPPORTED;
    }
    if (result == 0)
        *binding = b;
    else if (b)
        LocalFree(b);
    return result;
}

DWORD WZCEnumAdapters_XP_SP2(const WzcQueryBinding* binding, WzcAdapterList* list)
{
    // The one adapter walk of the full binding, which calls nothing but the enumeration.
    WzcBinding enumerator = {};
    enumerator.library = binding->library;
    enumerator.buildClass = binding->buildClass;
    enumerator.WZCEnumInterfaces = binding->WZCEnumInterfaces;
    return WZCEnumAdapters(&enumerator, list);
}

DWORD WZCQueryWPA2State(const WzcQueryBinding* binding, const wchar_t* guid)
{
    // Room beyond the 92 bytes, zeroed, for a library of a later build that writes more.
    union {
        BYTE bytes[sizeof(WzcInterfaceRoom)];
        WzcInterfaceRecordXpSp2 record;
    } room = {};
    static_assert(sizeof(room) == sizeof(WzcInterfaceRoom), "as the full binding's room");
    WzcInterfaceRecordXpSp2& record = room.record;
    DWORD outFlags = 0, supported = 0;
    DebugPrint("WZCQueryWPA2State\n");
    record.wszGuid = const_cast<LPWSTR>(guid);
    DWORD result = binding->WZCQueryInterface(nullptr, WZC_SEL_CAPABILITIES, &record, &outFlags);
    if (result != 0) {
        printf("WZCQueryWPA2State :: dwErr : %d\n", (int)result);
    } else {
        DebugPrint("WZCQueryWPA2State :: dwCapabilities : 0x%x\n", (unsigned)record.dwCapabilities);
        supported = record.dwCapabilities == WZC_CAPABILITIES_WPA2 ? 1 : 0;
    }
    // Only the capabilities were asked for; a list handed out anyway is ours to free.
    if (record.pListData)
        LocalFree(record.pListData);
    DebugPrint("WZCQueryWPA2State :: returning %ld\n", (long)supported);
    return supported;
}
