#include "testbed_state.h"

#include <rpc.h>

#include <cstdio>

namespace {

const wchar_t kRoot[] = L"Software\\WlanprovTestbed\\";

std::wstring InterfaceKeyPath(int index)
{
    return TestbedStateKeyPath() + L"\\Interfaces\\" + std::to_wstring(index);
}

std::wstring ProfilesKeyPath(int index)
{
    return InterfaceKeyPath(index) + L"\\Profiles";
}

std::wstring SsidsKeyPath(int index)
{
    return InterfaceKeyPath(index) + L"\\Ssids";
}

// The profile's SSID bytes; none when it has no value there.
std::vector<uint8_t> ReadSsid(int index, const std::wstring& name)
{
    uint8_t bytes[64];
    DWORD size = sizeof(bytes);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, SsidsKeyPath(index).c_str(), name.c_str(),
                     RRF_RT_REG_BINARY, nullptr, bytes, &size) != ERROR_SUCCESS)
        return {};
    return std::vector<uint8_t>(bytes, bytes + size);
}

// No bytes remove the value, so that a document written again never keeps stale ones.
LONG WriteSsid(int index, const wchar_t* name, const std::vector<uint8_t>& ssid)
{
    if (ssid.empty()) {
        LONG result = RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, SsidsKeyPath(index).c_str(), name);
        return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
    }
    HKEY key = nullptr;
    LONG result = RegCreateKeyExW(HKEY_LOCAL_MACHINE, SsidsKeyPath(index).c_str(), 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS)
        return result;
    result = RegSetValueExW(key, name, 0, REG_BINARY, ssid.data(), (DWORD)ssid.size());
    RegCloseKey(key);
    return result;
}

std::wstring GuidText(const GUID& guid)
{
    wchar_t text[64];
    swprintf(text, 64, L"{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
             (unsigned long)guid.Data1, guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
             guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6],
             guid.Data4[7]);
    return text;
}

bool ParseGuid(const std::wstring& text, GUID* guid)
{
    if (text.size() != 38 || text.front() != L'{' || text.back() != L'}')
        return false;
    std::wstring inner = text.substr(1, 36);
    return UuidFromStringW(reinterpret_cast<RPC_WSTR>(&inner[0]), guid) == RPC_S_OK;
}

LONG WriteInterfaces(const std::vector<TestbedInterface>& interfaces)
{
    HKEY list = nullptr;
    LONG result = RegCreateKeyExW(HKEY_LOCAL_MACHINE,
                                  (TestbedStateKeyPath() + L"\\Interfaces").c_str(), 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &list, nullptr);
    if (result != ERROR_SUCCESS)
        return result;
    RegCloseKey(list);
    for (size_t i = 0; i < interfaces.size() && result == ERROR_SUCCESS; ++i) {
        HKEY key = nullptr;
        result = RegCreateKeyExW(HKEY_LOCAL_MACHINE, InterfaceKeyPath((int)i).c_str(), 0, nullptr,
                                 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        if (result != ERROR_SUCCESS)
            break;
        result = WriteRegistryString(key, L"Guid", GuidText(interfaces[i].guid));
        if (result == ERROR_SUCCESS)
            result = WriteRegistryString(key, L"Description", interfaces[i].description);
        RegCloseKey(key);
    }
    return result;
}

// Creates the default machine the first time its state is asked for.
LONG EnsureState()
{
    HKEY key = nullptr;
    std::wstring path = TestbedStateKeyPath() + L"\\Interfaces";
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegCloseKey(key);
        return ERROR_SUCCESS;
    }
    return WriteInterfaces(DefaultTestbedInterfaces());
}

std::wstring FaultValueName(const wchar_t* call, int interfaceIndex)
{
    std::wstring name = call;
    if (interfaceIndex >= 0)
        name += L"#" + std::to_wstring(interfaceIndex);
    return name;
}

DWORD QueryFault(HKEY faults, const std::wstring& name)
{
    DWORD type = 0, code = 0, bytes = sizeof(code);
    if (RegQueryValueExW(faults, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&code),
                         &bytes) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return 0;
    return code;
}

std::wstring FaultsKeyPath()
{
    return TestbedStateKeyPath() + L"\\Faults";
}

} // namespace

std::wstring TestbedStateName()
{
    wchar_t name[128];
    DWORD length = GetEnvironmentVariableW(L"WLANPROV_TESTBED_STATE", name, 128);
    if (length == 0 || length >= 128)
        return L"default";
    return name;
}

std::wstring TestbedStateKeyPath()
{
    return kRoot + TestbedStateName();
}

std::vector<TestbedInterface> DefaultTestbedInterfaces()
{
    return {
        {{0x5e1a0c01, 0x7d3b, 0x4c2a, {0x9f, 0x10, 0x3a, 0x6b, 0x2c, 0x00, 0x00, 0x01}},
         L"Emulated 802.11 Wireless Adapter #1"},
        {{0x5e1a0c01, 0x7d3b, 0x4c2a, {0x9f, 0x10, 0x3a, 0x6b, 0x2c, 0x00, 0x00, 0x02}},
         L"Emulated 802.11 Wireless Adapter #2"},
    };
}

LONG DeleteTestbedState()
{
    LONG result = RegDeleteTreeW(HKEY_LOCAL_MACHINE, TestbedStateKeyPath().c_str());
    return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
}

LONG ResetTestbedState(const std::vector<TestbedInterface>& interfaces)
{
    LONG result = DeleteTestbedState();
    return result == ERROR_SUCCESS ? WriteInterfaces(interfaces) : result;
}

LONG ReadTestbedInterfaces(std::vector<TestbedInterface>* interfaces)
{
    interfaces->clear();
    LONG result = EnsureState();
    for (int i = 0; result == ERROR_SUCCESS; ++i) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, InterfaceKeyPath(i).c_str(), 0, KEY_READ, &key) !=
            ERROR_SUCCESS)
            break;
        TestbedInterface entry = {};
        std::wstring guid;
        result = ReadRegistryString(key, L"Guid", &guid);
        if (result == ERROR_SUCCESS && !ParseGuid(guid, &entry.guid))
            result = ERROR_INVALID_DATA;
        if (result == ERROR_SUCCESS)
            result = ReadRegistryString(key, L"Description", &entry.description);
        RegCloseKey(key);
        if (result == ERROR_SUCCESS)
            interfaces->push_back(entry);
    }
    return result;
}

int FindTestbedInterface(const GUID& guid)
{
    std::vector<TestbedInterface> interfaces;
    if (ReadTestbedInterfaces(&interfaces) != ERROR_SUCCESS)
        return -1;
    for (size_t i = 0; i < interfaces.size(); ++i)
        if (IsEqualGUID(interfaces[i].guid, guid))
            return (int)i;
    return -1;
}

LONG ReadTestbedProfiles(int interfaceIndex, std::vector<TestbedProfile>* profiles)
{
    profiles->clear();
    HKEY key = nullptr;
    LONG result = RegOpenKeyExW(HKEY_LOCAL_MACHINE, ProfilesKeyPath(interfaceIndex).c_str(), 0,
                                KEY_READ, &key);
    if (result == ERROR_FILE_NOT_FOUND)
        return ERROR_SUCCESS;
    if (result != ERROR_SUCCESS)
        return result;
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD nameLength = 16384;
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        TestbedProfile profile;
        profile.name.assign(name, nameLength);
        if (ReadRegistryString(key, profile.name.c_str(), &profile.document) == ERROR_SUCCESS) {
            profile.ssid = ReadSsid(interfaceIndex, profile.name);
            profiles->push_back(profile);
        }
    }
    RegCloseKey(key);
    return ERROR_SUCCESS;
}

LONG ReadTestbedProfile(int interfaceIndex, const wchar_t* name, std::wstring* document)
{
    HKEY key = nullptr;
    LONG result = RegOpenKeyExW(HKEY_LOCAL_MACHINE, ProfilesKeyPath(interfaceIndex).c_str(), 0,
                                KEY_READ, &key);
    if (result != ERROR_SUCCESS)
        return result;
    result = ReadRegistryString(key, name, document);
    RegCloseKey(key);
    return result;
}

LONG WriteTestbedProfile(int interfaceIndex, const wchar_t* name, const wchar_t* document,
                         const std::vector<uint8_t>& ssid)
{
    HKEY key = nullptr;
    LONG result = RegCreateKeyExW(HKEY_LOCAL_MACHINE, ProfilesKeyPath(interfaceIndex).c_str(), 0,
                                  nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS)
        return result;
    result = WriteRegistryString(key, name, document);
    if (result == ERROR_SUCCESS && (result = WriteSsid(interfaceIndex, name, ssid)) != 0)
        RegDeleteValueW(key, name); // a profile is stored whole or not at all
    RegCloseKey(key);
    return result;
}

LONG RemoveTestbedProfile(int interfaceIndex, const wchar_t* name)
{
    HKEY key = nullptr;
    LONG result = RegOpenKeyExW(HKEY_LOCAL_MACHINE, ProfilesKeyPath(interfaceIndex).c_str(), 0,
                                KEY_ALL_ACCESS, &key);
    if (result != ERROR_SUCCESS)
        return result;
    result = RegDeleteValueW(key, name);
    RegCloseKey(key);
    if (result == ERROR_SUCCESS)
        WriteSsid(interfaceIndex, name, {});
    return result;
}

LONG SetTestbedFault(const wchar_t* call, int interfaceIndex, DWORD code)
{
    return SetFaultIn(FaultsKeyPath(), call, interfaceIndex, code);
}

LONG ClearTestbedFaults()
{
    return ClearFaultsIn(FaultsKeyPath());
}

LONG ReadTestbedFaults(std::vector<TestbedFault>* faults)
{
    return ReadFaultsIn(FaultsKeyPath(), faults);
}

DWORD TestbedFaultFor(const wchar_t* call, int interfaceIndex)
{
    return FaultForIn(FaultsKeyPath(), call, interfaceIndex);
}

LONG SetFaultIn(const std::wstring& faultsKeyPath, const wchar_t* call, int index, DWORD code)
{
    HKEY key = nullptr;
    LONG result = RegCreateKeyExW(HKEY_LOCAL_MACHINE, faultsKeyPath.c_str(), 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS)
        return result;
    std::wstring name = FaultValueName(call, index);
    if (code == 0) {
        result = RegDeleteValueW(key, name.c_str());
        if (result == ERROR_FILE_NOT_FOUND)
            result = ERROR_SUCCESS;
    } else {
        result = RegSetValueExW(key, name.c_str(), 0, REG_DWORD,
                                reinterpret_cast<const BYTE*>(&code), sizeof(code));
    }
    RegCloseKey(key);
    return result;
}

LONG ClearFaultsIn(const std::wstring& faultsKeyPath)
{
    LONG result = RegDeleteTreeW(HKEY_LOCAL_MACHINE, faultsKeyPath.c_str());
    return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
}

LONG ReadFaultsIn(const std::wstring& faultsKeyPath, std::vector<TestbedFault>* faults)
{
    faults->clear();
    HKEY key = nullptr;
    LONG result = RegOpenKeyExW(HKEY_LOCAL_MACHINE, faultsKeyPath.c_str(), 0, KEY_READ, &key);
    if (result != ERROR_SUCCESS)
        return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256, type = 0, code = 0, bytes = sizeof(code);
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(&code),
                          &bytes) != ERROR_SUCCESS)
            break;
        if (type == REG_DWORD)
            faults->push_back({std::wstring(name, nameLength), code});
    }
    RegCloseKey(key);
    return ERROR_SUCCESS;
}

DWORD FaultForIn(const std::wstring& faultsKeyPath, const wchar_t* call, int index)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, faultsKeyPath.c_str(), 0, KEY_READ | KEY_SET_VALUE,
                      &key) != ERROR_SUCCESS)
        return 0;
    DWORD code = QueryFault(key, FaultValueName(call, index));
    if (code == 0 && index >= 0)
        code = QueryFault(key, call);
    // Counted only while an nth-call fault of this function is set (its counter exists).
    std::wstring counter = std::wstring(call) + L"@calls";
    DWORD calls = 0, type = 0, bytes = sizeof(calls);
    if (RegQueryValueExW(key, counter.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&calls),
                         &bytes) == ERROR_SUCCESS &&
        type == REG_BINARY && bytes == sizeof(calls)) {
        ++calls;
        RegSetValueExW(key, counter.c_str(), 0, REG_BINARY, reinterpret_cast<const BYTE*>(&calls),
                       sizeof(calls));
        // The call aimed at wins over a fault of every call.
        if (DWORD nth = QueryFault(key, std::wstring(call) + L"@" + std::to_wstring(calls)))
            code = nth;
    }
    RegCloseKey(key);
    return code;
}

LONG SetNthCallFaultIn(const std::wstring& faultsKeyPath, const wchar_t* call, int nth, DWORD code)
{
    HKEY key = nullptr;
    LONG result = RegCreateKeyExW(HKEY_LOCAL_MACHINE, faultsKeyPath.c_str(), 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS)
        return result;
    DWORD calls = 0;
    result = RegSetValueExW(key, (std::wstring(call) + L"@calls").c_str(), 0, REG_BINARY,
                            reinterpret_cast<const BYTE*>(&calls), sizeof(calls));
    if (result == ERROR_SUCCESS)
        result = RegSetValueExW(key, (std::wstring(call) + L"@" + std::to_wstring(nth)).c_str(), 0,
                                REG_DWORD, reinterpret_cast<const BYTE*>(&code), sizeof(code));
    RegCloseKey(key);
    return result;
}

DWORD CountedCallsIn(const std::wstring& faultsKeyPath, const wchar_t* call)
{
    DWORD calls = 0, bytes = sizeof(calls);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, faultsKeyPath.c_str(),
                     (std::wstring(call) + L"@calls").c_str(), RRF_RT_REG_BINARY, nullptr, &calls,
                     &bytes) != ERROR_SUCCESS)
        return 0;
    return calls;
}

LONG SetTestbedNthCallFault(const wchar_t* call, int nth, DWORD code)
{
    return SetNthCallFaultIn(FaultsKeyPath(), call, nth, code);
}

DWORD CountedTestbedCalls(const wchar_t* call)
{
    return CountedCallsIn(FaultsKeyPath(), call);
}

LONG ReadRegistryString(HKEY key, const wchar_t* name, std::wstring* value)
{
    DWORD type = 0, bytes = 0;
    LONG result = RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes);
    if (result != ERROR_SUCCESS)
        return result;
    if (type != REG_SZ)
        return ERROR_INVALID_DATA;
    std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
    result = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&text[0]), &bytes);
    if (result == ERROR_SUCCESS)
        value->assign(text.c_str());
    return result;
}

LONG WriteRegistryString(HKEY key, const wchar_t* name, const std::wstring& value)
{
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          (DWORD)((value.size() + 1) * sizeof(wchar_t)));
}
