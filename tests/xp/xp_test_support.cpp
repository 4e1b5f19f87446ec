#include "xp_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <regex>
#include <sstream>

#include "fault_sweep.h"
#include "handler_run.h"
#include "test_support.h"
#include "trusted_root.h"

void UseXpMachine(const wchar_t* stateName, int count)
{
    SetEnvironmentVariableW(L"WLANPROV_TESTBED_STATE", stateName);
    ASSERT_EQ(0, ResetXpState(XpAdaptersFor(count)));
}

std::wstring Guid(int adapter)
{
    std::vector<XpAdapter> adapters;
    EXPECT_EQ(0, ReadXpAdapters(&adapters));
    return adapter < (int)adapters.size() ? adapters[adapter].guid : L"";
}

std::vector<std::string> StoredSsids(int adapter)
{
    std::vector<Bytes> records;
    EXPECT_EQ(0, ReadPreferredList(Guid(adapter).c_str(), &records));
    std::vector<std::string> ssids;
    for (const Bytes& r : records)
        ssids.push_back(std::string(r.begin() + 20, r.begin() + 20 + std::min<int>(r[16], 32)));
    return ssids;
}

Bytes EapolValue(int adapter, const wchar_t* name)
{
    std::vector<std::pair<std::wstring, Bytes>> values;
    EXPECT_EQ(0, ReadEapolValues(Guid(adapter).c_str(), &values));
    for (const auto& value : values)
        if (value.first == name)
            return value.second;
    return Bytes();
}

namespace {

Bytes Named(size_t size, const std::string& ssid)
{
    Bytes record(size, 0);
    record[16] = (uint8_t)ssid.size();
    std::copy(ssid.begin(), ssid.end(), record.begin() + 20);
    return record;
}

} // namespace

Bytes NetworkRecord(const std::string& ssid)
{
    Bytes record = Named(160, ssid);
    record[0] = 160;
    record[96] = 1; // infrastructure
    return record;
}

Bytes EapolHeader(const std::string& ssid, uint32_t eapType)
{
    Bytes header = Named(52, ssid);
    header[0] = 5;
    header[11] = 0x80;
    header[12] = (uint8_t)eapType;
    return header;
}

Bytes Entry(EapolLayout layout, const std::string& ssid, EapRecordInput record, bool machine,
            bool guest)
{
    EapolEntryInput input = {
        5, layout, machine, guest, (const uint8_t*)ssid.data(), (uint32_t)ssid.size(), record};
    uint8_t* entry = nullptr;
    uint32_t size = 0;
    EXPECT_EQ(0u, BuildEapolEntry(&input, &entry, &size));
    Bytes bytes(entry, entry + size);
    free(entry);
    return bytes;
}

std::string Normalised(const std::string& output)
{
    static const std::regex lastError("(interfaces key: |CoInitialize FAILED -?[0-9]+, )[0-9]+");
    std::string text = std::regex_replace(output, lastError, "$1#");
    for (int i = 0; i < 5; ++i) {
        std::string guid = WideToUtf8(Guid(i)), mark = "{" + std::to_string(i) + "}";
        for (size_t at; !guid.empty() && (at = text.find(guid)) != std::string::npos;)
            text.replace(at, guid.size(), mark);
    }
    return text;
}

std::vector<std::string> Options(const std::string& text)
{
    static const std::map<char, std::string> names = {{'S', "SSID"},
                                                      {'A', "Authentication"},
                                                      {'E', "Encryption"},
                                                      {'K', "NetworkKey"},
                                                      {'I', "KeyIndex"},
                                                      {'P', "KeyProvidedAutomatically"},
                                                      {'X', "IEEE8021xEnabled"},
                                                      {'T', "EAPType"},
                                                      {'M', "MACHINE_AUTH"},
                                                      {'G', "GUEST_AUTH"},
                                                      {'N', "InnerAuthentication"},
                                                      {'L', "UseWindowsLogonInfo"},
                                                      {'F', "EnableFastReconnect"},
                                                      {'V', "ValidateServerCert"},
                                                      {'C', "TrustRootCA"},
                                                      {'D', "DebugLog"},
                                                      {'W', "Wrong"}};
    std::istringstream in(text);
    std::vector<std::string> options;
    for (std::string word; in >> word;)
        options.push_back("/" + names.at(word[0]) + ":" + word.substr(2));
    return options;
}

std::string Lines(const std::vector<std::string>& texts, const char* name)
{
    std::string lines;
    for (const std::string& text : texts)
        lines += std::string(name) + " :: " + text + "\n";
    return lines;
}

Platform::Platform(const wchar_t* name)
{
    SetDllDirectoryW((MachineDir() + L"\\platforms\\" + name).c_str());
    library = LoadLibraryW(L"wzcsapi.dll");
}

Platform::~Platform()
{
    auto live = (DWORD(WINAPI*)())(void*)GetProcAddress(library, "TestbedLiveBlocks");
    EXPECT_EQ(0u, live ? live() : 1u);
    FreeLibrary(library);
    SetDllDirectoryW(nullptr);
}

namespace {

const std::vector<std::wstring> kXpCalls = {L"WZCEnumInterfaces",
                                            L"WZCQueryInterface",
                                            L"WZCSetInterface",
                                            L"WZCRefreshInterface",
                                            L"WZCEapolGetInterfaceParams",
                                            L"WZCEapolSetInterfaceParams",
                                            L"WZCEapolSetCustomAuthData",
                                            L"WZCEapolGetCustomAuthData",
                                            L"WZCEapolReAuthenticate",
                                            L"WZCGetEapUserInfo",
                                            L"WZCQueryContext",
                                            L"CreateProfile"};

} // namespace

void XpSweep(HMODULE library, const char* handler, const std::vector<XpSweepRow>& rows,
             const std::function<size_t(int adapter)>& stored, const std::function<void()>& prepare,
             const std::function<HandlerRun()>& run, const std::vector<std::wstring>& importCalls)
{
    SweepFaults faults(SetXpNthCallFault, CountedXpCalls, ClearXpFaults);
    std::vector<std::wstring> calls = kXpCalls;
    calls.insert(calls.end(), importCalls.begin(), importCalls.end());
    auto liveBlocks = (DWORD(WINAPI*)())(void*)GetProcAddress(library, "TestbedLiveBlocks");
    ASSERT_NE(nullptr, liveBlocks);
    prepare();
    std::vector<SweepPoint> points = faults.Points(calls, [&] { run(); });
    ASSERT_TRUE(NamesEveryPosition(points, rows));
    // What a run without fault may leave on the heap (nothing, but for the XP SP2 add, whose
    // growth varies from run to run: see docs/RELIABILITY.md); a failed run may leave no more.
    SIZE_T allowed = MostHeapGrowthOver([&] {
        prepare();
        run();
    });
    for (const XpSweepRow& row : rows) {
        SCOPED_TRACE(testing::Message()
                     << std::string(row.call, row.call + wcslen(row.call)) << " #" << row.position);
        EXPECT_LE(LeastHeapGrowthOver([&] {
                      HandlerRun outcome = faults.RunFaulted(row.call, row.position, 1722, prepare,
                                                             run);
                      EXPECT_EQ(row.result, outcome.result);
                      std::string lines;
                      for (const std::string& text :
                           row.lines) // a line of another routine names it
                          lines += text.find(" :: ") == std::string::npos ? Lines({text}, handler)
                                                                          : text + "\n";
                      EXPECT_EQ(lines, Normalised(AfterEcho(outcome.output)));
                  }),
                  allowed);
        EXPECT_EQ(0u, liveBlocks());
        for (int adapter = 0; adapter < 2; ++adapter)
            EXPECT_EQ(row.stored[adapter], stored(adapter)) << "adapter " << adapter;
    }
}
