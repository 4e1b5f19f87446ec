// Emulated XP wireless client library (wzcsapi.dll), built once per platform build. Its
// version resource tells wlanprov which XP build it runs on, and the build decides the layout
// of the interface record it exchanges (interface_layout.h): a caller that assumes another
// layout finds zeros or other fields, as on the platform.
//
// State: the machine in the prefix's registry (xp_testbed_state.h). The preferred lists are
// the wireless service's own "Static#NNNN" values; the library works whether or not the
// emulated service runs, so that test programs running side by side never wait for each other.
//
// Every call checks its arguments first (a remote server name: 1722 RPC_S_SERVER_UNAVAILABLE;
// a missing pointer: 87), then finds the adapter (an unknown GUID: 2 ERROR_FILE_NOT_FOUND, the
// service's answer for an interface it does not know), then the injected fault for the call
// and adapter, then works.
//
// WZCQueryInterface / WZCSetInterface serve the preferred list (0x00040000) and, where the
// build's record has one, the capability word (0x00080000, query only); other selector bits
// are left alone, and the output flags name the fields served. The 76-byte build has no
// capability word: a capability query returns 0 with the record untouched and no flag set.
// WZCEapolGetInterfaceParams answers an SSID never set with zero flags and type, as the
// service's defaults for a new network; the set call keeps the flags (@8) and EAP type (@12).
// WZCRefreshInterface and WZCEapolReAuthenticate succeed and change nothing; the four calls
// that read state the emulation does not keep (custom auth data back, user info, context,
// EAPOL state) return 50 ERROR_NOT_SUPPORTED and touch no output.
//
// The interface table, its GUID strings and the preferred-list blob are LocalAlloc'ed blocks
// the caller frees with LocalFree; TestbedLiveBlocks (test bed only) counts those of this
// process not yet freed (how it sees the caller's LocalFree: handed_blocks.h).
#include <windows.h>

#include <cstring>
#include <vector>

#include "handed_blocks.h"
#include "interface_layout.h"
#include "xp_testbed_state.h"

namespace {

struct INTF_KEY_ENTRY {
    LPWSTR wszGuid;
};

struct INTFS_KEY_TABLE {
    DWORD dwNumIntfs;
    INTF_KEY_ENTRY* pIntfs;
};

const DWORD kEapolParamsSize = 52;
const DWORD kSsidMax = 32;
const InterfaceRecordLayout kLayout = LayoutForBuild((VER_BUILD << 16) | VER_REVISION);

DWORD Word(const void* record, uint32_t offset)
{
    DWORD value;
    memcpy(&value, static_cast<const BYTE*>(record) + offset, 4);
    return value;
}

void SetWord(void* record, uint32_t offset, DWORD value)
{
    memcpy(static_cast<BYTE*>(record) + offset, &value, 4);
}

void* Pointer(const void* record, uint32_t offset)
{
    void* value;
    memcpy(&value, static_cast<const BYTE*>(record) + offset, sizeof(value));
    return value;
}

DWORD CheckServer(LPCWSTR server)
{
    return server && *server ? RPC_S_SERVER_UNAVAILABLE : 0;
}

// The order of checks above for a call naming an adapter; *index receives its position.
DWORD CheckAdapterCall(const wchar_t* call, LPCWSTR server, LPCWSTR guid, bool argumentsGiven,
                       int* index)
{
    if (DWORD result = CheckServer(server))
        return result;
    if (!guid || !argumentsGiven)
        return ERROR_INVALID_PARAMETER;
    *index = FindXpAdapter(guid);
    if (*index < 0)
        return ERROR_FILE_NOT_FOUND;
    return XpFaultFor(call, *index);
}

LPCWSTR RecordGuid(const void* record)
{
    return record ? static_cast<LPCWSTR>(Pointer(record, 0)) : nullptr;
}

// The SSID part of the 52-byte interface parameters: length @16, bytes @20.
bool SsidOfParams(const void* params, DWORD* length)
{
    *length = Word(params, 16);
    return *length <= kSsidMax;
}

DWORD QueryPreferredList(const wchar_t* guid, void* record)
{
    std::vector<std::vector<uint8_t>> records;
    if (LONG result = ReadPreferredList(guid, &records))
        return result;
    std::vector<uint8_t> blob = JoinPreferredList(records);
    void* copy = nullptr;
    DWORD length = 0;
    if (Word(blob.data(), 0) != 0) {
        if (!(copy = HandOutBlock(blob.size())))
            return ERROR_NOT_ENOUGH_MEMORY;
        memcpy(copy, blob.data(), blob.size());
        length = (DWORD)blob.size();
    }
    SetWord(record, kLayout.listLength, length);
    memcpy(static_cast<BYTE*>(record) + kLayout.listPointer, &copy, sizeof(copy));
    return 0;
}

DWORD SetPreferredList(const wchar_t* guid, const void* record)
{
    DWORD length = Word(record, kLayout.listLength);
    const auto* blob = static_cast<const uint8_t*>(Pointer(record, kLayout.listPointer));
    std::vector<std::vector<uint8_t>> records;
    if (length != 0 && (!blob || !SplitPreferredList(blob, length, &records)))
        return ERROR_INVALID_PARAMETER;
    return WritePreferredList(guid, records);
}

} // namespace

extern "C" {

DWORD WINAPI WZCEnumInterfaces(LPWSTR server, INTFS_KEY_TABLE* table)
{
    if (DWORD result = CheckServer(server))
        return result;
    if (!table)
        return ERROR_INVALID_PARAMETER;
    if (DWORD fault = XpFaultFor(L"WZCEnumInterfaces", -1))
        return fault;
    std::vector<XpAdapter> adapters;
    if (LONG result = ReadXpAdapters(&adapters))
        return result;
    INTF_KEY_ENTRY* entries = nullptr;
    DWORD result = 0;
    if (!adapters.empty()) {
        entries = static_cast<INTF_KEY_ENTRY*>(
            HandOutBlock(sizeof(INTF_KEY_ENTRY) * adapters.size()));
        if (!entries)
            return ERROR_NOT_ENOUGH_MEMORY;
    }
    for (size_t i = 0; i < adapters.size() && result == 0; ++i) {
        size_t bytes = (adapters[i].guid.size() + 1) * sizeof(wchar_t);
        entries[i].wszGuid = static_cast<LPWSTR>(HandOutBlock(bytes));
        if (entries[i].wszGuid)
            memcpy(entries[i].wszGuid, adapters[i].guid.c_str(), bytes);
        else
            result = ERROR_NOT_ENOUGH_MEMORY;
    }
    if (result != 0) {
        for (size_t i = 0; i < adapters.size(); ++i)
            LocalFree(entries[i].wszGuid);
        LocalFree(entries);
        return result;
    }
    table->dwNumIntfs = (DWORD)adapters.size();
    table->pIntfs = entries;
    return 0;
}

DWORD WINAPI WZCQueryInterface(LPWSTR server, DWORD inFlags, void* record, DWORD* outFlags)
{
    int index = -1;
    LPCWSTR guid = RecordGuid(record);
    DWORD result = CheckAdapterCall(L"WZCQueryInterface", server, guid, true, &index);
    if (result != 0)
        return result;
    DWORD served = 0;
    if (inFlags & kSelectPreferredList) {
        if ((result = QueryPreferredList(guid, record)) != 0)
            return result;
        served |= kSelectPreferredList;
    }
    std::vector<XpAdapter> adapters;
    if ((inFlags & kSelectCapabilities) && kLayout.capabilities >= 0 &&
        ReadXpAdapters(&adapters) == 0 && index < (int)adapters.size()) {
        SetWord(record, kLayout.capabilities, adapters[index].capabilities);
        served |= kSelectCapabilities;
    }
    if (outFlags)
        *outFlags = served;
    return 0;
}

DWORD WINAPI WZCSetInterface(LPWSTR server, DWORD inFlags, void* record, DWORD* outFlags)
{
    int index = -1;
    LPCWSTR guid = RecordGuid(record);
    DWORD result = CheckAdapterCall(L"WZCSetInterface", server, guid, true, &index);
    if (result != 0)
        return result;
    if (inFlags & kSelectPreferredList) {
        if ((result = SetPreferredList(guid, record)) != 0)
            return result;
    }
    if (outFlags)
        *outFlags = inFlags & kSelectPreferredList;
    return 0;
}

DWORD WINAPI WZCRefreshInterface(LPWSTR server, DWORD, void* record, DWORD* outFlags)
{
    int index = -1;
    DWORD result = CheckAdapterCall(L"WZCRefreshInterface", server, RecordGuid(record), true,
                                    &index);
    if (result == 0 && outFlags)
        *outFlags = 0;
    return result;
}

DWORD WINAPI WZCEapolGetInterfaceParams(LPWSTR server, LPWSTR guid, void* params)
{
    int index = -1;
    DWORD ssidLength = 0;
    DWORD result = CheckAdapterCall(L"WZCEapolGetInterfaceParams", server, guid,
                                    params && SsidOfParams(params, &ssidLength), &index);
    if (result != 0)
        return result;
    std::vector<uint8_t> stored;
    result = ReadXpEapolParams(index, static_cast<const uint8_t*>(params) + 20, ssidLength,
                               &stored);
    if (result == ERROR_FILE_NOT_FOUND)
        stored.assign(kEapolParamsSize, 0);
    else if (result != 0)
        return result;
    memcpy(params, stored.data(), 16);
    return 0;
}

DWORD WINAPI WZCEapolSetInterfaceParams(LPWSTR server, LPWSTR guid, void* params)
{
    int index = -1;
    DWORD ssidLength = 0;
    DWORD result = CheckAdapterCall(L"WZCEapolSetInterfaceParams", server, guid,
                                    params && SsidOfParams(params, &ssidLength), &index);
    if (result != 0)
        return result;
    std::vector<uint8_t> kept(kEapolParamsSize, 0);
    memcpy(&kept[8], static_cast<const BYTE*>(params) + 8, 12);
    memcpy(&kept[20], static_cast<const BYTE*>(params) + 20, ssidLength);
    return WriteXpEapolParams(index, kept);
}

DWORD WINAPI WZCEapolSetCustomAuthData(LPWSTR server, LPWSTR guid, DWORD eapType, DWORD ssidLength,
                                       BYTE* ssid, BYTE* data, DWORD dataLength)
{
    int index = -1;
    bool given = ssidLength <= kSsidMax && (ssid || ssidLength == 0) && (data || dataLength == 0);
    DWORD result = CheckAdapterCall(L"WZCEapolSetCustomAuthData", server, guid, given, &index);
    if (result != 0)
        return result;
    XpCustomAuthData entry = {eapType, std::vector<uint8_t>(ssid, ssid + ssidLength),
                              std::vector<uint8_t>(data, data + dataLength)};
    return WriteXpCustomAuthData(index, entry);
}

DWORD WINAPI WZCEapolGetCustomAuthData(LPWSTR server, LPWSTR guid, DWORD, DWORD, BYTE*, BYTE*,
                                       DWORD*)
{
    int index = -1;
    DWORD result = CheckAdapterCall(L"WZCEapolGetCustomAuthData", server, guid, true, &index);
    return result != 0 ? result : ERROR_NOT_SUPPORTED;
}

DWORD WINAPI WZCEapolReAuthenticate(LPWSTR server, LPWSTR guid)
{
    int index = -1;
    return CheckAdapterCall(L"WZCEapolReAuthenticate", server, guid, true, &index);
}

DWORD WINAPI WZCGetEapUserInfo(LPWSTR guid, DWORD, DWORD, BYTE*, BYTE*, DWORD*)
{
    int index = -1;
    DWORD result = CheckAdapterCall(L"WZCGetEapUserInfo", nullptr, guid, true, &index);
    return result != 0 ? result : ERROR_NOT_SUPPORTED;
}

#ifndef WZCSAPI_WITHOUT_QUERY_CONTEXT
DWORD WINAPI WZCQueryContext(LPWSTR server, DWORD, void*, DWORD*)
{
    if (DWORD result = CheckServer(server))
        return result;
    DWORD fault = XpFaultFor(L"WZCQueryContext", -1);
    return fault != 0 ? fault : ERROR_NOT_SUPPORTED;
}
#endif

DWORD WINAPI WZCEapolQueryState(LPWSTR server, LPWSTR guid, void*)
{
    int index = -1;
    DWORD result = CheckAdapterCall(L"WZCEapolQueryState", server, guid, true, &index);
    return result != 0 ? result : ERROR_NOT_SUPPORTED;
}

// Test bed only: blocks handed out by this library in this process and not yet freed.
DWORD WINAPI TestbedLiveBlocks()
{
    return LiveHandedBlocks();
}

} // extern "C"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        StartHandedBlocks();
    else if (reason == DLL_PROCESS_DETACH)
        StopHandedBlocks();
    return TRUE;
}
