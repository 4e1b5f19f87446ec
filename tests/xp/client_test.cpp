// The XP client layer in-process against the emulated wzcsapi.dll of each platform folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>

#include "interface_layout.h"
#include "preferred_list.h"
#include "service_control.h"
#include "test_support.h"
#include "trusted_library.h"
#include "xp_testbed_state.h"

namespace {

typedef std::vector<std::vector<uint8_t>> RecordList;

// A stored record: SSID letter (length 1), every other byte but the length a pattern of the
// letter, so that a record that does not travel byte for byte is seen.
WzcNetworkConfig Stored(char ssid)
{
    uint8_t bytes[160];
    for (size_t i = 0; i < sizeof(bytes); ++i)
        bytes[i] = (uint8_t)(ssid * 7 + i);
    WzcNetworkConfig r;
    memcpy(&r, bytes, sizeof(r));
    r.length = sizeof(r);
    r.ssidLength = 1;
    memset(r.ssid, 0, sizeof(r.ssid));
    r.ssid[0] = (uint8_t)ssid;
    return r;
}

// A record as a handler creates it; its SSID length field (7) differs from a stored one's.
WzcNetworkConfig Created(char ssid)
{
    return {sizeof(WzcNetworkConfig), 0, {}, 7, {(uint8_t)ssid}, 4};
}

// The list blob of the letters: stored records, '*' for *added; none for an empty list.
std::vector<uint8_t> BlobOf(const char* letters, const WzcNetworkConfig* added = nullptr)
{
    uint32_t header[2] = {(uint32_t)strlen(letters), (uint32_t)strlen(letters)};
    std::vector<uint8_t> blob((uint8_t*)header, (uint8_t*)(header + 2));
    for (const char* c = letters; *c; ++c) {
        WzcNetworkConfig r = *c == '*' ? *added : Stored(*c);
        blob.insert(blob.end(), (uint8_t*)&r, (uint8_t*)(&r + 1));
    }
    return header[0] ? blob : std::vector<uint8_t>();
}

// What the binding's set slots were handed: the number of writes and the last list blob.
struct Written {
    int writes;
    std::vector<uint8_t> blob;
} g_written;
template <typename Record>
DWORD(WINAPI* g_realSet)
(LPWSTR, DWORD, Record*, DWORD*);
template <typename Record>
DWORD WINAPI SpySet(LPWSTR s, DWORD f, Record* record, DWORD* out)
{
    ++g_written.writes;
    EXPECT_EQ(record->dwListLength == 0, record->pListData == nullptr);
    g_written.blob.assign(record->pListData, record->pListData + record->dwListLength);
    return g_realSet<Record>(s, f, record, out);
}
template <typename Record>
void Spy(DWORD(WINAPI** slot)(LPWSTR, DWORD, Record*, DWORD*))
{
    g_realSet<Record> = *slot;
    *slot = *slot ? SpySet<Record> : nullptr;
}

// The platform's library bound for one test, on a fresh machine of this program's own; at
// the end every block the library handed out is freed and the library unloaded.
struct Session {
    WzcBinding* b = reinterpret_cast<WzcBinding*>(0xdeadbeef);
    HMODULE platformLibrary = nullptr;
    DWORD init, liveAtStart = 0;
    DWORD(WINAPI* live)() = nullptr;
    std::wstring guid;
    explicit Session(const wchar_t* platform, int adapters = 2)
    {
        SetEnvironmentVariableW(L"WLANPROV_TESTBED_STATE", L"xpsp1_client_test");
        EXPECT_EQ(0, ResetXpState(XpAdaptersFor(adapters)));
        guid = adapters ? XpAdaptersFor(adapters)[0].guid : L"";
        // The binding loads only from trusted folders; a library of that name already loaded
        // is the one it gets, so the platform's copy is loaded first by its full path.
        platformLibrary = LoadLibraryW(
            (MachineDir() + L"\\platforms\\" + platform + L"\\wzcsapi.dll").c_str());
        init = WZCInit(&b);
        if (init == 0) {
            live = (DWORD(WINAPI*)())GetProcAddress(b->library, "TestbedLiveBlocks");
            liveAtStart = live();
            Spy(&b->WZCSetInterface);
            Spy(&b->WZCSetInterface_1106);
        }
    }
    ~Session()
    {
        if (init == 0) {
            EXPECT_EQ(liveAtStart, live());
            WZCUninit(b);
        }
        if (platformLibrary)
            FreeLibrary(platformLibrary);
        EXPECT_EQ(nullptr, GetModuleHandleW(L"wzcsapi.dll"));
    }
    // Stores the list of letters, or reads the stored one back as a blob.
    void Seed(const char* list)
    {
        std::vector<uint8_t> blob = BlobOf(list);
        RecordList records;
        SplitPreferredList(blob.data(), (uint32_t)blob.size(), &records);
        EXPECT_EQ(0, WritePreferredList(guid.c_str(), records));
        g_written = {};
    }
    std::vector<uint8_t> Kept() const
    {
        RecordList records;
        EXPECT_EQ(0, ReadPreferredList(guid.c_str(), &records));
        return records.empty() ? std::vector<uint8_t>() : JoinPreferredList(records);
    }
};

const struct {
    const wchar_t* platform;
    DWORD result;
    LONG buildClass;
    DWORD wpa;
} kBindings[] = {
    {L"win2000-sp3-hotfix", 0, 0, 0},
    {L"win2000-sp4", 0, 1, 0},
    {L"xp-sp0", 0, 2, 0},
    {L"xpsp1-1106", 0, 3, 0},
    {L"xpsp1-1181", 0, 4, 1},
    {L"xpsp1-1276", 0, 5, 1},
    {L"xpsp2", 0, 6, 0},
    {L"server2003", 0, 6, 0},
    {L"xp-1200", 50},
    {L"vista", 50},
    {L"xpsp1-no-querycontext", 50},
};

TEST(XpClient, BindsEveryBuildOrNothing)
{
    for (const auto& c : kBindings) {
        Session s(c.platform);
        ASSERT_EQ(c.result, s.init) << c.platform;
        if (c.result != 0) {
            EXPECT_EQ(nullptr, s.b);
            continue;
        }
        EXPECT_EQ(c.buildClass, s.b->buildClass);
        EXPECT_EQ(c.wpa, WZCQueryWPAState(s.b, s.guid.c_str()));
        bool short1106 = c.buildClass == 3;
        void** slots = reinterpret_cast<void**>(&s.b->WZCEnumInterfaces);
        for (int i = 0; i < 15; ++i)
            EXPECT_EQ(i < 1 || i > 6 || (i < 4) == short1106, slots[i] != nullptr) << i;
    }
}

// Each add writes the whole list once: count, index word, length, order and every stored
// record byte for byte; '*' is the added record, N an SSID not in the list.
const struct {
    const char* list;
    char ssid;
    bool replace, atHead;
    const char* written;
} kAdds[] = {
    {"", 'N', 0, 0, "*"},           {"", 'N', 1, 1, "*"},          {"A", 'N', 0, 1, "*A"},
    {"A", 'N', 1, 0, "A*"},         {"A", 'A', 1, 1, "*"},         {"A", 'A', 1, 0, "*"},
    {"A", 'A', 0, 1, "A"},          {"A", 'A', 0, 0, "A"},         {"ABC", 'N', 1, 1, "*ABC"},
    {"ABC", 'N', 0, 0, "A*BC"},     {"ABC", 'C', 1, 1, "*AB"},     {"ABC", 'B', 1, 0, "A*C"},
    {"ABC", 'C', 0, 1, "CAB"},      {"ABC", 'B', 0, 0, "ABC"},     {"ABCDE", 'N', 0, 1, "*ABCDE"},
    {"ABCDE", 'N', 1, 0, "A*BCDE"}, {"ABCDE", 'C', 1, 1, "*ABDE"}, {"ABCDE", 'A', 1, 1, "*BCDE"},
    {"ABCDE", 'E', 1, 0, "ABCD*"},  {"ABCDE", 'D', 0, 1, "DABCE"}, {"ABCDE", 'A', 0, 1, "ABCDE"},
    {"ABCDE", 'C', 0, 0, "ABCDE"},
};

TEST(XpClient, AddTable)
{
    for (const wchar_t* platform : {L"xpsp1-1181", L"xpsp1-1106"}) {
        Session s(platform);
        ASSERT_EQ(0u, s.init);
        for (const auto& c : kAdds) {
            s.Seed(c.list);
            WzcNetworkConfig added = Created(c.ssid);
            StdoutCapture out;
            EXPECT_EQ(0u, WZCAddPreferedConfig(s.b, s.guid.c_str(), added, c.replace, c.atHead));
            bool appended = c.ssid == 'N' && !c.atHead && *c.list;
            EXPECT_EQ(appended ? "WZCAddPreferedConfig::appended\n" : "", out.Text());
            EXPECT_EQ(1, g_written.writes);
            EXPECT_EQ(BlobOf(c.written, &added), g_written.blob) << c.list << c.ssid << c.written;
        }
    }
}

// Removing: the list written without the SSID ("" is the empty list: length 0, no blob), or
// 232 and nothing written.
const struct {
    const char* list;
    char ssid;
    DWORD result;
    const char* written;
} kRemovals[] = {
    {"ABC", 'B', 0, "AC"}, {"ABC", 'A', 0, "BC"},      {"ABC", 'C', 0, "AB"},
    {"A", 'A', 0, ""},     {"ABC", 'N', 232, nullptr}, {"", 'A', 232, nullptr},
};

TEST(XpClient, RemoveTable)
{
    Session s(L"xpsp1-1276");
    ASSERT_EQ(0u, s.init);
    for (const auto& c : kRemovals) {
        s.Seed(c.list);
        EXPECT_EQ(c.result, WZCRemovePreferedConfig(s.b, s.guid.c_str(), Created(c.ssid)));
        EXPECT_EQ(c.written ? 1 : 0, g_written.writes) << c.list << c.ssid;
        EXPECT_EQ(BlobOf(c.written ? c.written : ""), g_written.blob);
    }
}

TEST(XpClient, Adapters)
{
    const std::string skipped =
        "WZCEnumAdapters :: skipped an adapter whose GUID is empty or too long\n";
    // odd: adapters listed ahead of the count named ones, whose GUIDs fit no slot
    const struct {
        int count;
        std::vector<std::wstring> odd;
        DWORD result;
        std::string lines;
    } cases[] = {
        {6, {}, 0, ""},
        {2, {}, 0, ""},
        {0, {}, 232, ""},
        {1, {L"", std::wstring(WZC_GUID_CHARACTERS, L'7')}, 0, skipped + skipped},
        {0, {L""}, 232, skipped},
    };
    for (const auto& c : cases) {
        Session s(L"xpsp1-1181", c.count);
        ASSERT_EQ(0u, s.init);
        std::vector<XpAdapter> adapters = XpAdaptersFor(c.count);
        for (const std::wstring& guid : c.odd)
            adapters.insert(adapters.begin(), {guid, L"Odd", kXpDefaultCapabilities});
        ASSERT_EQ(0, ResetXpState(adapters));
        WzcAdapterList list = {0xdeadbeef};
        auto capture = std::make_unique<StdoutCapture>();
        DWORD result = WZCEnumAdapters(s.b, &list);
        std::string lines = capture->Text();
        capture.reset();
        EXPECT_TRUE(result == c.result && lines == c.lines) << result << lines;
        EXPECT_EQ(c.count         ? (DWORD)std::min(c.count, 5)
                  : c.odd.empty() ? 0xdeadbeef
                                  : 0,
                  list.count);
        for (int i = 0; i < std::min(c.count, 5); ++i)
            EXPECT_EQ(XpAdaptersFor(c.count)[i].guid, list.guids[i]);
    }
}

TEST(XpClient, EapolParametersAndWpaBit)
{
    Session s(L"xpsp1-1181");
    ASSERT_EQ(0u, s.init);
    EXPECT_EQ(0u, WZCSetConfigEapData1(s.b, s.guid.c_str(), L"Office", 25, 0xE0000000, 0, 0));
    std::vector<uint8_t> params;
    EXPECT_EQ(0, ReadXpEapolParams(0, reinterpret_cast<const uint8_t*>("Office"), 6, &params));
    const uint8_t expected[52] = {0, 0, 0, 0, 0, 0, 0, 0,   0,   0,   0,   0xE0, 25,
                                  0, 0, 0, 6, 0, 0, 0, 'O', 'f', 'f', 'i', 'c',  'e'};
    EXPECT_EQ(std::vector<uint8_t>(expected, expected + 52), params);
    std::vector<XpCustomAuthData> data;
    EXPECT_EQ(0, ReadXpCustomAuthData(0, &data));
    EXPECT_TRUE(data.size() == 1 && data[0].eapType == 25 && data[0].data.empty() &&
                data[0].ssid == std::vector<uint8_t>(expected + 20, expected + 26));
    for (DWORD capabilities : {0x100, 0x200}) {
        EXPECT_EQ(0, WriteXpCapabilities(0, capabilities));
        EXPECT_EQ(capabilities == 0x100 ? 1u : 0u, WZCQueryWPAState(s.b, s.guid.c_str()));
    }
}

// Every call that fails gives its code, and nothing is written after it.
TEST(XpClient, InjectedFaults)
{
    Session s(L"xpsp1-1181");
    ASSERT_EQ(0u, s.init);
    const wchar_t* g = s.guid.c_str();
    WzcAdapterList list = {0xdeadbeef};
    auto add = [&] { return WZCAddPreferedConfig(s.b, g, Created('N'), 1, 1); };
    auto remove = [&] { return WZCRemovePreferedConfig(s.b, g, Created('A')); };
    auto eap = [&] { return WZCSetConfigEapData1(s.b, g, L"AB", 13, 0, nullptr, 0); };
    auto enumerate = [&] { return WZCEnumAdapters(s.b, &list); };
    struct Fault {
        const wchar_t* call;
        std::function<DWORD()> run;
        int writes, params;
    };
    const Fault faults[] = {
        {L"WZCEnumInterfaces", enumerate, 0, 0},    {L"WZCQueryInterface", add, 0, 0},
        {L"WZCQueryInterface", remove, 0, 0},       {L"WZCSetInterface", add, 1, 0},
        {L"WZCSetInterface", remove, 1, 0},         {L"WZCEapolGetInterfaceParams", eap, 0, 0},
        {L"WZCEapolSetInterfaceParams", eap, 0, 0}, {L"WZCEapolSetCustomAuthData", eap, 0, 1},
    };
    DWORD code = 1700;
    for (const auto& f : faults) {
        s.Seed("AB");
        ASSERT_EQ(0, SetXpFault(f.call, -1, ++code));
        EXPECT_EQ(code, f.run()) << f.call;
        EXPECT_EQ(0xdeadbeef, list.count);
        EXPECT_EQ(f.writes, g_written.writes);
        EXPECT_EQ(BlobOf("AB"), s.Kept());
        RecordList params;
        std::vector<XpCustomAuthData> data;
        EXPECT_TRUE(ReadXpCustomAuthData(0, &data) == 0 && data.empty());
        EXPECT_TRUE(ReadAllXpEapolParams(0, &params) == 0 && (int)params.size() == f.params);
        EXPECT_EQ(0, ClearXpFaults());
    }
    ASSERT_EQ(0, SetXpFault(L"WZCQueryInterface", 0, 5));
    EXPECT_EQ(0u, WZCQueryWPAState(s.b, g));
}

// The loading route of XP, which has no search flags: the program's folder, then the system
// folder, never the current directory or the PATH (both hold planted copies here).
TEST(TrustedLibrary, ByPathTakesTheProgramFolderThenTheSystemFolder)
{
    wchar_t saved[MAX_PATH], module[MAX_PATH], system[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, saved);
    std::wstring path = _wgetenv(L"PATH");
    SetCurrentDirectoryW(PlantedDir().c_str());
    SetEnvironmentVariableW(L"PATH", (PlantedDir() + L";" + path).c_str());
    SetEnvironmentVariableW(L"TESTBED_LOAD_MARKERS", MarkerDir().c_str());
    ClearMarkers();
    GetSystemDirectoryW(system, MAX_PATH);
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    const struct {
        const wchar_t* name;
        std::wstring from; // empty: not loaded
    } cases[] = {
        {L"credmethod.dll", std::wstring(module, wcsrchr(module, L'\\') + 1) + L"credmethod.dll"},
        {L"version.dll", std::wstring(system) + L"\\version.dll"},
        {L"wzcsapi.dll", L""},
        {L"methodres.dll", L""},
    };
    for (const auto& c : cases) {
        HMODULE loaded = LoadTrustedLibraryByPath(c.name);
        DWORD error = GetLastError();
        module[0] = 0;
        EXPECT_TRUE(loaded ? GetModuleFileNameW(loaded, module, MAX_PATH) && FreeLibrary(loaded)
                           : error == ERROR_MOD_NOT_FOUND);
        EXPECT_EQ(0, _wcsicmp(c.from.c_str(), module)) << c.from.size();
    }
    EXPECT_TRUE(LoadMarkers().empty());
    SetCurrentDirectoryW(saved);
    SetEnvironmentVariableW(L"PATH", path.c_str());
}

} // namespace
