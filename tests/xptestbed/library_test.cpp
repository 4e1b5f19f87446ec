// The emulated wzcsapi.dll of each platform, loaded from its platform folder in turn.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "test_support.h"
#include "xp_testbed_state.h"

namespace {

struct KeyEntry {
    LPWSTR guid;
};
struct KeyTable {
    DWORD count;
    KeyEntry* entries;
};
using EnumFn = DWORD(WINAPI*)(LPWSTR, KeyTable*);
using InterfaceFn = DWORD(WINAPI*)(LPWSTR, DWORD, void*, DWORD*);
using ParamsFn = DWORD(WINAPI*)(LPWSTR, LPWSTR, void*);
using CustomFn = DWORD(WINAPI*)(LPWSTR, LPWSTR, DWORD, DWORD, BYTE*, BYTE*, DWORD);
using CountFn = DWORD(WINAPI*)();
using Bytes = std::vector<uint8_t>;

const DWORD kPoison = 0xdeadbeef;

struct Library {
    explicit Library(const wchar_t* platform)
        : module(
              LoadLibraryW((MachineDir() + L"\\platforms\\" + platform + L"\\wzcsapi.dll").c_str()))
    {
    }
    ~Library() { FreeLibrary(module); }
    template <typename F>
    F Get(const char* name)
    {
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    }
    HMODULE module;
};

void Put(Bytes* bytes, size_t offset, uint32_t value)
{
    memcpy(&(*bytes)[offset], &value, 4);
}
void PutPointer(Bytes* bytes, size_t offset, const void* p)
{
    memcpy(&(*bytes)[offset], &p, 4);
}
uint32_t Get32(const Bytes& bytes, size_t offset)
{
    uint32_t v;
    memcpy(&v, &bytes[offset], 4);
    return v;
}

Bytes Network(const char* ssid)
{
    Bytes record(160, 0);
    Put(&record, 0, 160);
    Put(&record, 16, (uint32_t)strlen(ssid));
    memcpy(&record[20], ssid, strlen(ssid));
    Put(&record, 148, 4);
    return record;
}

Bytes Blob(const std::vector<Bytes>& records)
{
    Bytes blob(8, 0);
    Put(&blob, 0, (uint32_t)records.size());
    Put(&blob, 4, (uint32_t)records.size());
    for (const Bytes& r : records)
        blob.insert(blob.end(), r.begin(), r.end());
    return blob;
}

class XpLibrary : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetEnvironmentVariableW(L"WLANPROV_TESTBED_STATE", L"xp_library_test");
        ASSERT_EQ(0, ResetXpState(XpAdaptersFor(2)));
        adapters = XpAdaptersFor(2);
    }
    LPWSTR Guid(int i) { return &adapters[i].guid[0]; }
    std::vector<Bytes> Stored(int i)
    {
        std::vector<Bytes> records;
        EXPECT_EQ(0, ReadPreferredList(Guid(i), &records));
        return records;
    }
    std::vector<XpAdapter> adapters;
};

struct Layout {
    const wchar_t* platform;
    size_t size;
    int capabilities;
    size_t length, pointer;
};

// Each build writes and reads its own record layout, and nothing else of the caller's memory.
TEST_F(XpLibrary, EachBuildUsesItsOwnRecordLayout)
{
    const Layout layouts[] = {
        {L"xpsp1-1106", 76, -1, 60, 64}, {L"xpsp1-1181", 80, 36, 64, 68},
        {L"xpsp1-1276", 80, 36, 64, 68}, {L"xpsp2", 92, 44, 64, 68},
        {L"xpsp3", 92, 44, 64, 68},      {L"server2003", 92, 44, 64, 68},
    };
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(testing::Message() << layout.platform);
        Library library(layout.platform);
        auto set = library.Get<InterfaceFn>("WZCSetInterface");
        auto query = library.Get<InterfaceFn>("WZCQueryInterface");
        ASSERT_TRUE(set && query);
        ASSERT_EQ(0, WriteXpCapabilities(1, 0x100));
        Bytes blob = Blob({Network("Office"), Network("Home")});
        Bytes record(128, 0);
        PutPointer(&record, 0, Guid(1));
        Put(&record, layout.length, (uint32_t)blob.size());
        PutPointer(&record, layout.pointer, blob.data());
        DWORD outFlags = kPoison;
        ASSERT_EQ(0u, set(nullptr, 0x40000, record.data(), &outFlags));
        EXPECT_EQ(0x40000u, outFlags);
        EXPECT_EQ((std::vector<Bytes>{Network("Office"), Network("Home")}), Stored(1));

        Bytes answer(128, 0xAB);
        PutPointer(&answer, 0, Guid(1));
        ASSERT_EQ(0u, query(nullptr, 0xC0000, answer.data(), &outFlags));
        EXPECT_EQ(layout.capabilities < 0 ? 0x40000u : 0xC0000u, outFlags);
        const uint8_t* returned = nullptr;
        memcpy(&returned, &answer[layout.pointer], 4);
        ASSERT_NE(nullptr, returned);
        EXPECT_EQ(blob, Bytes(returned, returned + blob.size()));
        Bytes expected(128, 0xAB);
        PutPointer(&expected, 0, Guid(1));
        Put(&expected, layout.length, (uint32_t)blob.size());
        PutPointer(&expected, layout.pointer, returned);
        if (layout.capabilities >= 0)
            Put(&expected, layout.capabilities, 0x100);
        EXPECT_EQ(expected, answer);
        EXPECT_EQ(1u, library.Get<CountFn>("TestbedLiveBlocks")());
        LocalFree(const_cast<uint8_t*>(returned));
        EXPECT_EQ(0u, library.Get<CountFn>("TestbedLiveBlocks")());
    }
}

// Blobs the set call refuses with 87 leave the stored list as it was; length 0 empties it.
TEST_F(XpLibrary, SetRefusesMalformedListsAndEmptiesOnLengthZero)
{
    Library library(L"xpsp2");
    auto set = library.Get<InterfaceFn>("WZCSetInterface");
    auto query = library.Get<InterfaceFn>("WZCQueryInterface");
    Bytes good = Blob({Network("A"), Network("B")});
    Bytes badCount = good, badRecord = good;
    Put(&badCount, 0, 3);
    Put(&badRecord, 8 + 160, 159);
    struct Case {
        const char* what;
        const uint8_t* blob;
        uint32_t length;
        DWORD result;
        size_t stored;
    };
    const Case cases[] = {
        {"header only, too short", good.data(), 7, 87, 1},
        {"not 8 + 160 x n", good.data(), 8 + 159, 87, 1},
        {"count word disagrees", badCount.data(), (uint32_t)good.size(), 87, 1},
        {"second record's length 159", badRecord.data(), (uint32_t)good.size(), 87, 1},
        {"length without a blob", nullptr, 168, 87, 1},
        {"length 0, null pointer", nullptr, 0, 0, 0},
        {"length 0 with a blob", good.data(), 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(0, WritePreferredList(Guid(0), {Network("Kept")}));
        Bytes record(92, 0);
        PutPointer(&record, 0, Guid(0));
        Put(&record, 64, c.length);
        PutPointer(&record, 68, c.blob);
        DWORD outFlags = 0;
        EXPECT_EQ(c.result, set(nullptr, 0x40000, record.data(), &outFlags));
        EXPECT_EQ(c.stored, Stored(0).size());
    }
    Bytes answer(92, 0xAB);
    PutPointer(&answer, 0, Guid(0));
    DWORD outFlags = 0;
    ASSERT_EQ(0u, query(nullptr, 0x40000, answer.data(), &outFlags));
    EXPECT_EQ(0u, Get32(answer, 64));
    EXPECT_EQ(0u, Get32(answer, 68));
    EXPECT_EQ(0u, library.Get<CountFn>("TestbedLiveBlocks")());
}

// Adapters in order, each block counted until the caller frees it; none for no adapter.
TEST_F(XpLibrary, EnumerationHandsOutCountedBlocks)
{
    Library library(L"xpsp1-1181");
    auto enumerate = library.Get<EnumFn>("WZCEnumInterfaces");
    auto live = library.Get<CountFn>("TestbedLiveBlocks");
    KeyTable table = {kPoison, nullptr};
    ASSERT_EQ(0u, enumerate(nullptr, &table));
    ASSERT_EQ(2u, table.count);
    EXPECT_EQ(adapters[0].guid, table.entries[0].guid);
    EXPECT_EQ(adapters[1].guid, table.entries[1].guid);
    EXPECT_EQ(3u, live());
    LocalFree(table.entries[0].guid);
    EXPECT_EQ(2u, live());
    LocalFree(table.entries[1].guid);
    LocalFree(table.entries);
    EXPECT_EQ(0u, live());

    ASSERT_EQ(0, ResetXpState({}));
    table = {kPoison, reinterpret_cast<KeyEntry*>(1)};
    ASSERT_EQ(0u, enumerate(nullptr, &table));
    EXPECT_EQ(0u, table.count);
    EXPECT_EQ(nullptr, table.entries);
    EXPECT_EQ(0u, live());
}

// Interface parameters per adapter and SSID: defaults of zeros, flags @8 and type @12 kept.
TEST_F(XpLibrary, EapolParametersAndCustomData)
{
    Library library(L"xpsp1-1276");
    auto get = library.Get<ParamsFn>("WZCEapolGetInterfaceParams");
    auto put = library.Get<ParamsFn>("WZCEapolSetInterfaceParams");
    auto custom = library.Get<CustomFn>("WZCEapolSetCustomAuthData");
    auto params = [](const char* ssid, uint32_t poison) {
        Bytes p(52, 0);
        for (size_t i = 0; i < 16; i += 4)
            Put(&p, i, poison);
        Put(&p, 16, (uint32_t)strlen(ssid));
        memcpy(&p[20], ssid, strlen(ssid));
        return p;
    };
    Bytes asked = params("Office", kPoison);
    ASSERT_EQ(0u, get(nullptr, Guid(1), asked.data()));
    EXPECT_EQ(params("Office", 0), asked);
    Bytes given = params("Office", kPoison);
    Put(&given, 8, 0x80000000);
    Put(&given, 12, 25);
    ASSERT_EQ(0u, put(nullptr, Guid(1), given.data()));
    Bytes expected = params("Office", 0);
    Put(&expected, 8, 0x80000000);
    Put(&expected, 12, 25);
    asked = params("Office", kPoison);
    ASSERT_EQ(0u, get(nullptr, Guid(1), asked.data()));
    EXPECT_EQ(expected, asked);
    asked = params("Offic", kPoison);
    ASSERT_EQ(0u, get(nullptr, Guid(1), asked.data()));
    EXPECT_EQ(params("Offic", 0), asked);
    asked = params("Office", kPoison);
    ASSERT_EQ(0u, get(nullptr, Guid(0), asked.data()));
    EXPECT_EQ(params("Office", 0), asked);
    Put(&asked, 16, 33);
    EXPECT_EQ(87u, get(nullptr, Guid(0), asked.data()));

    BYTE ssid[] = {'O', 'f', 'f'}, data[] = {1, 2, 3, 4};
    ASSERT_EQ(0u, custom(nullptr, Guid(0), 25, 3, ssid, data, 4));
    ASSERT_EQ(0u, custom(nullptr, Guid(0), 13, 3, ssid, nullptr, 0));
    EXPECT_EQ(87u, custom(nullptr, Guid(0), 13, 3, ssid, nullptr, 4));
    std::vector<XpCustomAuthData> stored;
    ASSERT_EQ(0, ReadXpCustomAuthData(0, &stored));
    ASSERT_EQ(2u, stored.size());
    if (stored[0].eapType != 25)
        std::swap(stored[0], stored[1]);
    EXPECT_EQ(25u, stored[0].eapType);
    EXPECT_EQ(Bytes(ssid, ssid + 3), stored[0].ssid);
    EXPECT_EQ(Bytes(data, data + 4), stored[0].data);
    EXPECT_EQ(13u, stored[1].eapType);
    EXPECT_TRUE(stored[1].data.empty());
}

// Checks before faults, faults per call and adapter: the call named fails, nothing else does.
TEST_F(XpLibrary, RefusalsAndFaultsPerCallAndAdapter)
{
    Library library(L"xpsp2");
    auto enumerate = library.Get<EnumFn>("WZCEnumInterfaces");
    auto set = library.Get<InterfaceFn>("WZCSetInterface");
    auto query = library.Get<InterfaceFn>("WZCQueryInterface");
    auto get = library.Get<ParamsFn>("WZCEapolGetInterfaceParams");
    auto put = library.Get<ParamsFn>("WZCEapolSetInterfaceParams");
    auto custom = library.Get<CustomFn>("WZCEapolSetCustomAuthData");
    std::wstring unknown = L"{00000000-0000-0000-0000-000000000000}", remote = L"REMOTE";
    auto call = [&](const char* name, LPWSTR guid, LPWSTR server) -> DWORD {
        Bytes record(92, 0), params(52, 0);
        PutPointer(&record, 0, guid);
        DWORD outFlags = 0;
        KeyTable table = {kPoison, nullptr};
        std::string n = name;
        DWORD result = n == "WZCEnumInterfaces"   ? enumerate(server, &table)
                       : n == "WZCSetInterface"   ? set(server, 0x40000, record.data(), &outFlags)
                       : n == "WZCQueryInterface" ? query(server, 0x40000, record.data(), &outFlags)
                       : n == "WZCEapolGetInterfaceParams" ? get(server, guid, params.data())
                       : n == "WZCEapolSetInterfaceParams"
                           ? put(server, guid, params.data())
                           : custom(server, guid, 25, 0, nullptr, nullptr, 0);
        if (result != 0) {
            EXPECT_EQ(kPoison, table.count);
        }
        for (DWORD i = 0; result == 0 && table.entries && i < table.count; ++i)
            LocalFree(table.entries[i].guid);
        LocalFree(table.entries);
        return result;
    };
    const char* calls[] = {"WZCEnumInterfaces",          "WZCSetInterface",
                           "WZCQueryInterface",          "WZCEapolGetInterfaceParams",
                           "WZCEapolSetInterfaceParams", "WZCEapolSetCustomAuthData"};
    for (const char* name : calls) {
        SCOPED_TRACE(name);
        std::wstring wide(name, name + strlen(name));
        bool perAdapter = wide != L"WZCEnumInterfaces";
        EXPECT_EQ(1722u, call(name, Guid(0), &remote[0]));
        EXPECT_EQ(perAdapter ? 2u : 0u, call(name, &unknown[0], nullptr));
        ASSERT_EQ(0, SetXpFault(wide.c_str(), perAdapter ? 1 : -1, 1450));
        EXPECT_EQ(perAdapter ? 0u : 1450u, call(name, Guid(0), nullptr));
        EXPECT_EQ(1450u, call(name, Guid(1), nullptr));
        for (const char* other : calls)
            if (strcmp(other, name) != 0) {
                EXPECT_EQ(0u, call(other, Guid(1), nullptr)) << other;
            }
        ASSERT_EQ(0, ClearXpFaults());
    }
    EXPECT_EQ(0u, library.Get<CountFn>("TestbedLiveBlocks")());
}

// A reset empties the service's keys of the old adapters; a missing state is the default one.
TEST_F(XpLibrary, ResetAndDefaultMachine)
{
    ASSERT_EQ(0, WritePreferredList(Guid(0), {Network("A")}));
    ASSERT_EQ(0, WriteEapolValue(Guid(0), L"1", Bytes(60, 1)));
    ASSERT_EQ(0, SetXpFault(L"WZCSetInterface", 0, 5));
    ASSERT_EQ(0, ResetXpState(XpAdaptersFor(1)));
    std::vector<std::pair<std::wstring, Bytes>> values;
    EXPECT_EQ(0, ReadEapolValues(Guid(0), &values));
    EXPECT_TRUE(values.empty() && Stored(0).empty());
    EXPECT_EQ(0u, XpFaultFor(L"WZCSetInterface", 0));

    ASSERT_EQ(0, RegDeleteTreeW(HKEY_LOCAL_MACHINE, XpStateKeyPath().c_str()));
    std::vector<XpAdapter> machine;
    ASSERT_EQ(0, ReadXpAdapters(&machine));
    ASSERT_EQ(2u, machine.size());
    EXPECT_EQ(adapters[1].guid, machine[1].guid);
    EXPECT_EQ(0x300u, machine[1].capabilities);
    EXPECT_EQ(1, FindXpAdapter(CharLowerW(Guid(1))));
    SetEnvironmentVariableW(L"WLANPROV_TESTBED_STATE", L"xp_library_test_other");
    EXPECT_NE(adapters[0].guid, DefaultXpAdapters()[0].guid);
}

TEST_F(XpLibrary, PlatformWithoutQueryContext)
{
    Library without(L"xpsp1-no-querycontext");
    EXPECT_EQ(nullptr, without.Get<void*>("WZCQueryContext"));
    EXPECT_NE(nullptr, without.Get<void*>("WZCEapolQueryState"));
    Library with(L"xpsp1-1181");
    EXPECT_NE(nullptr, with.Get<void*>("WZCQueryContext"));
}

} // namespace
