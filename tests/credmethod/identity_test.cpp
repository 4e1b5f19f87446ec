// Identity retrieval without a dialog: from stored credentials, the request for interaction,
// bad user data, allocation failures. (The dialog cases run through the emulated host.)
#include <windows.h>
#include <raseapif.h>
#include <wincrypt.h>

#include <string>
#include <vector>

#include "plugin_harness.h"
#include "records.h"

namespace {

typedef DWORD(WINAPI* GetIdentityFn)(DWORD, HWND, DWORD, const WCHAR*, const WCHAR*, BYTE*, DWORD,
                                     BYTE*, DWORD, BYTE**, DWORD*, WCHAR**);

struct IdentityResult {
    DWORD status;
    BYTE* data;
    DWORD size;
    WCHAR* identity;
};

ENCRYPTED_USER_IDENTITY Stored(const char* name)
{
    ENCRYPTED_USER_IDENTITY record = {};
    lstrcpynA(record.aszIdentity, name, NAME_FIELD_CHARS);
    // A password that unprotects: a record that does not counts as none.
    DATA_BLOB in = {3, (BYTE*)"pw"}, out = {};
    if (CryptProtectData(&in, NULL, NULL, NULL, NULL, 0, &out) && out.cbData <= 512) {
        record.dwSizeOfProtectedPassword = out.cbData;
        memcpy(record.abProtectedPassword, out.pbData, out.cbData);
    }
    LocalFree(out.pbData);
    record.abReserved[1] = 0x77; // copied as it is, whatever it holds
    return record;
}

class Identity : public PluginTest {
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        EntryTable(); // a host calls RasEapGetInfo first: the load-time banner is behind us
        ClearTraceLog();
    }
    IdentityResult Get(DWORD flags, const void* userData, DWORD size)
    {
        IdentityResult r = {0, (BYTE*)0xdeadbeef, 0xdeadbeef, (WCHAR*)0xdeadbeef};
        r.status = ((GetIdentityFn)Export("RasEapGetIdentity"))(6, NULL, flags, L"book", L"entry",
                                                                NULL, 0, (BYTE*)userData, size,
                                                                &r.data, &r.size, &r.identity);
        return r;
    }
    void Release(const IdentityResult& r)
    {
        FreeMemoryFn freeMemory = (FreeMemoryFn)Export("RasEapFreeMemory");
        freeMemory(r.data);
        freeMemory((BYTE*)r.identity);
    }
};

bool Untouched(const IdentityResult& r)
{
    return r.data == (BYTE*)0xdeadbeef && r.size == 0xdeadbeef && r.identity == (WCHAR*)0xdeadbeef;
}

TEST_F(Identity, NonInteractiveWithoutStoredCredentialsAsksForInteraction)
{
    BYTE small[100] = {'x', 'y', 0};
    struct Case {
        const void* data;
        DWORD size;
        const char* userDataLine;
    } cases[] = {
        {nullptr, 0, "RasEapGetIdentity :: pUserDataIn: (null)"},
        {small, sizeof(small), "RasEapGetIdentity :: pUserDataIn: xy"},
        {small, 775, "RasEapGetIdentity :: pUserDataIn: xy"},
    };
    for (const Case& c : cases) {
        ClearTraceLog();
        AllocatorProbe probe(plugin_, 0, 0);
        IdentityResult r = Get(0x2 | 0x80, c.data, c.size);
        EXPECT_EQ(703u, r.status);
        EXPECT_TRUE(Untouched(r));
        EXPECT_EQ(0, probe.Allocations());
        std::vector<std::string> expected = {
            "RasEapGetIdentity :: called",
            "RasEapGetIdentity :: id=6",
            "RasEapGetIdentity :: flags=0x82",
            "RasEapGetIdentity :: pwszPhonebook: book",
            "RasEapGetIdentity :: pwszEntry: entry",
            "RasEapGetIdentity :: pConnectionDataIn: (null)",
            "RasEapGetIdentity :: dwSizeOfConnectionDataIn: 0",
            c.userDataLine,
            "RasEapGetIdentity :: dwSizeOfUserDataIn: " + std::to_string(c.size),
            "RasEapGetIdentity :: ppUserDataOut: DEADBEEF",
            "RasEapGetIdentity :: pdwSizeOfUserDataOut: -559038737",
            "RasEapGetIdentity :: ppwszIdentity: DEADBEEF",
            "RasEapGetIdentity :: RAS_EAP_FLAG_NON_INTERACTIVE",
            "RasEapGetIdentity :: RAS_EAP_FLAG_8021X_AUTH",
            "RasEapGetIdentity :: There are no saved credentials",
            "RasEapGetIdentity :: Return ERROR_INTERACTIVE_MODE to prompt for username and password",
            "RasEapGetIdentity :: free memory, 00000000, 00000000",
            "RasEapGetIdentity :: Returning 703",
        };
        EXPECT_EQ(expected, TraceLines());
    }
}

INT_PTR WINAPI FailingDialogBox(HINSTANCE, LPCWSTR, HWND, DLGPROC, LPARAM)
{
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return -1;
}

TEST_F(Identity, CredentialsDialogThatCannotOpenIsAFailure)
{
    ImportPatch patch(plugin_, "user32.dll", "DialogBoxParamW", (void*)FailingDialogBox);
    ASSERT_TRUE(patch.Installed());
    AllocatorProbe probe(plugin_, 0, 0);
    IdentityResult r = Get(0x80, nullptr, 0);
    EXPECT_EQ((DWORD)ERROR_RESOURCE_NAME_NOT_FOUND, r.status);
    EXPECT_TRUE(Untouched(r));
    std::vector<std::string> lines = TraceLines();
    EXPECT_TRUE(HasLine(lines, "GetUsernameAndPassword :: error opening dialog, status: 1814"));
    bool errorLevel = false;
    for (const TraceRecord& record : ReadTraceLog())
        errorLevel |=
            record.text ==
                "RasEapGetIdentity :: the credentials dialog could not be opened, error 1814" &&
            (record.flags & 0x10000);
    EXPECT_TRUE(errorLevel);
    EXPECT_EQ("RasEapGetIdentity :: Returning 1814", lines.back());
}

TEST_F(Identity, CredentialsDialogWithABadParentIsAFailure)
{
    // DialogBoxParamW returns 0, not -1, for a parent that is no window.
    AllocatorProbe probe(plugin_, 0, 0);
    IdentityResult r = {0, (BYTE*)0xdeadbeef, 0xdeadbeef, (WCHAR*)0xdeadbeef};
    r.status = ((GetIdentityFn)Export("RasEapGetIdentity"))(6, (HWND)(ULONG_PTR)0xdead0, 0x80,
                                                            L"book", L"entry", NULL, 0, NULL, 0,
                                                            &r.data, &r.size, &r.identity);
    EXPECT_NE(0u, r.status);
    EXPECT_NE((DWORD)ERROR_CANCELLED, r.status);
    EXPECT_TRUE(Untouched(r));
    EXPECT_TRUE(HasLine(TraceLines(), "GetUsernameAndPassword :: unknown error opening dialog: 0"));
}

TEST_F(Identity, StoredCredentialsAreHandedBackWithoutDialog)
{
    std::string longName(256, 'n');
    ENCRYPTED_USER_IDENTITY unterminated = Stored("");
    memset(unterminated.aszIdentity, 'u', sizeof(unterminated.aszIdentity));
    ENCRYPTED_USER_IDENTITY nonAscii = Stored("CORP\\j\xF6rg"); // system ANSI code page
    struct Case {
        ENCRYPTED_USER_IDENTITY record;
        DWORD flags;
        std::wstring identity;
    } cases[] = {
        {Stored("CORP\\alice"), 0x2, L"CORP\\alice"},
        {Stored("CORP\\alice"), 0, L"CORP\\alice"},
        {Stored(longName.c_str()), 0x2, std::wstring(256, L'n')},
        {unterminated, 0x2, std::wstring(256, L'u')},
        {nonAscii, 0, L"CORP\\j\u00f6rg"},
    };
    for (const Case& c : cases) {
        ClearTraceLog();
        ENCRYPTED_USER_IDENTITY before = c.record;
        IdentityResult r = Get(c.flags, &c.record, sizeof(c.record));
        ASSERT_EQ(0u, r.status);
        ASSERT_EQ(776u, r.size);
        EXPECT_EQ(0, memcmp(r.data, &before, 776)) << "a byte-for-byte copy";
        EXPECT_NE((BYTE*)&c.record, r.data);
        EXPECT_EQ(776u, LocalSize(r.data));
        EXPECT_EQ(c.identity, r.identity);
        EXPECT_EQ(514u, LocalSize(r.identity));
        std::vector<std::string> lines = TraceLines();
        EXPECT_TRUE(HasLine(lines, "RasEapGetIdentity :: use the saved credentials"));
        EXPECT_FALSE(HasLine(lines, "RasEapGetIdentity :: prompt for username and password"));
        EXPECT_EQ("RasEapGetIdentity :: Returning 0", lines.back());
        Release(r);
    }
}

TEST_F(Identity, AllocationFailuresHandOutNothing)
{
    ENCRYPTED_USER_IDENTITY record = Stored("alice");
    struct Case {
        int failAt;
        DWORD lastError;
        DWORD expected;
        DWORD lineFlags;
    } cases[] = {
        {1, ERROR_OUTOFMEMORY, ERROR_OUTOFMEMORY, 0x1000E},
        {2, ERROR_NOT_ENOUGH_QUOTA, ERROR_NOT_ENOUGH_QUOTA, 0x1000E},
        {3, ERROR_OUTOFMEMORY, ERROR_OUTOFMEMORY, 0x8000E},
        {3, 0, ERROR_NOT_ENOUGH_MEMORY, 0x8000E},
    };
    for (const Case& c : cases) {
        ClearTraceLog();
        AllocatorProbe probe(plugin_, c.failAt, c.lastError);
        IdentityResult r = Get(0x2, &record, sizeof(record));
        EXPECT_EQ(c.expected, r.status) << c.failAt;
        EXPECT_TRUE(Untouched(r)) << c.failAt;
        EXPECT_EQ(c.failAt, probe.Allocations()) << c.failAt;
        // every block obtained is released, and the output of the saved password's check
        EXPECT_EQ(c.failAt, probe.Frees()) << c.failAt;
        DWORD flags = 0;
        for (const TraceRecord& t : ReadTraceLog())
            if (t.text == "RasEapGetIdentity :: Out of memory")
                flags = t.flags;
        EXPECT_EQ(c.lineFlags, flags) << c.failAt;
        EXPECT_EQ("RasEapGetIdentity :: Returning " + std::to_string(c.expected),
                  TraceLines().back());
    }
}

} // namespace
