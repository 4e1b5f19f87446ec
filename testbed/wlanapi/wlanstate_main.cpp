// wlanstate: shows or sets the emulated machine's wireless state (scripts/machine-state).
//   wlanstate [show]                    interfaces, their profiles (read through the emulated
//                                       WLAN API, documents indented) and injected faults
//   wlanstate reset [COUNT]             a fresh machine: the default two interfaces, or COUNT
//   wlanstate fault CALL [INDEX] CODE   CALL (on interface INDEX) fails with CODE; 0 clears
#include <windows.h>
#include <wlanapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "testbed_state.h"
#include "xml_tree.h"

namespace {

std::wstring GuidText(const GUID& guid)
{
    wchar_t text[64];
    StringFromGUID2(guid, text, 64);
    return text;
}

void ShowProfiles(HANDLE handle, const GUID& guid)
{
    PWLAN_PROFILE_INFO_LIST list = nullptr;
    DWORD result = WlanGetProfileList(handle, &guid, nullptr, &list);
    if (result != 0) {
        wprintf(L"  profiles cannot be listed (error %lu)\n", result);
        return;
    }
    if (list->dwNumberOfItems == 0)
        wprintf(L"  no profile\n");
    for (DWORD i = 0; i < list->dwNumberOfItems; ++i) {
        const wchar_t* name = list->ProfileInfo[i].strProfileName;
        LPWSTR document = nullptr;
        result = WlanGetProfile(handle, &guid, name, nullptr, &document, nullptr, nullptr);
        wprintf(L"  profile \"%ls\" (all users)\n", name);
        if (result != 0) {
            wprintf(L"    cannot be read (error %lu)\n", result);
            continue;
        }
        XmlElement root;
        std::wstring text = ParseXmlDocument(document, &root, nullptr) ? FormatXmlTree(root) : document;
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find(L'\n', start);
            if (end == std::wstring::npos)
                end = text.size();
            wprintf(L"    %ls\n", text.substr(start, end - start).c_str());
            start = end + 1;
        }
        WlanFreeMemory(document);
    }
    WlanFreeMemory(list);
}

int Show()
{
    wprintf(L"Emulated wireless machine \"%ls\" (HKLM\\%ls)\n", TestbedStateName().c_str(),
            TestbedStateKeyPath().c_str());
    std::vector<TestbedFault> faults;
    ReadTestbedFaults(&faults);
    for (const TestbedFault& fault : faults)
        wprintf(L"injected fault: %ls fails with %lu\n", fault.call.c_str(), fault.code);
    // Faults would get in the way of reading the state through the API.
    if (!faults.empty()) {
        wprintf(L"(clear them with: wlanstate fault CALL [INDEX] 0)\n");
        return 0;
    }
    HANDLE handle = nullptr;
    DWORD version = 0;
    DWORD result = WlanOpenHandle(2, nullptr, &version, &handle);
    if (result != 0) {
        wprintf(L"WlanOpenHandle failed with %lu\n", result);
        return 1;
    }
    PWLAN_INTERFACE_INFO_LIST interfaces = nullptr;
    result = WlanEnumInterfaces(handle, nullptr, &interfaces);
    if (result == 0) {
        wprintf(L"%lu wireless interface(s)\n", interfaces->dwNumberOfItems);
        for (DWORD i = 0; i < interfaces->dwNumberOfItems; ++i) {
            const WLAN_INTERFACE_INFO& info = interfaces->InterfaceInfo[i];
            wprintf(L"interface %lu: %ls %ls\n", i, GuidText(info.InterfaceGuid).c_str(),
                    info.strInterfaceDescription);
            ShowProfiles(handle, info.InterfaceGuid);
        }
        WlanFreeMemory(interfaces);
    } else {
        wprintf(L"WlanEnumInterfaces failed with %lu\n", result);
    }
    WlanCloseHandle(handle, nullptr);
    return result == 0 ? 0 : 1;
}

int Reset(int count)
{
    std::vector<TestbedInterface> interfaces = DefaultTestbedInterfaces();
    if (count >= 0) {
        TestbedInterface model = interfaces[0];
        interfaces.clear();
        for (int i = 0; i < count; ++i) {
            TestbedInterface entry = model;
            entry.guid.Data4[7] = (unsigned char)(i + 1);
            entry.description = L"Emulated 802.11 Wireless Adapter #" + std::to_wstring(i + 1);
            interfaces.push_back(entry);
        }
    }
    LONG result = ResetTestbedState(interfaces);
    if (result != 0)
        wprintf(L"the state cannot be written (error %ld)\n", result);
    return result == 0 ? 0 : 1;
}

int Usage()
{
    wprintf(L"usage: wlanstate [show] | reset [COUNT] | fault CALL [INDEX] CODE\n");
    return 2;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2 || wcscmp(argv[1], L"show") == 0)
        return argc <= 2 ? Show() : Usage();
    if (wcscmp(argv[1], L"reset") == 0 && argc <= 3) {
        int count = argc == 3 ? _wtoi(argv[2]) : -1;
        return count > 64 ? Usage() : Reset(count);
    }
    if (wcscmp(argv[1], L"fault") == 0 && (argc == 4 || argc == 5)) {
        int index = argc == 5 ? _wtoi(argv[3]) : -1;
        DWORD code = wcstoul(argv[argc - 1], nullptr, 10);
        return SetTestbedFault(argv[2], index, code) == 0 ? 0 : 1;
    }
    return Usage();
}
