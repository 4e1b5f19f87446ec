// The XP client layer in-process against the emulated wzcsapi.dll of each platform folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "preferred_list.h"
#include "service_control.h"
#include "test_support.h"
#include "xp_testbed_state.h"
#include "xpsp1_test_support.h"

namespace {

// What the binding's set slot was last handed: the list blob, and how many writes.
struct Written { int writes; std::vector<uint8_t> blob; } g_written;
template <typename Record> DWORD(WINAPI* g_realSet)(LPWSTR, DWORD, Record*, DWORD*);
template <typename Record> DWORD WINAPI SpySet(LPWSTR s, DWORD f, Record* record, DWORD* out)
{
    ++g_written.writes;
    g_written.blob.assign(record->pListData, record->pListData + record->dwListLength);
    return g_realSet<Record>(s, f, record, out);
}

// The platform's library bound for one test, on a fresh machine of this program's own; at
// the end every block the library handed out is freed and the library unloaded.
struct Session {
    WzcBinding* b = reinterpret_cast<WzcBinding*>(0xdeadbeef);
    DWORD init, liveAtStart = 0;
    DWORD(WINAPI* live)() = nullptr;
    std::wstring guid;
    explicit Session(const wchar_t* platform, int adapters = 2)
    {
        SetEnvironmentVariableW(L"WLANPROV_TESTBED_STATE", L"xpsp1_client_test");
        EXPECT_EQ(0, ResetXpState(XpAdaptersFor(adapters)));
        guid = adapters ? XpAdaptersFor(adapters)[0].guid : L"";
        SetDllDirectoryW((MachineDir() + L"\\platforms\\" + platform).c_str());
        init = WZCInit(&b);
        SetDllDirectoryW(nullptr);
        if (init != 0)
            return;
        live = reinterpret_cast<DWORD(WINAPI*)()>(GetProcAddress(b->library, "TestbedLiveBlocks"));
        liveAtStart = live();
        g_realSet<WzcInterfaceRecord> = b->WZCSetInterface;
        g_realSet<WzcInterfaceRecord1106> = b->WZCSetInterface_1106;
        if (b->WZCSetInterface)
            b->WZCSetInterface = SpySet<WzcInterfaceRecord>;
        if (b->WZCSetInterface_1106)
            b->WZCSetInterface_1106 = SpySet<WzcInterfaceRecord1106>;
        g_written = {};
    }
    ~Session()
    {
        if (init == 0) {
            EXPECT_EQ(liveAtStart, live());
            WZCUninit(b);
        }
        EXPECT_EQ(nullptr, GetModuleHandleW(L"wzcsapi.dll"));
    }
    void Seed(const char* list) { EXPECT_EQ(0, WritePreferredList(guid.c_str(), Records(list))); }
    std::vector<std::vector<uint8_t>> Kept() const
    {
        std::vector<std::vector<uint8_t>> records;
        EXPECT_EQ(0, ReadPreferredList(guid.c_str(), &records));
        return records;
    }
};

const struct { const wchar_t* platform; DWORD result; LONG buildClass; } kBindings[] = {
    {L"win2000-sp3-hotfix", 0, 0}, {L"win2000-sp4", 0, 1}, {L"xp-sp0", 0, 2},
    {L"xpsp1-1106", 0, 3}, {L"xpsp1-1181", 0, 4}, {L"xpsp1-1276", 0, 5}, {L"xpsp2", 0, 6},
    {L"server2003", 0, 6}, {L"xp-1200", 50, 0}, {L"xpsp1-no-querycontext", 50, 0},
    {L"vista", 50, 0},
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
        bool short1106 = c.buildClass == 3;
        void** slots = reinterpret_cast<void**>(&s.b->WZCEnumInterfaces);
        for (int i = 0; i < 15; ++i)
            EXPECT_EQ(i < 1 || i > 6 || (i < 4) == short1106, slots[i] != nullptr) << i;
    }
}

// Each add writes the whole list once: count, index word, length, order and every stored
// record byte for byte; '*' is the added record, N an SSID not in the list.
const struct { const char* list; char ssid; bool replace, atHead; const char* written; } kAdds[] = {
    {"", 'N', 0, 0, "*"}, {"", 'N', 1, 1, "*"},
    {"A", 'N', 0, 1, "*A"}, {"A", 'N', 1, 0, "A*"}, {"A", 'A', 1, 1, "*"},
    {"A", 'A', 1, 0, "*"}, {"A", 'A', 0, 1, "A"}, {"A", 'A', 0, 0, "A"},
    {"ABC", 'N', 1, 1, "*ABC"}, {"ABC", 'N', 0, 0, "A*BC"}, {"ABC", 'C', 1, 1, "*AB"},
    {"ABC", 'B', 1, 0, "A*C"}, {"ABC", 'C', 0, 1, "CAB"}, {"ABC", 'B', 0, 0, "ABC"},
    {"ABCDE", 'N', 0, 1, "*ABCDE"}, {"ABCDE", 'N', 1, 0, "A*BCDE"},
    {"ABCDE", 'C', 1, 1, "*ABDE"}, {"ABCDE", 'A', 1, 1, "*BCDE"},
    {"ABCDE", 'E', 1, 0, "ABCD*"}, {"ABCDE", 'D', 0, 1, "DABCE"},
    {"ABCDE", 'A', 0, 1, "ABCDE"}, {"ABCDE", 'C', 0, 0, "ABCDE"},
};

TEST(XpClient, AddTable)
{
    for (const wchar_t* platform : {L"xpsp1-1181", L"xpsp1-1106"}) {
        Session s(platform);
        ASSERT_EQ(0u, s.init);
        for (const auto& c : kAdds) {
            s.Seed(c.list);
            g_written = {};
            WzcNetworkConfig added = Created(c.ssid);
            StdoutCapture out;
            EXPECT_EQ(0u, WZCAddPreferedConfig(s.b, s.guid.c_str(), added, c.replace, c.atHead));
            bool appended = c.ssid == 'N' && !c.atHead && *c.list;
            EXPECT_EQ(appended ? "WZCAddPreferedConfig::appended\n" : "", out.Text());
            EXPECT_EQ(1, g_written.writes);
            EXPECT_EQ(BlobOf(c.written, &added), g_written.blob) << c.list << c.ssid << c.written;
            EXPECT_EQ(Records(c.written, &added), s.Kept());
        }
    }
}

// Removing: the list written without the SSID ("" is the empty list: length 0, no blob), or
// 232 and nothing written.
const struct { const char* list; char ssid; DWORD result; const char* written; } kRemovals[] = {
    {"ABC", 'B', 0, "AC"}, {"ABC", 'A', 0, "BC"}, {"ABC", 'C', 0, "AB"}, {"A", 'A', 0, ""},
    {"ABC", 'N', 232, nullptr}, {"", 'A', 232, nullptr},
};

TEST(XpClient, RemoveTable)
{
    Session s(L"xpsp1-1276");
    ASSERT_EQ(0u, s.init);
    for (const auto& c : kRemovals) {
        s.Seed(c.list);
        g_written = {};
        EXPECT_EQ(c.result, WZCRemovePreferedConfig(s.b, s.guid.c_str(), Created(c.ssid)));
        EXPECT_EQ(c.written ? 1 : 0, g_written.writes) << c.list << c.ssid;
        EXPECT_EQ(BlobOf(c.written ? c.written : ""), g_written.blob);
        EXPECT_EQ(Records(c.written ? c.written : c.list), s.Kept());
    }
}

TEST(XpClient, Adapters)
{
    for (int count : {6, 2, 0}) {
        Session s(L"xpsp1-1181", count);
        ASSERT_EQ(0u, s.init);
        WzcAdapterList list;
        memset(&list, 0xEE, sizeof(list));
        EXPECT_EQ(count ? 0u : 232u, WZCEnumAdapters(s.b, &list));
        EXPECT_EQ(count ? (DWORD)std::min(count, 5) : 0xEEEEEEEEu, list.count);
        for (int i = 0; i < std::min(count, 5); ++i)
            EXPECT_EQ(XpAdaptersFor(count)[i].guid, list.guids[i]);
    }
}

TEST(XpClient, WpaOf1106WithoutQuery)
{
    Session s(L"xpsp1-1106");  // its 80-byte slot is null: a query would fault
    ASSERT_EQ(0u, s.init);
    EXPECT_EQ(0u, WZCQueryWPAState(s.b, s.guid.c_str()));
}

TEST(XpClient, EapolParametersAndWpa)
{
    Session s(L"xpsp1-1181");
    ASSERT_EQ(0u, s.init);
    EXPECT_EQ(0u, WZCSetConfigEapData1(s.b, s.guid.c_str(), L"Office", 25, 0xE0000000, nullptr, 0));
    std::vector<uint8_t> params;
    EXPECT_EQ(0, ReadXpEapolParams(0, reinterpret_cast<const uint8_t*>("Office"), 6, &params));
    std::vector<uint8_t> expected(52);
    const uint32_t words[] = {0, 0, 0xE0000000, 25, 6};
    memcpy(expected.data(), words, sizeof(words));
    memcpy(&expected[20], "Office", 6);
    EXPECT_EQ(expected, params);
    std::vector<XpCustomAuthData> data;
    EXPECT_EQ(0, ReadXpCustomAuthData(0, &data));
    ASSERT_EQ(1u, data.size());
    EXPECT_TRUE(data[0].eapType == 25 && data[0].ssid == Bytes("Office") && data[0].data.empty());
    for (DWORD capabilities : {0x100, 0x300, 0x200}) {
        EXPECT_EQ(0, WriteXpCapabilities(0, capabilities));
        EXPECT_EQ(capabilities != 0x200 ? 1u : 0u, WZCQueryWPAState(s.b, s.guid.c_str()));
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
    const struct { const wchar_t* call; std::function<DWORD()> run; int writes, params; } faults[] = {
        {L"WZCEnumInterfaces", [&] { return WZCEnumAdapters(s.b, &list); }, 0, 0},
        {L"WZCQueryInterface", add, 0, 0}, {L"WZCQueryInterface", remove, 0, 0},
        {L"WZCSetInterface", add, 1, 0}, {L"WZCSetInterface", remove, 1, 0},
        {L"WZCEapolGetInterfaceParams", eap, 0, 0}, {L"WZCEapolSetInterfaceParams", eap, 0, 0},
        {L"WZCEapolSetCustomAuthData", eap, 0, 1},
    };
    DWORD code = 1700;
    for (const auto& f : faults) {
        s.Seed("AB");
        g_written = {};
        ASSERT_EQ(0, SetXpFault(f.call, -1, ++code));
        EXPECT_EQ(code, f.run()) << f.call;
        EXPECT_EQ(0xdeadbeef, list.count);
        EXPECT_EQ(f.writes, g_written.writes);
        EXPECT_EQ(Records("AB"), s.Kept());
        std::vector<std::vector<uint8_t>> params;
        std::vector<XpCustomAuthData> data;
        EXPECT_TRUE(ReadXpCustomAuthData(0, &data) == 0 && data.empty());
        EXPECT_TRUE(ReadAllXpEapolParams(0, &params) == 0 && (int)params.size() == f.params);
        EXPECT_EQ(0, ClearXpFaults());
    }
    ASSERT_EQ(0, SetXpFault(L"WZCQueryInterface", 0, 5));
    EXPECT_EQ(0u, WZCQueryWPAState(s.b, g));
}

} // namespace
