#include "xp_testbed_state.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>

namespace {

const wchar_t kWzcInterfaces[] = L"SOFTWARE\\Microsoft\\WZCSVC\\Parameters\\Interfaces\\";
const wchar_t kEapolInterfaces[] = L"SOFTWARE\\Microsoft\\EAPOL\\Parameters\\Interfaces\\";
const wchar_t kServiceTiming[] = L"Software\\WlanprovTestbed\\Service";
const struct {
    const wchar_t* name;
    DWORD XpServiceTiming::*field;
} kTimingValues[] = {
    {L"StartPendingMs", &XpServiceTiming::startPendingMs},
    {L"StartWaitHint", &XpServiceTiming::startWaitHint},
    {L"StopPendingMs", &XpServiceTiming::stopPendingMs},
    {L"StopWaitHint", &XpServiceTiming::stopWaitHint},
};
const wchar_t kStaticPrefix[] = L"Static#";
const size_t kEapolParamsSize = 52;
const size_t kSsidMax = 32;

std::wstring AdaptersKeyPath()
{
    return XpStateKeyPath() + L"\\Adapters";
}

std::wstring AdapterKeyPath(int index)
{
    return AdaptersKeyPath() + L"\\" + std::to_wstring(index);
}

std::wstring HexText(const uint8_t* bytes, size_t length)
{
    std::wstring text;
    wchar_t pair[3];
    for (size_t i = 0; i < length; ++i) {
        swprintf(pair, 3, L"%02X", bytes[i]);
        text += pair;
    }
    return text;
}

bool ParseHex(const std::wstring& text, std::vector<uint8_t>* bytes)
{
    if (text.size() % 2 != 0)
        return false;
    bytes->clear();
    for (size_t i = 0; i < text.size(); i += 2) {
        if (!iswxdigit(text[i]) || !iswxdigit(text[i + 1]))
            return false;
        bytes->push_back((uint8_t)wcstoul(text.substr(i, 2).c_str(), nullptr, 16));
    }
    return true;
}

// State names differ only in case share a registry key, so they share adapters too.
uint32_t NameHash(const std::wstring& name)
{
    uint32_t hash = 2166136261u;
    for (wchar_t c : name) {
        hash ^= (uint32_t)towupper(c);
        hash *= 16777619u;
    }
    return hash;
}

LONG CreateKey(const std::wstring& path, HKEY* key)
{
    return RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                           key, nullptr);
}

LONG DeleteTree(const std::wstring& path)
{
    LONG result = RegDeleteTreeW(HKEY_LOCAL_MACHINE, path.c_str());
    return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
}

// An empty key: whatever it held is gone.
LONG MakeEmptyKey(const std::wstring& path)
{
    LONG result = DeleteTree(path);
    HKEY key = nullptr;
    if (result == ERROR_SUCCESS)
        result = CreateKey(path, &key);
    if (key)
        RegCloseKey(key);
    return result;
}

LONG ReadBinaryValues(const std::wstring& path,
                      std::vector<std::pair<std::wstring, std::vector<uint8_t>>>* values)
{
    values->clear();
    HKEY key = nullptr;
    LONG result = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key);
    if (result != ERROR_SUCCESS)
        return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
    DWORD nameMax = 0, dataMax = 0;
    result = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                              &nameMax, &dataMax, nullptr, nullptr);
    std::vector<wchar_t> name(nameMax + 1);
    std::vector<uint8_t> data(dataMax + 1);
    for (DWORD i = 0; result == ERROR_SUCCESS; ++i) {
        DWORD nameLength = (DWORD)name.size(), dataLength = (DWORD)data.size(), type = 0;
        LONG next = RegEnumValueW(key, i, name.data(), &nameLength, nullptr, &type, data.data(),
                                  &dataLength);
        if (next == ERROR_NO_MORE_ITEMS)
            break;
        if (next != ERROR_SUCCESS)
            result = next;
        else if (type == REG_BINARY)
            values->push_back({std::wstring(name.data(), nameLength),
                               std::vector<uint8_t>(data.begin(), data.begin() + dataLength)});
    }
    RegCloseKey(key);
    return result;
}

LONG WriteBinaryValue(const std::wstring& path, const std::wstring& name,
                      const std::vector<uint8_t>& data)
{
    HKEY key = nullptr;
    LONG result = CreateKey(path, &key);
    if (result != ERROR_SUCCESS)
        return result;
    result = RegSetValueExW(key, name.c_str(), 0, REG_BINARY, data.data(), (DWORD)data.size());
    RegCloseKey(key);
    return result;
}

// The index of a "Static#NNNN" name (four decimal digits), or -1.
int StaticIndex(const std::wstring& name)
{
    const size_t prefix = wcslen(kStaticPrefix);
    if (name.size() != prefix + 4 || name.compare(0, prefix, kStaticPrefix) != 0)
        return -1;
    for (size_t i = prefix; i < name.size(); ++i)
        if (name[i] < L'0' || name[i] > L'9')
            return -1;
    return _wtoi(name.c_str() + prefix);
}

LONG ReadAdapter(int index, XpAdapter* adapter)
{
    HKEY key = nullptr;
    LONG result = RegOpenKeyExW(HKEY_LOCAL_MACHINE, AdapterKeyPath(index).c_str(), 0, KEY_READ,
                                &key);
    if (result != ERROR_SUCCESS)
        return result;
    result = ReadRegistryString(key, L"Guid", &adapter->guid);
    if (result == ERROR_SUCCESS)
        result = ReadRegistryString(key, L"Description", &adapter->description);
    DWORD type = 0, bytes = sizeof(adapter->capabilities);
    if (result == ERROR_SUCCESS)
        result = RegQueryValueExW(key, L"Capabilities", nullptr, &type,
                                  reinterpret_cast<BYTE*>(&adapter->capabilities), &bytes);
    if (result == ERROR_SUCCESS && type != REG_DWORD)
        result = ERROR_INVALID_DATA;
    RegCloseKey(key);
    return result;
}

// The adapters as stored, without creating a default machine.
std::vector<XpAdapter> StoredAdapters()
{
    std::vector<XpAdapter> adapters;
    XpAdapter adapter;
    for (int i = 0; ReadAdapter(i, &adapter) == ERROR_SUCCESS; ++i)
        adapters.push_back(adapter);
    return adapters;
}

LONG WriteAdapter(int index, const XpAdapter& adapter)
{
    HKEY key = nullptr;
    LONG result = CreateKey(AdapterKeyPath(index), &key);
    if (result != ERROR_SUCCESS)
        return result;
    result = WriteRegistryString(key, L"Guid", adapter.guid);
    if (result == ERROR_SUCCESS)
        result = WriteRegistryString(key, L"Description", adapter.description);
    if (result == ERROR_SUCCESS)
        result = RegSetValueExW(key, L"Capabilities", 0, REG_DWORD,
                                reinterpret_cast<const BYTE*>(&adapter.capabilities),
                                sizeof(adapter.capabilities));
    RegCloseKey(key);
    return result;
}

LONG EnsureXpState()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, AdaptersKeyPath().c_str(), 0, KEY_READ, &key) ==
        ERROR_SUCCESS) {
        RegCloseKey(key);
        return ERROR_SUCCESS;
    }
    return ResetXpState(DefaultXpAdapters());
}

std::wstring SsidName(const uint8_t* ssid, uint32_t ssidLength)
{
    return L"Ssid:" + HexText(ssid, ssidLength);
}

std::wstring FaultsKeyPath()
{
    return XpStateKeyPath() + L"\\Faults";
}

} // namespace

std::wstring XpStateKeyPath()
{
    return TestbedStateKeyPath() + L"\\Xp";
}

std::vector<XpAdapter> XpAdaptersFor(int count)
{
    uint32_t hash = NameHash(TestbedStateName());
    std::vector<XpAdapter> adapters;
    for (int i = 0; i < count; ++i) {
        wchar_t guid[40];
        swprintf(guid, 40, L"{%08X-0C5A-4E11-8A2F-%012X}", hash, i + 1);
        adapters.push_back({guid, L"Emulated 802.11 Wireless Adapter #" + std::to_wstring(i + 1),
                            kXpDefaultCapabilities});
    }
    return adapters;
}

std::vector<XpAdapter> DefaultXpAdapters()
{
    return XpAdaptersFor(2);
}

std::wstring WzcInterfaceKeyPath(const wchar_t* guidText)
{
    return kWzcInterfaces + std::wstring(guidText);
}

std::wstring EapolInterfaceKeyPath(const wchar_t* guidText)
{
    return kEapolInterfaces + std::wstring(guidText);
}

// An adapter whose GUID text is empty or longer than a key name (as a broken driver may report)
// has no service keys: its path would name the parent key itself, or none.
namespace {
bool HasServiceKeys(const XpAdapter& adapter)
{
    return !adapter.guid.empty() && adapter.guid.size() <= 255;
}
} // namespace

LONG ResetXpState(const std::vector<XpAdapter>& adapters)
{
    LONG result = ERROR_SUCCESS;
    for (const XpAdapter& old : StoredAdapters()) {
        if (!HasServiceKeys(old))
            continue;
        if (result == ERROR_SUCCESS)
            result = DeleteTree(WzcInterfaceKeyPath(old.guid.c_str()));
        if (result == ERROR_SUCCESS)
            result = DeleteTree(EapolInterfaceKeyPath(old.guid.c_str()));
    }
    if (result == ERROR_SUCCESS)
        result = DeleteTree(XpStateKeyPath());
    if (result == ERROR_SUCCESS)
        result = MakeEmptyKey(AdaptersKeyPath());
    for (size_t i = 0; i < adapters.size() && result == ERROR_SUCCESS; ++i) {
        result = WriteAdapter((int)i, adapters[i]);
        if (!HasServiceKeys(adapters[i]))
            continue;
        if (result == ERROR_SUCCESS)
            result = MakeEmptyKey(WzcInterfaceKeyPath(adapters[i].guid.c_str()));
        if (result == ERROR_SUCCESS)
            result = MakeEmptyKey(EapolInterfaceKeyPath(adapters[i].guid.c_str()));
    }
    return result;
}

LONG ReadXpAdapters(std::vector<XpAdapter>* adapters)
{
    LONG result = EnsureXpState();
    *adapters = result == ERROR_SUCCESS ? StoredAdapters() : std::vector<XpAdapter>();
    return result;
}

LONG WriteXpCapabilities(int adapterIndex, DWORD capabilities)
{
    HKEY key = nullptr;
    LONG result = RegOpenKeyExW(HKEY_LOCAL_MACHINE, AdapterKeyPath(adapterIndex).c_str(), 0,
                                KEY_SET_VALUE, &key);
    if (result != ERROR_SUCCESS)
        return result;
    result = RegSetValueExW(key, L"Capabilities", 0, REG_DWORD,
                            reinterpret_cast<const BYTE*>(&capabilities), sizeof(capabilities));
    RegCloseKey(key);
    return result;
}

int FindXpAdapter(const wchar_t* guidText)
{
    std::vector<XpAdapter> adapters;
    if (!guidText || ReadXpAdapters(&adapters) != ERROR_SUCCESS)
        return -1;
    for (size_t i = 0; i < adapters.size(); ++i)
        if (_wcsicmp(adapters[i].guid.c_str(), guidText) == 0)
            return (int)i;
    return -1;
}

LONG ReadPreferredValues(const wchar_t* guidText,
                         std::vector<std::pair<std::wstring, std::vector<uint8_t>>>* values)
{
    LONG result = ReadBinaryValues(WzcInterfaceKeyPath(guidText), values);
    values->erase(std::remove_if(values->begin(), values->end(),
                                 [](const auto& value) { return StaticIndex(value.first) < 0; }),
                  values->end());
    std::sort(values->begin(), values->end(), [](const auto& a, const auto& b) {
        return StaticIndex(a.first) < StaticIndex(b.first);
    });
    return result;
}

LONG ReadPreferredList(const wchar_t* guidText, std::vector<std::vector<uint8_t>>* records)
{
    records->clear();
    std::vector<std::pair<std::wstring, std::vector<uint8_t>>> values;
    LONG result = ReadPreferredValues(guidText, &values);
    for (auto& value : values)
        records->push_back(std::move(value.second));
    return result;
}

LONG WritePreferredList(const wchar_t* guidText, const std::vector<std::vector<uint8_t>>& records)
{
    std::vector<std::pair<std::wstring, std::vector<uint8_t>>> values;
    LONG result = ReadBinaryValues(WzcInterfaceKeyPath(guidText), &values);
    HKEY key = nullptr;
    if (result == ERROR_SUCCESS)
        result = CreateKey(WzcInterfaceKeyPath(guidText), &key);
    if (result != ERROR_SUCCESS)
        return result;
    for (const auto& value : values)
        if (result == ERROR_SUCCESS && StaticIndex(value.first) >= 0)
            result = RegDeleteValueW(key, value.first.c_str());
    for (size_t i = 0; i < records.size() && result == ERROR_SUCCESS; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"%ls%04u", kStaticPrefix, (unsigned)i);
        result = RegSetValueExW(key, name, 0, REG_BINARY, records[i].data(),
                                (DWORD)records[i].size());
    }
    RegCloseKey(key);
    return result;
}

LONG ReadEapolValues(const wchar_t* guidText,
                     std::vector<std::pair<std::wstring, std::vector<uint8_t>>>* values)
{
    return ReadBinaryValues(EapolInterfaceKeyPath(guidText), values);
}

LONG WriteEapolValue(const wchar_t* guidText, const wchar_t* name, const std::vector<uint8_t>& data)
{
    return WriteBinaryValue(EapolInterfaceKeyPath(guidText), name, data);
}

LONG ReadXpEapolParams(int adapterIndex, const uint8_t* ssid, uint32_t ssidLength,
                       std::vector<uint8_t>* params)
{
    if (ssidLength > kSsidMax)
        return ERROR_INVALID_PARAMETER;
    HKEY key = nullptr;
    LONG result = RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                                (AdapterKeyPath(adapterIndex) + L"\\EapolParams").c_str(), 0,
                                KEY_READ, &key);
    if (result != ERROR_SUCCESS)
        return result;
    params->assign(kEapolParamsSize, 0);
    DWORD type = 0, bytes = (DWORD)kEapolParamsSize;
    result = RegQueryValueExW(key, SsidName(ssid, ssidLength).c_str(), nullptr, &type,
                              params->data(), &bytes);
    if (result == ERROR_SUCCESS && (type != REG_BINARY || bytes != kEapolParamsSize))
        result = ERROR_INVALID_DATA;
    RegCloseKey(key);
    return result;
}

LONG WriteXpEapolParams(int adapterIndex, const std::vector<uint8_t>& params)
{
    uint32_t ssidLength = 0;
    if (params.size() != kEapolParamsSize)
        return ERROR_INVALID_PARAMETER;
    memcpy(&ssidLength, &params[16], 4);
    if (ssidLength > kSsidMax)
        return ERROR_INVALID_PARAMETER;
    return WriteBinaryValue(AdapterKeyPath(adapterIndex) + L"\\EapolParams",
                            SsidName(&params[20], ssidLength), params);
}

LONG ReadAllXpEapolParams(int adapterIndex, std::vector<std::vector<uint8_t>>* params)
{
    params->clear();
    std::vector<std::pair<std::wstring, std::vector<uint8_t>>> values;
    LONG result = ReadBinaryValues(AdapterKeyPath(adapterIndex) + L"\\EapolParams", &values);
    for (auto& value : values)
        params->push_back(std::move(value.second));
    return result;
}

LONG WriteXpCustomAuthData(int adapterIndex, const XpCustomAuthData& entry)
{
    if (entry.ssid.size() > kSsidMax)
        return ERROR_INVALID_PARAMETER;
    return WriteBinaryValue(AdapterKeyPath(adapterIndex) + L"\\CustomAuthData",
                            std::to_wstring(entry.eapType) + L":" +
                                HexText(entry.ssid.data(), entry.ssid.size()),
                            entry.data);
}

LONG ReadXpCustomAuthData(int adapterIndex, std::vector<XpCustomAuthData>* entries)
{
    entries->clear();
    std::vector<std::pair<std::wstring, std::vector<uint8_t>>> values;
    LONG result = ReadBinaryValues(AdapterKeyPath(adapterIndex) + L"\\CustomAuthData", &values);
    for (auto& value : values) {
        size_t colon = value.first.find(L':');
        XpCustomAuthData entry = {};
        if (colon == std::wstring::npos || !ParseHex(value.first.substr(colon + 1), &entry.ssid))
            continue;
        entry.eapType = wcstoul(value.first.c_str(), nullptr, 10);
        entry.data = std::move(value.second);
        entries->push_back(std::move(entry));
    }
    return result;
}

LONG SetXpFault(const wchar_t* call, int adapterIndex, DWORD code)
{
    return SetFaultIn(FaultsKeyPath(), call, adapterIndex, code);
}

LONG ClearXpFaults()
{
    return ClearFaultsIn(FaultsKeyPath());
}

LONG ReadXpFaults(std::vector<TestbedFault>* faults)
{
    return ReadFaultsIn(FaultsKeyPath(), faults);
}

DWORD XpFaultFor(const wchar_t* call, int adapterIndex)
{
    return FaultForIn(FaultsKeyPath(), call, adapterIndex);
}

LONG SetXpNthCallFault(const wchar_t* call, int nth, DWORD code)
{
    return SetNthCallFaultIn(FaultsKeyPath(), call, nth, code);
}

DWORD CountedXpCalls(const wchar_t* call)
{
    return CountedCallsIn(FaultsKeyPath(), call);
}

LONG ReadXpServiceTiming(XpServiceTiming* timing)
{
    *timing = {};
    HKEY key = nullptr;
    LONG result = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kServiceTiming, 0, KEY_READ, &key);
    if (result != ERROR_SUCCESS)
        return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
    for (const auto& entry : kTimingValues) {
        DWORD type = 0, value = 0, bytes = sizeof(value);
        if (RegQueryValueExW(key, entry.name, nullptr, &type, reinterpret_cast<BYTE*>(&value),
                             &bytes) == ERROR_SUCCESS &&
            type == REG_DWORD)
            timing->*entry.field = value;
    }
    RegCloseKey(key);
    return ERROR_SUCCESS;
}

LONG WriteXpServiceTiming(const XpServiceTiming& timing)
{
    if (!(timing.startPendingMs | timing.startWaitHint | timing.stopPendingMs |
          timing.stopWaitHint))
        return DeleteTree(kServiceTiming);
    HKEY key = nullptr;
    LONG result = CreateKey(kServiceTiming, &key);
    for (const auto& entry : kTimingValues)
        if (result == ERROR_SUCCESS)
            result = RegSetValueExW(key, entry.name, 0, REG_DWORD,
                                    reinterpret_cast<const BYTE*>(&(timing.*entry.field)),
                                    sizeof(DWORD));
    if (key)
        RegCloseKey(key);
    return result;
}
