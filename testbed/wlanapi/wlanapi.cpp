// Emulated Vista WLAN API (wlanapi.dll). Wine's own has no version resource and no wireless
// interface; this one carries a Vista version and keeps the machine's interfaces and profiles
// in the prefix's registry (testbed_state.h). Any call can be made to fail with a chosen code,
// on every interface or one (faults in the state). Parameter checks come first, as on the
// platform, then the injected fault, then the work.
#include <windows.h>
#include <wlanapi.h>

#include <cwchar>
#include <set>
#include <string>
#include <vector>

#include "profile_check.h"
#include "testbed_state.h"
#include "wlan_reason.h"

namespace {

// Access rights of wlanapi.h that mingw-w64 lacks.
const DWORD kWlanReadAccess = STANDARD_RIGHTS_READ | FILE_READ_DATA;
const DWORD kWlanExecuteAccess = kWlanReadAccess | STANDARD_RIGHTS_EXECUTE | FILE_EXECUTE;
const DWORD kWlanWriteAccess = kWlanExecuteAccess | STANDARD_RIGHTS_WRITE | FILE_WRITE_DATA |
                               DELETE | WRITE_DAC;

CRITICAL_SECTION g_lock;
std::set<HANDLE>* g_openHandles;
std::set<void*>* g_liveBlocks;
ULONG_PTR g_lastHandle = 0x5A10;

struct Lock {
    Lock() { EnterCriticalSection(&g_lock); }
    ~Lock() { LeaveCriticalSection(&g_lock); }
};

bool IsOpen(HANDLE handle)
{
    Lock lock;
    return g_openHandles->count(handle) != 0;
}

// The platform's answer for a client handle: 87 for none, 6 for one it does not know.
DWORD CheckHandle(HANDLE handle)
{
    if (!handle)
        return ERROR_INVALID_PARAMETER;
    return IsOpen(handle) ? 0 : ERROR_INVALID_HANDLE;
}

// Common checks of the calls that name an interface (argumentsGiven: the call's own pointers
// are there); *index receives the interface's position.
DWORD CheckInterfaceCall(const wchar_t* call, HANDLE handle, const GUID* guid, PVOID reserved,
                         bool argumentsGiven, int* index)
{
    DWORD result = CheckHandle(handle);
    if (result != 0)
        return result;
    if (!guid || reserved || !argumentsGiven)
        return ERROR_INVALID_PARAMETER;
    *index = FindTestbedInterface(*guid);
    if (*index < 0)
        return ERROR_NOT_FOUND;
    return TestbedFaultFor(call, *index);
}

} // namespace

extern "C" {

PVOID WINAPI WlanAllocateMemory(DWORD size)
{
    void* block = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size ? size : 1);
    if (!block) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    Lock lock;
    g_liveBlocks->insert(block);
    return block;
}

VOID WINAPI WlanFreeMemory(PVOID memory)
{
    if (!memory)
        return;
    {
        Lock lock;
        // A block this API did not hand out is not ours to free.
        if (!g_liveBlocks->erase(memory))
            return;
    }
    HeapFree(GetProcessHeap(), 0, memory);
}

DWORD WINAPI WlanOpenHandle(DWORD clientVersion, PVOID reserved, PDWORD negotiatedVersion,
                            PHANDLE clientHandle)
{
    if (reserved || !negotiatedVersion || !clientHandle ||
        (clientVersion != 1 && clientVersion != 2))
        return ERROR_INVALID_PARAMETER;
    if (DWORD fault = TestbedFaultFor(L"WlanOpenHandle", -1))
        return fault;
    Lock lock;
    g_lastHandle += 4;
    HANDLE handle = reinterpret_cast<HANDLE>(g_lastHandle);
    g_openHandles->insert(handle);
    *negotiatedVersion = clientVersion;
    *clientHandle = handle;
    return ERROR_SUCCESS;
}

DWORD WINAPI WlanCloseHandle(HANDLE clientHandle, PVOID reserved)
{
    DWORD result = CheckHandle(clientHandle);
    if (result != 0)
        return result;
    if (reserved)
        return ERROR_INVALID_PARAMETER;
    if (DWORD fault = TestbedFaultFor(L"WlanCloseHandle", -1))
        return fault;
    Lock lock;
    g_openHandles->erase(clientHandle);
    return ERROR_SUCCESS;
}

DWORD WINAPI WlanEnumInterfaces(HANDLE clientHandle, PVOID reserved,
                                PWLAN_INTERFACE_INFO_LIST* interfaceList)
{
    DWORD result = CheckHandle(clientHandle);
    if (result != 0)
        return result;
    if (reserved || !interfaceList)
        return ERROR_INVALID_PARAMETER;
    if (DWORD fault = TestbedFaultFor(L"WlanEnumInterfaces", -1))
        return fault;
    std::vector<TestbedInterface> interfaces;
    if ((result = ReadTestbedInterfaces(&interfaces)) != 0)
        return result;
    DWORD bytes = FIELD_OFFSET(WLAN_INTERFACE_INFO_LIST, InterfaceInfo) +
                  sizeof(WLAN_INTERFACE_INFO) * (interfaces.empty() ? 1 : interfaces.size());
    auto* list = static_cast<PWLAN_INTERFACE_INFO_LIST>(WlanAllocateMemory(bytes));
    if (!list)
        return ERROR_NOT_ENOUGH_MEMORY;
    list->dwNumberOfItems = (DWORD)interfaces.size();
    list->dwIndex = 0;
    for (size_t i = 0; i < interfaces.size(); ++i) {
        WLAN_INTERFACE_INFO& info = list->InterfaceInfo[i];
        info.InterfaceGuid = interfaces[i].guid;
        lstrcpynW(info.strInterfaceDescription, interfaces[i].description.c_str(),
                  WLAN_MAX_NAME_LENGTH);
        info.isState = wlan_interface_state_disconnected;
    }
    *interfaceList = list;
    return ERROR_SUCCESS;
}

DWORD WINAPI WlanSetProfile(HANDLE clientHandle, const GUID* interfaceGuid, DWORD flags,
                            LPCWSTR profileXml, LPCWSTR allUserProfileSecurity, BOOL overwrite,
                            PVOID reserved, DWORD* reasonCode)
{
    int index = -1;
    DWORD result = CheckInterfaceCall(L"WlanSetProfile", clientHandle, interfaceGuid, reserved,
                                      profileXml && reasonCode, &index);
    if (result != 0) {
        if (result == ERROR_BAD_PROFILE)
            *reasonCode = WLAN_REASON_UNKNOWN;
        return result;
    }
    // Only all-user profiles are emulated.
    if (flags != 0)
        return ERROR_NOT_SUPPORTED;
    std::wstring name;
    std::vector<uint8_t> ssid;
    DWORD reason = CheckProfileDocument(profileXml, &name, &ssid);
    *reasonCode = reason;
    if (reason != 0)
        return ERROR_BAD_PROFILE;
    std::wstring existing;
    if (!overwrite && ReadTestbedProfile(index, name.c_str(), &existing) == ERROR_SUCCESS)
        return ERROR_ALREADY_EXISTS;
    return WriteTestbedProfile(index, name.c_str(), profileXml, ssid);
}

DWORD WINAPI WlanDeleteProfile(HANDLE clientHandle, const GUID* interfaceGuid, LPCWSTR profileName,
                               PVOID reserved)
{
    int index = -1;
    DWORD result = CheckInterfaceCall(L"WlanDeleteProfile", clientHandle, interfaceGuid, reserved,
                                      profileName != nullptr, &index);
    if (result != 0)
        return result;
    result = RemoveTestbedProfile(index, profileName);
    return result == ERROR_FILE_NOT_FOUND ? ERROR_NOT_FOUND : result;
}

DWORD WINAPI WlanGetProfileList(HANDLE clientHandle, const GUID* interfaceGuid, PVOID reserved,
                                PWLAN_PROFILE_INFO_LIST* profileList)
{
    int index = -1;
    DWORD result = CheckInterfaceCall(L"WlanGetProfileList", clientHandle, interfaceGuid, reserved,
                                      profileList != nullptr, &index);
    if (result != 0)
        return result;
    std::vector<TestbedProfile> profiles;
    if ((result = ReadTestbedProfiles(index, &profiles)) != 0)
        return result;
    DWORD bytes = FIELD_OFFSET(WLAN_PROFILE_INFO_LIST, ProfileInfo) +
                  sizeof(WLAN_PROFILE_INFO) * (profiles.empty() ? 1 : profiles.size());
    auto* list = static_cast<PWLAN_PROFILE_INFO_LIST>(WlanAllocateMemory(bytes));
    if (!list)
        return ERROR_NOT_ENOUGH_MEMORY;
    list->dwNumberOfItems = (DWORD)profiles.size();
    list->dwIndex = 0;
    for (size_t i = 0; i < profiles.size(); ++i) {
        lstrcpynW(list->ProfileInfo[i].strProfileName, profiles[i].name.c_str(),
                  WLAN_MAX_NAME_LENGTH);
        list->ProfileInfo[i].dwFlags = 0;
    }
    *profileList = list;
    return ERROR_SUCCESS;
}

DWORD WINAPI WlanGetProfile(HANDLE clientHandle, const GUID* interfaceGuid, LPCWSTR profileName,
                            PVOID reserved, LPWSTR* profileXml, DWORD* flags, PDWORD grantedAccess)
{
    int index = -1;
    DWORD result = CheckInterfaceCall(L"WlanGetProfile", clientHandle, interfaceGuid, reserved,
                                      profileName && profileXml, &index);
    if (result != 0)
        return result;
    std::wstring document;
    result = ReadTestbedProfile(index, profileName, &document);
    if (result != 0)
        return result == ERROR_FILE_NOT_FOUND ? ERROR_NOT_FOUND : result;
    auto* copy = static_cast<LPWSTR>(
        WlanAllocateMemory((DWORD)((document.size() + 1) * sizeof(wchar_t))));
    if (!copy)
        return ERROR_NOT_ENOUGH_MEMORY;
    wmemcpy(copy, document.c_str(), document.size() + 1);
    *profileXml = copy;
    if (flags)
        *flags = 0;
    if (grantedAccess)
        *grantedAccess = kWlanWriteAccess;
    return ERROR_SUCCESS;
}

DWORD WINAPI WlanReasonCodeToString(DWORD reasonCode, DWORD bufferSize, PWCHAR stringBuffer,
                                    PVOID reserved)
{
    if (!stringBuffer || bufferSize == 0 || reserved)
        return ERROR_INVALID_PARAMETER;
    if (DWORD fault = TestbedFaultFor(L"WlanReasonCodeToString", -1))
        return fault;
    lstrcpynW(stringBuffer, WlanReasonText(reasonCode), (int)bufferSize);
    return ERROR_SUCCESS;
}

// Test bed only: what a client still holds, so that tests can prove it released everything.
DWORD WINAPI TestbedWlanOpenHandleCount()
{
    Lock lock;
    return (DWORD)g_openHandles->size();
}

DWORD WINAPI TestbedWlanLiveBlockCount()
{
    Lock lock;
    return (DWORD)g_liveBlocks->size();
}

} // extern "C"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        InitializeCriticalSection(&g_lock);
        g_openHandles = new std::set<HANDLE>;
        g_liveBlocks = new std::set<void*>;
    } else if (reason == DLL_PROCESS_DETACH) {
        delete g_openHandles;
        delete g_liveBlocks;
        DeleteCriticalSection(&g_lock);
    }
    return TRUE;
}
