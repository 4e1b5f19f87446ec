// xpstate: shows or sets the emulated XP machine's wireless state (scripts/machine-state on an
// XP platform), read from the registry where the emulated library and service keep it.
//   xpstate [show]                       the service, faults, adapters with their preferred
//                                        networks, EAPOL parameters, custom data, EAPOL values
//   xpstate reset [COUNT]                a fresh machine: the default two adapters, or COUNT
//   xpstate capabilities INDEX VALUE     adapter INDEX reports these capabilities (0x300 WPA2)
//   xpstate fault CALL [INDEX] CODE      CALL (for adapter INDEX) fails with CODE; 0 clears
//   xpstate service START_MS START_HINT STOP_MS STOP_HINT   the service's pending times and
//                                        wait hints in milliseconds (all 0: immediate)
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

#include "xp_testbed_state.h"

namespace {

DWORD Word(const std::vector<uint8_t>& bytes, size_t offset)
{
    DWORD value = 0;
    if (offset + 4 <= bytes.size())
        memcpy(&value, &bytes[offset], 4);
    return value;
}

// The SSID as text, bytes outside printable ASCII as \xNN.
std::wstring SsidText(const uint8_t* ssid, size_t length)
{
    std::wstring text = L"\"";
    for (size_t i = 0; i < length; ++i) {
        wchar_t escape[8];
        if (ssid[i] >= 0x20 && ssid[i] < 0x7f && ssid[i] != '\\' && ssid[i] != '"') {
            text += (wchar_t)ssid[i];
        } else {
            swprintf(escape, 8, L"\\x%02X", ssid[i]);
            text += escape;
        }
    }
    return text + L"\"";
}

// The SSID of a record with its length @16 and bytes @20 (the network record, EAPOL data).
std::wstring RecordSsid(const std::vector<uint8_t>& record)
{
    DWORD length = Word(record, 16);
    if (length > 32 || record.size() < 52)
        return L"(no SSID: length " + std::to_wstring(length) + L")";
    return SsidText(&record[20], length);
}

std::wstring Named(DWORD value, const wchar_t* const* names, DWORD count)
{
    if (value < count && names[value])
        return names[value] + std::wstring(L" (") + std::to_wstring(value) + L")";
    return std::to_wstring(value);
}

const wchar_t* const kAuthentication[] = {L"Open",   L"Shared",  L"AutoSwitch", L"WPA",
                                          L"WPAPSK", L"WPANone", L"WPA2",       L"WPA2PSK"};
const wchar_t* const kPrivacy[] = {L"WEP", L"None", nullptr, nullptr, L"TKIP", nullptr, L"AES"};

const wchar_t* const kServiceStates[] = {nullptr,          L"stopped", L"start pending",
                                         L"stop pending",  L"running", L"continue pending",
                                         L"pause pending", L"paused"};

void ShowService()
{
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE service = manager ? OpenServiceW(manager, L"WZCSVC", SERVICE_QUERY_STATUS) : nullptr;
    SERVICE_STATUS status = {};
    if (service && QueryServiceStatus(service, &status))
        wprintf(L"service WZCSVC: %ls\n", Named(status.dwCurrentState, kServiceStates, 8).c_str());
    else
        wprintf(L"service WZCSVC: cannot be queried (error %lu)\n", GetLastError());
    if (service)
        CloseServiceHandle(service);
    if (manager)
        CloseServiceHandle(manager);
    XpServiceTiming timing;
    if (ReadXpServiceTiming(&timing) == 0)
        wprintf(
            L"service timing: start pending %lu ms (hint %lu), stop pending %lu ms (hint %lu)\n",
            timing.startPendingMs, timing.startWaitHint, timing.stopPendingMs, timing.stopWaitHint);
}

void ShowAdapter(int index, const XpAdapter& adapter)
{
    const wchar_t* guid = adapter.guid.c_str();
    wprintf(L"adapter %d: %ls %ls, capabilities 0x%lX\n", index, guid, adapter.description.c_str(),
            adapter.capabilities);
    std::vector<std::pair<std::wstring, std::vector<uint8_t>>> values;
    ReadPreferredValues(guid, &values);
    if (values.empty())
        wprintf(L"  no preferred network\n");
    for (const auto& value : values) {
        const std::vector<uint8_t>& record = value.second;
        wprintf(L"  %ls: SSID %ls, authentication %ls, privacy %ls, key length %lu, flags 0x%lX",
                value.first.c_str(), RecordSsid(record).c_str(),
                Named(Word(record, 148), kAuthentication, 8).c_str(),
                Named(Word(record, 52), kPrivacy, 7).c_str(), Word(record, 112), Word(record, 4));
        wprintf(record.size() == 160 ? L"\n" : L" (%zu bytes, not 160)\n", record.size());
    }
    std::vector<std::vector<uint8_t>> params;
    ReadAllXpEapolParams(index, &params);
    for (const auto& entry : params)
        wprintf(L"  EAPOL parameters: SSID %ls, flags 0x%08lX, EAP type %lu\n",
                RecordSsid(entry).c_str(), Word(entry, 8), Word(entry, 12));
    std::vector<XpCustomAuthData> custom;
    ReadXpCustomAuthData(index, &custom);
    for (const auto& entry : custom)
        wprintf(L"  custom auth data: SSID %ls, EAP type %lu, %zu bytes\n",
                SsidText(entry.ssid.data(), entry.ssid.size()).c_str(), entry.eapType,
                entry.data.size());
    ReadEapolValues(guid, &values);
    for (const auto& value : values)
        wprintf(L"  EAPOL value \"%ls\": SSID %ls, EAP type %lu, %zu bytes\n", value.first.c_str(),
                RecordSsid(value.second).c_str(), Word(value.second, 12), value.second.size());
}

int Show()
{
    wprintf(L"Emulated XP wireless machine \"%ls\" (HKLM\\%ls)\n", TestbedStateName().c_str(),
            XpStateKeyPath().c_str());
    ShowService();
    std::vector<TestbedFault> faults;
    ReadXpFaults(&faults);
    for (const TestbedFault& fault : faults)
        wprintf(L"injected fault: %ls fails with %lu\n", fault.call.c_str(), fault.code);
    std::vector<XpAdapter> adapters;
    LONG result = ReadXpAdapters(&adapters);
    if (result != 0) {
        wprintf(L"the adapters cannot be read (error %ld)\n", result);
        return 1;
    }
    wprintf(L"%zu wireless adapter(s)\n", adapters.size());
    for (size_t i = 0; i < adapters.size(); ++i)
        ShowAdapter((int)i, adapters[i]);
    return 0;
}

int Done(LONG result)
{
    if (result != 0)
        wprintf(L"the state cannot be written (error %ld)\n", result);
    return result == 0 ? 0 : 1;
}

int Usage()
{
    wprintf(L"usage: xpstate [show] | reset [COUNT] | capabilities INDEX VALUE | "
            L"fault CALL [INDEX] CODE | service START_MS START_HINT STOP_MS STOP_HINT\n");
    return 2;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2 || wcscmp(argv[1], L"show") == 0)
        return argc <= 2 ? Show() : Usage();
    if (wcscmp(argv[1], L"reset") == 0 && argc <= 3) {
        int count = argc == 3 ? _wtoi(argv[2]) : 2;
        return count < 0 || count > 64 ? Usage() : Done(ResetXpState(XpAdaptersFor(count)));
    }
    if (wcscmp(argv[1], L"capabilities") == 0 && argc == 4)
        return Done(WriteXpCapabilities(_wtoi(argv[2]), wcstoul(argv[3], nullptr, 0)));
    if (wcscmp(argv[1], L"fault") == 0 && (argc == 4 || argc == 5)) {
        int index = argc == 5 ? _wtoi(argv[3]) : -1;
        return Done(SetXpFault(argv[2], index, wcstoul(argv[argc - 1], nullptr, 10)));
    }
    if (wcscmp(argv[1], L"service") == 0 && argc == 6)
        return Done(
            WriteXpServiceTiming({wcstoul(argv[2], nullptr, 10), wcstoul(argv[3], nullptr, 10),
                                  wcstoul(argv[4], nullptr, 10), wcstoul(argv[5], nullptr, 10)}));
    return Usage();
}
