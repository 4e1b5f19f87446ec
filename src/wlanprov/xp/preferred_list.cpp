#include "preferred_list.h"

#include <cstdio>
#include <cstring>
#include <cwchar>

#include "../common/globals.h"
#include "../common/secret_wipe.h"

namespace {

// The two interface calls of a layout, through the slots typed for its record.
typedef DWORD (*InterfaceCall)(const WzcBinding*, DWORD selector, WzcInterfaceRoom*, DWORD*);

DWORD Query1106(const WzcBinding* b, DWORD selector, WzcInterfaceRoom* room, DWORD* outFlags)
{
    return b->WZCQueryInterface_1106(nullptr, selector, &room->record1106, outFlags);
}
DWORD Set1106(const WzcBinding* b, DWORD selector, WzcInterfaceRoom* room, DWORD* outFlags)
{
    return b->WZCSetInterface_1106(nullptr, selector, &room->record1106, outFlags);
}
DWORD Query1181(const WzcBinding* b, DWORD selector, WzcInterfaceRoom* room, DWORD* outFlags)
{
    return b->WZCQueryInterface(nullptr, selector, &room->record, outFlags);
}
DWORD Set1181(const WzcBinding* b, DWORD selector, WzcInterfaceRoom* room, DWORD* outFlags)
{
    return b->WZCSetInterface(nullptr, selector, &room->record, outFlags);
}

// What the two list variants differ in: names, record layout and slots.
struct ListVariant {
    const char* getName;
    const char* setName;
    WzcInterfaceLayout layout;
    InterfaceCall query;
    InterfaceCall set;
};
const ListVariant kVariant1106 = {"WZCGetPrefSSIDList_1106", "WZCSetPrefSSIDList_1106",
                                  kWzcLayout1106, Query1106, Set1106};
const ListVariant kVariant1181 = {"WZCGetPrefSSIDList_1181", "WZCSetPrefSSIDList_1181",
                                  kWzcLayout1181, Query1181, Set1181};

const ListVariant& VariantOf(const WzcBinding* binding)
{
    return binding->buildClass == WZC_BUILD_CLASS_1106 ? kVariant1106 : kVariant1181;
}

DWORD GetList(const ListVariant& v, const WzcBinding* binding, const wchar_t* guid,
              WzcConfigItem** head)
{
    WzcInterfaceRoom room = {};
    DWORD outFlags = 0, length = 0;
    BYTE* blob = nullptr;
    TracePrint(g_bWzcTrace, "%s\n", v.getName);
    room.record.wszGuid = const_cast<LPWSTR>(guid);
    DWORD result = v.query(binding, WZC_SEL_PREFLIST, &room, &outFlags);
    memcpy(&length, room.bytes + v.layout.listLengthOffset, sizeof(length));
    memcpy(&blob, room.bytes + v.layout.listPointerOffset, sizeof(blob));
    // A length of 0 is an adapter without preferred networks: 232.
    if (result == 0)
        result = WzcReadConfigList(blob, length, head);
    // The library's copy of the list holds every stored network's key.
    if (blob) {
        WipeSecret(blob, LocalSize(blob));
        LocalFree(blob);
    }
    TracePrint(g_bWzcTrace, "%s::returning: %ld\n", v.getName, (long)result);
    return result;
}

DWORD SetList(const ListVariant& v, const WzcBinding* binding, const wchar_t* guid,
              const WzcConfigItem* head)
{
    WzcInterfaceRoom room = {};
    DWORD outFlags = 0;
    uint8_t* blob = nullptr;
    uint32_t length = 0;
    TracePrint(g_bWzcTrace, "%s\n", v.setName);
    room.record.wszGuid = const_cast<LPWSTR>(guid);
    DWORD result = WzcPackConfigList(head, &blob, &length);
    if (result == 0) {
        memcpy(room.bytes + v.layout.listLengthOffset, &length, sizeof(length));
        memcpy(room.bytes + v.layout.listPointerOffset, &blob, sizeof(blob));
        result = v.set(binding, WZC_SEL_PREFLIST, &room, &outFlags);
    }
    FreeSecret(blob, length);
    TracePrint(g_bWzcTrace, "%s :: returning %ld\n", v.setName, (long)result);
    return result;
}

} // namespace

DWORD WZCEnumAdapters(const WzcBinding* binding, WzcAdapterList* list)
{
    WzcInterfaceTable table = {0, nullptr};
    TracePrint(g_bWzcTrace, "WZCEnumAdapters\n");
    DWORD result = binding->WZCEnumInterfaces(nullptr, &table);
    if (result == 0 && (table.dwNumIntfs == 0 || !table.pIntfs))
        result = WZC_NO_DATA;
    if (result == 0) {
        list->count = 0;
        for (DWORD i = 0; i < table.dwNumIntfs && list->count < (DWORD)WZC_MAX_ADAPTERS; ++i) {
            const wchar_t* guid = table.pIntfs[i].wszGuid;
            size_t length = guid ? wcsnlen(guid, WZC_GUID_CHARACTERS) : 0;
            if (length == 0 || length >= WZC_GUID_CHARACTERS) {
                printf("WZCEnumAdapters :: skipped an adapter whose GUID is empty or too long\n");
                continue;
            }
            memcpy(list->guids[list->count++], guid, (length + 1) * sizeof(wchar_t));
        }
        if (list->count == 0)
            result = WZC_NO_DATA;
        TracePrint(g_bWzcTrace, "WZCEnumAdapters :: returning %d\n", (int)result);
    }
    // The table and its strings were allocated for this caller.
    if (table.pIntfs) {
        for (DWORD i = 0; i < table.dwNumIntfs; ++i)
            if (table.pIntfs[i].wszGuid)
                LocalFree(table.pIntfs[i].wszGuid);
        LocalFree(table.pIntfs);
    }
    return result;
}

DWORD WZCGetPrefSSIDList_1106(const WzcBinding* binding, const wchar_t* guid, WzcConfigItem** head)
{
    return GetList(kVariant1106, binding, guid, head);
}

DWORD WZCGetPrefSSIDList_1181(const WzcBinding* binding, const wchar_t* guid, WzcConfigItem** head)
{
    return GetList(kVariant1181, binding, guid, head);
}

DWORD WZCGetPrefSSIDList(const WzcBinding* binding, const wchar_t* guid, WzcConfigItem** head)
{
    TracePrint(g_bWzcTrace, "WZCGetPrefSSIDList\n");
    DWORD result = GetList(VariantOf(binding), binding, guid, head);
    TracePrint(g_bWzcTrace, "WZCGetPrefSSIDList::returning %ld\n", (long)result);
    return result;
}

DWORD WZCSetPrefSSIDList_1106(const WzcBinding* binding, const wchar_t* guid,
                              const WzcConfigItem* head)
{
    return SetList(kVariant1106, binding, guid, head);
}

DWORD WZCSetPrefSSIDList_1181(const WzcBinding* binding, const wchar_t* guid,
                              const WzcConfigItem* head)
{
    return SetList(kVariant1181, binding, guid, head);
}

DWORD WZCSetPrefSSIDList(const WzcBinding* binding, const wchar_t* guid, const WzcConfigItem* head)
{
    return SetList(VariantOf(binding), binding, guid, head);
}

DWORD WZCAddPreferedConfig(const WzcBinding* binding, const wchar_t* guid, WzcNetworkConfig config,
                           DWORD replace, DWORD atHead)
{
    WzcConfigItem* head = nullptr;
    bool appended = false;
    TracePrint(g_bWzcTrace, "WZCAddPreferedConfig\n");
    DWORD result = WZCGetPrefSSIDList(binding, guid, &head);
    // An adapter without preferred networks starts a new list.
    if (result == WZC_NO_DATA)
        result = 0;
    if (result != 0)
        goto done;
    result = WzcApplyAddRule(&head, &config, replace != 0, atHead != 0, &appended);
    if (appended)
        printf("WZCAddPreferedConfig::appended\n");
    if (result == 0)
        result = WZCSetPrefSSIDList(binding, guid, head);
done:
    WzcFreeConfigList(&head);
    TracePrint(g_bWzcTrace, "WZCAddPreferedConfig :: returning: %ld\n", (long)result);
    return result;
}

DWORD WZCRemovePreferedConfig(const WzcBinding* binding, const wchar_t* guid,
                              WzcNetworkConfig config)
{
    WzcConfigItem* head = nullptr;
    TracePrint(g_bWzcTrace, "WZCRemovePreferedConfig\n");
    DWORD result = WZCGetPrefSSIDList(binding, guid, &head);
    if (result != 0)
        goto done;
    result = WzcApplyRemoveRule(&head, config.ssid);
    if (result == 0)
        result = WZCSetPrefSSIDList(binding, guid, head);
    TracePrint(g_bWzcTrace, "WZCRemovePreferedConfig :: deleting\n");
done:
    WzcFreeConfigList(&head);
    TracePrint(g_bWzcTrace, "WZCRemovePreferedConfig :: returning %ld\n", (long)result);
    return result;
}

DWORD WZCSetConfigEapData1(const WzcBinding* binding, const wchar_t* guid, const wchar_t* ssid,
                           DWORD eapType, DWORD eapFlags, BYTE* data, DWORD dataLength)
{
    LPWSTR adapter = const_cast<LPWSTR>(guid);
    WzcEapolParams params = {};
    DWORD result = 0;
    // The service keys the parameters by the SSID's ANSI bytes, the form its records store; in
    // a double-byte code page they outnumber the characters. 33 characters are too many bytes.
    int characters = (int)wcsnlen(ssid, WZC_SSID_BYTES + 1), bytes = 0;
    char text[WZC_SSID_BYTES] = {};
    TracePrint(g_bWzcTrace, "WZCSetConfigEapData1\n");
    if (characters <= WZC_SSID_BYTES)
        bytes = WideCharToMultiByte(CP_ACP, 0, ssid, characters, nullptr, 0, nullptr, nullptr);
    if (bytes < 1 || bytes > WZC_SSID_BYTES ||
        WideCharToMultiByte(CP_ACP, 0, ssid, characters, text, bytes, nullptr, nullptr) != bytes) {
        result = ERROR_INVALID_PARAMETER;
        goto done;
    }
    params.ssidLength = (uint32_t)bytes;
    memcpy(params.ssid, text, (size_t)bytes);
    result = binding->WZCEapolGetInterfaceParams(nullptr, adapter, &params);
    if (result != 0)
        goto done;
    params.reserved = 0;
    params.eapFlags = eapFlags;
    params.eapType = eapType;
    result = binding->WZCEapolSetInterfaceParams(nullptr, adapter, &params);
    if (result != 0)
        goto done;
    result = binding->WZCEapolSetCustomAuthData(nullptr, adapter, eapType, (DWORD)bytes,
                                                reinterpret_cast<BYTE*>(text), data, dataLength);
done:
    TracePrint(g_bWzcTrace, "WZCSetConfigEapData1 :: return %ld\n", (long)result);
    return result;
}
