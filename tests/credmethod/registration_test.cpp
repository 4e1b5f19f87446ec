// Registration under the RAS EAP method key, in-process with injected registry failures and
// through Wine's regsvr32.
#include <windows.h>

#include <string>
#include <vector>

#include "plugin_harness.h"
#include "test_support.h"

namespace {

const WCHAR kEapKey[] = L"System\\CurrentControlSet\\Services\\RasMan\\PPP\\EAP";
const WCHAR kMethodKey[] = L"System\\CurrentControlSet\\Services\\RasMan\\PPP\\EAP\\6";

struct ExpectedValue {
    const wchar_t* name;
    DWORD type;
    DWORD number;
    const wchar_t* text; // null: the plug-in's full path
};

const ExpectedValue kValues[] = {
    {L"FriendlyName", REG_SZ, 0, L"EAP-Token"},
    {L"InvokeUsernameDialog", REG_DWORD, 0, nullptr},
    {L"InvokePasswordDialog", REG_DWORD, 0, nullptr},
    {L"StandaloneSupported", REG_DWORD, 1, nullptr},
    {L"PerPolicyConfig", REG_DWORD, 1, nullptr},
    {L"RolesSupported", REG_DWORD, 23, nullptr},
    {L"MPPEEncryptionSupported", REG_DWORD, 0, nullptr},
    {L"Properties", REG_DWORD, 262210, nullptr},
    {L"Path", REG_SZ, 0, nullptr},
    {L"ConfigUIPath", REG_SZ, 0, nullptr},
    {L"IdentityPath", REG_SZ, 0, nullptr},
    {L"InteractiveUIPath", REG_SZ, 0, nullptr},
};

void RemoveMethodKey()
{
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kMethodKey);
}

bool KeyExists(const WCHAR* path)
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

int CountValues()
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kMethodKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return -1;
    DWORD count = 0;
    RegQueryInfoKeyW(key, NULL, NULL, NULL, NULL, NULL, NULL, &count, NULL, NULL, NULL, NULL);
    RegCloseKey(key);
    return (int)count;
}

// Checks values [0, count) exactly and that the others are absent.
void ExpectValues(size_t count, const std::wstring& path)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, kMethodKey, 0, KEY_READ, &key));
    for (size_t i = 0; i < ARRAYSIZE(kValues); i++) {
        const ExpectedValue& v = kValues[i];
        BYTE data[1024];
        DWORD type = 0, size = sizeof(data);
        LONG status = RegQueryValueExW(key, v.name, NULL, &type, data, &size);
        if (i >= count) {
            EXPECT_EQ(ERROR_FILE_NOT_FOUND, status) << "unexpected value " << i;
            continue;
        }
        ASSERT_EQ(ERROR_SUCCESS, status) << "missing value " << i;
        EXPECT_EQ(v.type, type) << i;
        if (v.type == REG_DWORD) {
            EXPECT_EQ(4u, size);
            EXPECT_EQ(v.number, *(DWORD*)data) << i;
        } else {
            std::wstring expected = v.text ? v.text : path;
            EXPECT_EQ((expected.size() + 1) * 2, size) << i;
            EXPECT_EQ(expected, std::wstring((WCHAR*)data)) << i;
        }
    }
    RegCloseKey(key);
    EXPECT_EQ((int)count, CountValues());
}

class Registration : public PluginTest {
protected:
    void SetUp() override
    {
        RemoveMethodKey();
        PluginTest::SetUp();
        EntryTable(); // a host calls RasEapGetInfo first: the load-time banner is behind us
        ClearTraceLog();
        register_ = (RegisterFn)Export("DllRegisterServer");
        unregister_ = (RegisterFn)Export("DllUnregisterServer");
    }
    void TearDown() override
    {
        PluginTest::TearDown();
        RemoveMethodKey();
    }
    std::wstring PluginPath() { return TestDir() + L"credmethod.dll"; }
    RegisterFn register_, unregister_;
};

TEST_F(Registration, RegistersTwelveValuesAndUnregisters)
{
    EXPECT_EQ(S_OK, register_());
    ExpectValues(ARRAYSIZE(kValues), PluginPath());
    EXPECT_EQ(S_OK, register_()); // twice: same values
    ExpectValues(ARRAYSIZE(kValues), PluginPath());
    EXPECT_EQ(std::vector<std::string>(
                  {"DllRegisterServer :: exit(0)", "DllRegisterServer :: exit(0)"}),
              TraceLines());

    ClearTraceLog();
    EXPECT_EQ(S_OK, unregister_());
    EXPECT_FALSE(KeyExists(kMethodKey));
    EXPECT_TRUE(KeyExists(kEapKey));
    EXPECT_EQ((HRESULT)0x80070002, unregister_());
    EXPECT_EQ(std::vector<std::string>({"DllUnregisterServer :: exit(0)",
                                        "DllUnregisterServer :: subkey 6 could not be deleted",
                                        "DllUnregisterServer :: exit(2)"}),
              TraceLines());
}

int g_failCall, g_calls;
LONG g_failStatus;
decltype(&RegCreateKeyExW) g_realCreate = RegCreateKeyExW;
decltype(&RegSetValueExW) g_realSetValue = RegSetValueExW;
decltype(&RegOpenKeyExW) g_realOpen = RegOpenKeyExW;
decltype(&RegDeleteKeyW) g_realDelete = RegDeleteKeyW;

void ArmFailure(int call, LONG status)
{
    g_calls = 0;
    g_failCall = call;
    g_failStatus = status;
}

LONG WINAPI FailingCreate(HKEY key, LPCWSTR sub, DWORD r, LPWSTR cls, DWORD opt, REGSAM sam,
                          LPSECURITY_ATTRIBUTES sa, PHKEY result, LPDWORD disp)
{
    if (++g_calls == g_failCall) {
        *result = (HKEY)0xdeadbeef; // a failing call's output must not be trusted
        return g_failStatus;
    }
    return g_realCreate(key, sub, r, cls, opt, sam, sa, result, disp);
}

LONG WINAPI FailingSetValue(HKEY key, LPCWSTR name, DWORD r, DWORD type, const BYTE* data,
                            DWORD size)
{
    return ++g_calls == g_failCall ? g_failStatus : g_realSetValue(key, name, r, type, data, size);
}

LONG WINAPI FailingOpen(HKEY key, LPCWSTR sub, DWORD opt, REGSAM sam, PHKEY result)
{
    if (++g_calls == g_failCall) {
        *result = (HKEY)0xdeadbeef;
        return g_failStatus;
    }
    return g_realOpen(key, sub, opt, sam, result);
}

LONG WINAPI FailingDelete(HKEY key, LPCWSTR sub)
{
    return ++g_calls == g_failCall ? g_failStatus : g_realDelete(key, sub);
}

TEST_F(Registration, KeyFailuresStopRegistration)
{
    ImportPatch patch(plugin_, "advapi32.dll", "RegCreateKeyExW", (void*)FailingCreate);
    struct Case {
        int failCall;
        LONG status;
        HRESULT expected;
        std::vector<std::string> lines;
        bool subkeyExists;
    } cases[] = {
        {1,
         ERROR_ACCESS_DENIED,
         (HRESULT)0x80070005,
         {"DllRegisterServer :: RasMan not properly installed\n", "DllRegisterServer :: exit(5)"},
         false},
        {2,
         ERROR_OUTOFMEMORY,
         (HRESULT)0x8007000E,
         {"DllRegisterServer :: subkey 6 could not be created", "DllRegisterServer :: exit(14)"},
         false},
        {2,
         0x12345,
         (HRESULT)0x80072345,
         {"DllRegisterServer :: subkey 6 could not be created", "DllRegisterServer :: exit(74565)"},
         false},
    };
    for (const Case& c : cases) {
        ClearTraceLog();
        ArmFailure(c.failCall, c.status);
        EXPECT_EQ(c.expected, register_());
        EXPECT_EQ(c.lines, TraceLines());
        EXPECT_EQ(c.subkeyExists, KeyExists(kMethodKey));
    }
}

TEST_F(Registration, ValueFailureStopsAtThatValue)
{
    ImportPatch patch(plugin_, "advapi32.dll", "RegSetValueExW", (void*)FailingSetValue);
    for (size_t failing = 0; failing < ARRAYSIZE(kValues); failing++) {
        RemoveMethodKey();
        ClearTraceLog();
        ArmFailure((int)failing + 1, ERROR_ACCESS_DENIED);
        EXPECT_EQ((HRESULT)0x80070005, register_());
        ExpectValues(failing, PluginPath());
        std::string name(kValues[failing].name,
                         kValues[failing].name + wcslen(kValues[failing].name));
        EXPECT_EQ(std::vector<std::string>({"DllRegisterServer :: could not set " + name,
                                            "DllRegisterServer :: exit(5)"}),
                  TraceLines());
    }
}

TEST_F(Registration, UnregisterFailures)
{
    ASSERT_EQ(S_OK, register_());
    {
        ImportPatch patch(plugin_, "advapi32.dll", "RegOpenKeyExW", (void*)FailingOpen);
        ClearTraceLog();
        ArmFailure(1, ERROR_ACCESS_DENIED);
        EXPECT_EQ((HRESULT)0x80070005, unregister_());
        EXPECT_EQ(std::vector<std::string>(
                      {"DllUnregisterServer :: RasMan not properly installed\n",
                       "DllUnregisterServer :: exit(5)"}),
                  TraceLines());
    }
    {
        ImportPatch patch(plugin_, "advapi32.dll", "RegDeleteKeyW", (void*)FailingDelete);
        ClearTraceLog();
        ArmFailure(1, ERROR_ACCESS_DENIED);
        EXPECT_EQ((HRESULT)0x80070005, unregister_());
        EXPECT_EQ(std::vector<std::string>({"DllUnregisterServer :: subkey 6 could not be deleted",
                                            "DllUnregisterServer :: exit(5)"}),
                  TraceLines());
    }
    EXPECT_TRUE(KeyExists(kMethodKey));
}

TEST_F(Registration, Regsvr32RegistersAndUnregisters)
{
    UnloadPlugin();
    std::wstring path = PluginPath();
    std::string traceDir = TraceDir();
    ProcessResult reg = RunProcess(L"regsvr32 /s \"" + path + L"\"",
                                   L"TESTBED_TRACE_DIR=" +
                                       std::wstring(traceDir.begin(), traceDir.end()));
    EXPECT_EQ(0u, reg.exitCode) << reg.output;
    ExpectValues(ARRAYSIZE(kValues), path);
    EXPECT_TRUE(HasLine(TraceLines(), "DllRegisterServer :: exit(0)"));

    ProcessResult unreg = RunProcess(L"regsvr32 /s /u \"" + path + L"\"");
    EXPECT_EQ(0u, unreg.exitCode) << unreg.output;
    EXPECT_FALSE(KeyExists(kMethodKey));
    EXPECT_TRUE(KeyExists(kEapKey));
}

// The switches of the tracing key, seen by a debugger of the registering process.
TEST_F(Registration, DebuggerOutputFollowsTheTracingKey)
{
    UnloadPlugin();
    const char tracingKey[] = "Software\\Microsoft\\Tracing\\credmethod";
    struct Case {
        DWORD console, mask;
        bool shown;
    } cases[] = {{1, 0x80000, true}, {1, 0x10000, false}, {0, 0x80000, false}};
    for (const Case& c : cases) {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, tracingKey, 0, NULL, 0,
                                                 KEY_ALL_ACCESS, NULL, &key, NULL));
        RegSetValueExA(key, "EnableDebugConsoleLogging", 0, REG_DWORD, (const BYTE*)&c.console, 4);
        RegSetValueExA(key, "FileTracingMask", 0, REG_DWORD, (const BYTE*)&c.mask, 4);
        RegCloseKey(key);
        std::vector<std::string> strings;
        DWORD exitCode = 0xdeadbeef;
        ASSERT_TRUE(
            RunUnderDebugger(L"regsvr32 /s \"" + PluginPath() + L"\"", &strings, &exitCode));
        EXPECT_EQ(0u, exitCode);
        EXPECT_EQ(
            c.shown,
            HasLine(strings,
                    "DllMain :: enabled log(credmethod) with version: 2.00.0.0011 [RELEASE]"));
        EXPECT_EQ(c.shown, HasLine(strings, "DllRegisterServer :: exit(0)"));
    }
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, tracingKey);
}

} // namespace
