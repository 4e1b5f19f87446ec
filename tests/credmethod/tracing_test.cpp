// Trace lines and dumps: what reaches the tracing service and, by the tracing key's switches,
// the debugger output; component name, registration retries, companion resource module.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "plugin_harness.h"
#include "test_support.h"

namespace {

const char kTracingKey[] = "Software\\Microsoft\\Tracing\\credmethod";
const char kLineRegistryError[] =
    "Error open registry for reading, tracing to debug console will not be enabled";
const char kDumpRegistryError[] =
    "Error open registry for reading, dump tracing to debug console will not be enabled";

void RemoveTraceSettings()
{
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kTracingKey);
}

void WriteTraceSettings(DWORD console, DWORD file, DWORD mask)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kTracingKey, 0, NULL, 0,
                                             KEY_ALL_ACCESS, NULL, &key, NULL));
    RegSetValueExA(key, "EnableDebugConsoleLogging", 0, REG_DWORD, (const BYTE*)&console, 4);
    RegSetValueExA(key, "EnableDebugFileLogging", 0, REG_DWORD, (const BYTE*)&file, 4);
    RegSetValueExA(key, "FileTracingMask", 0, REG_DWORD, (const BYTE*)&mask, 4);
    RegCloseKey(key);
}

typedef DWORD(WINAPI* ConnectionXmlFn)(DWORD, DWORD, BYTE*, DWORD, void**);
typedef DWORD(WINAPI* BeginFn)(void**, PPP_EAP_INPUT*);
typedef DWORD(WINAPI* EndFn)(void*);
typedef DWORD(WINAPI* InitializeFn)(BOOL);

class Tracing : public PluginTest {
protected:
    void TearDown() override
    {
        PluginTest::TearDown();
        RemoveTraceSettings();
    }
    DWORD GetInfo(DWORD type)
    {
        PPP_EAP_INFO info = {};
        return ((GetInfoFn)Export("RasEapGetInfo"))(type, &info);
    }
    // Dumps bytes through the connection-properties export (type 25: no document is made).
    void Dump(std::vector<BYTE> bytes)
    {
        void* doc = (void*)0xdeadbeef;
        EXPECT_EQ(50u, ((ConnectionXmlFn)Export("RasEapCreateConnectionPropertiesXml"))(
                           25, 0, bytes.data(), (DWORD)bytes.size(), &doc));
    }
};

std::string HexLine(const std::string& hex, const std::string& text, const char* offset)
{
    return std::string(48 - hex.size(), ' ') + hex + " " + text + " " + offset;
}

TEST_F(Tracing, WithoutSettingsKeyOnlyTheRegistryErrorReachesTheDebugger)
{
    RemoveTraceSettings();
    DebugOutputCapture debug(plugin_);
    EXPECT_EQ(50u, GetInfo(13));
    // The load-time banner, traced by this first entry point, reads the key too.
    EXPECT_EQ(std::vector<std::string>(
                  {kLineRegistryError, kLineRegistryError, kLineRegistryError}),
              debug.Lines());
    std::vector<TraceRecord> log = ReadTraceLog();
    ASSERT_EQ(3u, log.size());
    EXPECT_EQ("DllMain :: enabled log(credmethod) with version: 2.00.0.0011 [RELEASE]",
              log[0].text);
    EXPECT_EQ(0x8000Eu, log[0].flags);
    EXPECT_EQ("RasEapGetInfo :: typeid = 13", log[1].text);
    EXPECT_EQ(0x8000Eu, log[1].flags);
    EXPECT_EQ("RasEapGetInfo :: error typeid = 13", log[2].text);
    EXPECT_EQ(0x1000Eu, log[2].flags);
}

TEST_F(Tracing, SwitchesChooseTheLinesForTheDebugger)
{
    struct Case {
        DWORD console, file, mask;
        std::vector<std::string> expected;
    } cases[] = {
        {1, 0, 0x10000, {"RasEapGetInfo :: error typeid = 13"}},
        {1, 0, 0x80000, {"RasEapGetInfo :: typeid = 13"}},
        {1, 0, 0x90000, {"RasEapGetInfo :: typeid = 13", "RasEapGetInfo :: error typeid = 13"}},
        {1, 0, 0x40000, {}},
        {1, 0, 0, {}},
        {0, 1, 0xFFFFFFFF, {}},
        {0, 0, 0xFFFFFFFF, {}},
    };
    GetInfo(6); // the load-time banner is traced by the first entry point
    for (const Case& c : cases) {
        WriteTraceSettings(c.console, c.file, c.mask);
        ClearTraceLog();
        DebugOutputCapture debug(plugin_);
        EXPECT_EQ(50u, GetInfo(13));
        EXPECT_EQ(c.expected, debug.Lines())
            << c.console << " " << c.file << " " << std::hex << c.mask;
        // The service gets every line whatever the switches say.
        EXPECT_EQ(std::vector<std::string>(
                      {"RasEapGetInfo :: typeid = 13", "RasEapGetInfo :: error typeid = 13"}),
                  TraceLines());
    }
}

TEST_F(Tracing, SwitchValuesAreReadWhateverTheirType)
{
    // Four bytes or fewer of any type count as the number they hold; longer values as 0.
    struct Case {
        DWORD type;
        std::vector<BYTE> data;
        bool enabled;
    } cases[] = {
        {REG_SZ, {'1', 0}, true},
        {REG_BINARY, {1}, true},
        {REG_BINARY, {0, 0}, false},
        {REG_BINARY, {1, 0, 0, 0, 0}, false},
    };
    GetInfo(6); // the load-time banner is traced by the first entry point
    for (const Case& c : cases) {
        WriteTraceSettings(0, 0, 0x80000);
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegOpenKeyExA(HKEY_LOCAL_MACHINE, kTracingKey, 0, KEY_SET_VALUE, &key));
        RegSetValueExA(key, "EnableDebugConsoleLogging", 0, c.type, c.data.data(),
                       (DWORD)c.data.size());
        RegCloseKey(key);
        DebugOutputCapture debug(plugin_);
        EXPECT_EQ(50u, GetInfo(13));
        EXPECT_EQ(c.enabled ? std::vector<std::string>({"RasEapGetInfo :: typeid = 13"})
                            : std::vector<std::string>(),
                  debug.Lines())
            << c.type << " " << c.data.size();
    }
}

TEST_F(Tracing, HexDumpLinesAreExact)
{
    WriteTraceSettings(1, 0, 0x80000);
    struct Case {
        std::vector<BYTE> bytes;
        std::vector<std::string> lines;
        const char* serviceHex;
    } cases[] = {
        {{1, 2, 3}, {HexLine(" 03 02 01", "................", "000000")}, "010203"},
        {{'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P', 0x7F},
         {HexLine(" 50 4F 4E 4D 4C 4B 4A 49 48 47 46 45 44 43 42 41", "ABCDEFGHIJKLMNOP", "000000"),
          HexLine(" 7F", "................", "000010")},
         "4142434445464748494A4B4C4D4E4F507F"},
        {{' ', '~', 0x1F, 0x80},
         {HexLine(" 80 1F 7E 20", " ~..............", "000000")},
         "207E1F80"},
    };
    for (const Case& c : cases) {
        ClearTraceLog();
        DebugOutputCapture debug(plugin_);
        Dump(c.bytes);
        std::vector<std::string> dumped;
        for (const std::string& line : debug.Lines())
            if (line.find(" :: ") == std::string::npos)
                dumped.push_back(line);
        EXPECT_EQ(c.lines, dumped);
        bool found = false;
        for (const TraceRecord& r : ReadTraceLog())
            if (r.kind == 'D') {
                found = true;
                EXPECT_EQ(0x80007u, r.flags);
                EXPECT_EQ(1u, r.groupSize);
                EXPECT_EQ(1, r.addressPrefix);
                EXPECT_EQ(c.serviceHex, r.text);
            }
        EXPECT_TRUE(found);
    }
}

TEST_F(Tracing, DumpSwitches)
{
    struct Case {
        bool key;
        DWORD console, file, mask;
        std::vector<std::string> expected;
    } cases[] = {
        {false, 0, 0, 0, {kDumpRegistryError}},
        {true, 0, 1, 0x80000, {}}, // formatted, but only console logging shows it
        {true, 1, 1, 0x10000, {}}, // detail-level dump outside the mask
        {true, 1, 0, 0x80000, {HexLine(" 01", "................", "000000")}},
    };
    for (const Case& c : cases) {
        if (c.key)
            WriteTraceSettings(c.console, c.file, c.mask);
        else
            RemoveTraceSettings();
        DebugOutputCapture debug(plugin_);
        Dump({1});
        std::vector<std::string> dumped;
        for (const std::string& line : debug.Lines())
            if (line.find(" :: ") == std::string::npos && line != kLineRegistryError)
                dumped.push_back(line);
        EXPECT_EQ(c.expected, dumped);
    }
}

TEST_F(Tracing, SecretLinesReachNeitherOutput)
{
    WriteTraceSettings(1, 1, 0xFFFFFFFF);
    DebugOutputCapture debug(plugin_);
    WCHAR identity[] = L"alice";
    WCHAR password[] = L"S3cretPass";
    PPP_EAP_INPUT input = {};
    input.dwSizeInBytes = sizeof(input);
    input.pwszIdentity = identity;
    input.pwszPassword = password;
    void* work = nullptr;
    PPP_EAP_INFO table = EntryTable();
    ASSERT_EQ(0u, table.RasEapBegin(&work, &input));
    ASSERT_EQ(0u, table.RasEapEnd(work));
    std::vector<std::string> lines = TraceLines();
    EXPECT_TRUE(HasLine(lines, "RasEapBegin :: username : alice"));
    EXPECT_TRUE(HasLine(debug.Lines(), "RasEapBegin :: username : alice"));
    for (const std::vector<std::string>& output : {lines, debug.Lines()})
        for (const std::string& line : output) {
            EXPECT_EQ(std::string::npos, line.find("S3cretPass")) << line;
            EXPECT_EQ(std::string::npos, line.find("password")) << line;
            EXPECT_EQ(std::string::npos, line.find("pwszPassword")) << line;
        }
}

TEST_F(Tracing, ComponentNameIsTheFileNameUpToItsFirstDot)
{
    WriteTraceSettings(1, 0, 0x80000);
    struct Case {
        const wchar_t* file;
        const char* component;
    } cases[] = {{L"other.dll", "other"}, {L"two.dots.dll", "two"}};
    for (const Case& c : cases) {
        ClearTraceLog(c.component);
        LoadPlugin(c.file);
        DebugOutputCapture debug(plugin_);
        EXPECT_EQ(50u, GetInfo(13));
        std::vector<std::string> lines = TraceLines(c.component);
        ASSERT_EQ(3u, lines.size()) << c.component;
        EXPECT_EQ(std::string("DllMain :: enabled log(") + c.component +
                      ") with version: 2.00.0.0011 [RELEASE]",
                  lines[0]);
        // The switches still come from the fixed key of credmethod.
        EXPECT_EQ(std::vector<std::string>({lines[0], "RasEapGetInfo :: typeid = 13"}),
                  debug.Lines());
    }
}

TEST_F(Tracing, FailedRegistrationIsRetriedByTheNextEntryPoint)
{
    PluginTest::UnloadPlugin();
    // The first entry point tries the load-time registration (DllMain's banner), then its own:
    // TESTBED_TRACE_REFUSE=N refuses the next N registrations.
    struct Case {
        const char* banner;
        const char* refused;
        std::function<void(HMODULE)> call;
    };
    auto getInfo = [](HMODULE m) {
        PPP_EAP_INFO info = {};
        ((GetInfoFn)(void*)GetProcAddress(m, "RasEapGetInfo"))(6, &info);
        return info;
    };
    std::vector<Case> cases = {
        {"RasEapGetInfo :: enabled log(credmethod) with version: 2.00.0.0011 [RELEASE]", "1",
         [getInfo](HMODULE m) { getInfo(m); }},
        {"RasEapInitialize :: enabled log(credmethod) with version: 2.00.0.0011 [RELEASE]", "2",
         [getInfo](HMODULE m) {
             PPP_EAP_INFO info = getInfo(m);
             info.RasEapInitialize(FALSE); // only an initialising call registers
             info.RasEapInitialize(TRUE);
         }},
        {"RasEapBegin :: enabled log(credmethod) with version: 2.00.0.0011 [RELEASE]", "2",
         [getInfo](HMODULE m) {
             PPP_EAP_INFO info = getInfo(m);
             PPP_EAP_INPUT input = {};
             void* work = nullptr;
             info.RasEapBegin(&work, &input);
             info.RasEapEnd(work);
         }},
    };
    for (const Case& c : cases) {
        ClearTraceLog();
        LoadPlugin();
        EXPECT_TRUE(TraceLines().empty());
        SetEnvironmentVariableA("TESTBED_TRACE_REFUSE", c.refused);
        c.call(plugin_);
        SetEnvironmentVariableA("TESTBED_TRACE_REFUSE", NULL);
        std::vector<std::string> lines = TraceLines();
        ASSERT_FALSE(lines.empty()) << c.banner;
        EXPECT_EQ(c.banner, lines[0]);
        // Registered now: no entry point registers again.
        getInfo(plugin_);
        int banners = 0;
        for (const std::string& line : TraceLines())
            banners += line.find("enabled log(") != std::string::npos;
        EXPECT_EQ(1, banners) << c.banner;
        UnloadPlugin();
    }
}

TEST_F(Tracing, CompanionResourceLibraryIsUsedWhenPresent)
{
    UnloadPlugin();
    LoadPlugin();
    GetInfo(6);
    EXPECT_FALSE(MappedInProcess(L"methodres.dll"));
    UnloadPlugin();

    ClearTraceLog();
    LoadPlugin(L"companion\\credmethod.dll");
    // Under the loader lock the plug-in maps no library and registers no tracing (whose banner
    // line reads the tracing key): both wait for the first entry point.
    EXPECT_FALSE(MappedInProcess(L"methodres.dll"));
    EXPECT_TRUE(TraceLines().empty());
    GetInfo(6);
    EXPECT_TRUE(MappedInProcess(L"methodres.dll"));
    EXPECT_EQ(nullptr, GetModuleHandleW(L"methodres.dll")); // mapped as resources, not loaded
    EXPECT_EQ("DllMain :: enabled log(credmethod) with version: 2.00.0.0011 [RELEASE]",
              TraceLines().at(0));
    // The host's uninitialisation releases it; the next entry point maps it again.
    PPP_EAP_INFO info = {};
    info.dwSizeInBytes = sizeof(info);
    ASSERT_EQ(0u, ((GetInfoFn)Export("RasEapGetInfo"))(6, &info));
    EXPECT_EQ(0u, info.RasEapInitialize(FALSE));
    EXPECT_FALSE(MappedInProcess(L"methodres.dll"));
    GetInfo(6);
    EXPECT_TRUE(MappedInProcess(L"methodres.dll"));
    UnloadPlugin();
}

} // namespace
