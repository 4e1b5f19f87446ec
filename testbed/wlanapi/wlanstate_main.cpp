// wlanstate: shows or sets the emulated machine's wireless state (scripts/machine-state).
//   wlanstate [show]                    injected faults, interfaces and their profiles
//                                       (the SSID bytes each connects to, documents indented),
//                                       read from the state itself so that faults never hide it
//   wlanstate reset [COUNT]             a fresh machine: the default two interfaces, or COUNT
//   wlanstate fault CALL [INDEX] CODE   CALL (on interface INDEX) fails with CODE; 0 clears
// Output is UTF-8 (or the console's own text), so every character of a document shows.
#include <windows.h>

#include <cwchar>
#include <string>

#include "ssid_bytes.h"
#include "testbed_state.h"
#include "xml_tree.h"

namespace {

// The calls of the emulated WLAN API that look up an injected fault.
const wchar_t* const kFaultableCalls[] = {
    L"WlanOpenHandle",    L"WlanCloseHandle",    L"WlanEnumInterfaces", L"WlanSetProfile",
    L"WlanDeleteProfile", L"WlanGetProfileList", L"WlanGetProfile",     L"WlanReasonCodeToString",
};

enum { MAX_INTERFACES = 64 };

void Print(const std::wstring& text)
{
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0, written = 0;
    if (GetConsoleMode(out, &mode)) {
        WriteConsoleW(out, text.data(), (DWORD)text.size(), &written, nullptr);
        return;
    }
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), nullptr, 0, nullptr,
                                    nullptr);
    if (bytes <= 0)
        return;
    std::string utf8(bytes, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), &utf8[0], bytes, nullptr,
                        nullptr);
    WriteFile(out, utf8.data(), (DWORD)utf8.size(), &written, nullptr);
}

std::wstring GuidText(const GUID& guid)
{
    wchar_t text[64];
    StringFromGUID2(guid, text, 64);
    return text;
}

// Decimal digits only, within a DWORD: "5x", "-1", "" and "0x10" are refused.
bool ParseNumber(const wchar_t* text, DWORD* value)
{
    unsigned long long number = 0;
    if (!*text)
        return false;
    for (const wchar_t* c = text; *c; ++c) {
        if (*c < L'0' || *c > L'9')
            return false;
        number = number * 10 + (*c - L'0');
        if (number > 0xFFFFFFFFull)
            return false;
    }
    *value = (DWORD)number;
    return true;
}

int Refuse(const std::wstring& why)
{
    Print(L"wlanstate: " + why + L"\n");
    return 2;
}

void ShowProfiles(int index)
{
    std::vector<TestbedProfile> profiles;
    LONG result = ReadTestbedProfiles(index, &profiles);
    if (result != 0) {
        Print(L"  profiles cannot be read (error " + std::to_wstring(result) + L")\n");
        return;
    }
    if (profiles.empty())
        Print(L"  no profile\n");
    for (const TestbedProfile& profile : profiles) {
        std::wstring ssid = profile.ssid.empty() ? L"" : L", SSID " + SsidText(profile.ssid);
        Print(L"  profile \"" + profile.name + L"\" (all users)" + ssid + L"\n");
        XmlElement root;
        std::wstring text = ParseXmlDocument(profile.document, &root) ? FormatXmlTree(root)
                                                                      : profile.document;
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find(L'\n', start);
            if (end == std::wstring::npos)
                end = text.size();
            Print(L"    " + text.substr(start, end - start) + L"\n");
            start = end + 1;
        }
    }
}

int Show()
{
    Print(L"Emulated wireless machine \"" + TestbedStateName() + L"\" (HKLM\\" +
          TestbedStateKeyPath() + L")\n");
    std::vector<TestbedFault> faults;
    ReadTestbedFaults(&faults);
    for (const TestbedFault& fault : faults)
        Print(L"injected fault: " + fault.call + L" fails with " + std::to_wstring(fault.code) +
              L"\n");
    std::vector<TestbedInterface> interfaces;
    LONG result = ReadTestbedInterfaces(&interfaces);
    if (result != 0) {
        Print(L"the interfaces cannot be read (error " + std::to_wstring(result) + L")\n");
        return 1;
    }
    Print(std::to_wstring(interfaces.size()) + L" wireless interface(s)\n");
    for (size_t i = 0; i < interfaces.size(); ++i) {
        Print(L"interface " + std::to_wstring(i) + L": " + GuidText(interfaces[i].guid) + L" " +
              interfaces[i].description + L"\n");
        ShowProfiles((int)i);
    }
    return 0;
}

int Reset(const wchar_t* countText)
{
    std::vector<TestbedInterface> interfaces = DefaultTestbedInterfaces();
    DWORD count = 0;
    if (countText) {
        if (!ParseNumber(countText, &count) || count > MAX_INTERFACES)
            return Refuse(L"the interface count must be a number from 0 to " +
                          std::to_wstring(MAX_INTERFACES) + L", not \"" + countText + L"\"");
        TestbedInterface model = interfaces[0];
        interfaces.clear();
        for (DWORD i = 0; i < count; ++i) {
            TestbedInterface entry = model;
            entry.guid.Data4[7] = (unsigned char)(i + 1);
            entry.description = L"Emulated 802.11 Wireless Adapter #" + std::to_wstring(i + 1);
            interfaces.push_back(entry);
        }
    }
    LONG result = ResetTestbedState(interfaces);
    if (result != 0)
        Print(L"the state cannot be written (error " + std::to_wstring(result) + L")\n");
    return result == 0 ? 0 : 1;
}

int Fault(const wchar_t* call, const wchar_t* indexText, const wchar_t* codeText)
{
    bool known = false;
    for (const wchar_t* name : kFaultableCalls)
        known = known || wcscmp(name, call) == 0;
    if (!known)
        return Refuse(std::wstring(L"no emulated WLAN API call is named \"") + call + L"\"");
    DWORD code = 0, index = 0;
    if (!ParseNumber(codeText, &code))
        return Refuse(std::wstring(L"the code must be a decimal number, not \"") + codeText +
                      L"\"");
    if (indexText) {
        std::vector<TestbedInterface> interfaces;
        LONG result = ReadTestbedInterfaces(&interfaces);
        if (result != 0)
            return Refuse(L"the interfaces cannot be read (error " + std::to_wstring(result) +
                          L")");
        if (!ParseNumber(indexText, &index) || index >= interfaces.size())
            return Refuse(std::wstring(L"no interface has the index \"") + indexText + L"\" (" +
                          std::to_wstring(interfaces.size()) + L" interface(s))");
    }
    return SetTestbedFault(call, indexText ? (int)index : -1, code) == 0 ? 0 : 1;
}

int Usage()
{
    Print(L"usage: wlanstate [show] | reset [COUNT] | fault CALL [INDEX] CODE\n");
    return 2;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2 || wcscmp(argv[1], L"show") == 0)
        return argc <= 2 ? Show() : Usage();
    if (wcscmp(argv[1], L"reset") == 0 && argc <= 3)
        return Reset(argc == 3 ? argv[2] : nullptr);
    if (wcscmp(argv[1], L"fault") == 0 && (argc == 4 || argc == 5))
        return Fault(argv[2], argc == 5 ? argv[3] : nullptr, argv[argc - 1]);
    return Usage();
}
