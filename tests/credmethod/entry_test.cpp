// Entry table, authentication start and end: credential sources in order, stored credentials
// through DPAPI, wiping of passwords, allocation failures.
#include <windows.h>
#include <wincrypt.h>

#include <string>
#include <vector>

#include "plugin_harness.h"
#include "records.h"

namespace {

typedef DWORD(WINAPI* FreeFn)(BYTE*);

EAP_NAME_DIALOG NameRecord(const wchar_t* identity, const wchar_t* password)
{
    EAP_NAME_DIALOG record = {};
    lstrcpynW(record.awszIdentity, identity, NAME_FIELD_CHARS);
    lstrcpynW(record.awszPassword, password, NAME_FIELD_CHARS);
    return record;
}

// A stored record as the message exchange saves it: ANSI name, protected password with its zero.
ENCRYPTED_USER_IDENTITY StoredRecord(const char* identity, const char* password)
{
    ENCRYPTED_USER_IDENTITY record = {};
    lstrcpynA(record.aszIdentity, identity, NAME_FIELD_CHARS);
    DATA_BLOB in = {(DWORD)strlen(password) + 1, (BYTE*)password}, out = {};
    EXPECT_TRUE(CryptProtectData(&in, NULL, NULL, NULL, NULL, 0, &out));
    EXPECT_LE(out.cbData, (DWORD)PROTECTED_BLOB_MAX);
    record.dwSizeOfProtectedPassword = out.cbData;
    memcpy(record.abProtectedPassword, out.pbData, out.cbData);
    LocalFree(out.pbData);
    return record;
}

bool AllZero(const void* data, size_t size)
{
    for (size_t i = 0; i < size; i++)
        if (((const BYTE*)data)[i])
            return false;
    return true;
}

class Entry : public PluginTest {
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        table_ = EntryTable();
        ClearTraceLog();
    }
    PPP_EAP_INFO table_;
};

TEST_F(Entry, GetInfoFillsTheTableForTypeSixOnly)
{
    PPP_EAP_INFO info;
    memset(&info, 0xde, sizeof(info));
    GetInfoFn getInfo = (GetInfoFn)Export("RasEapGetInfo");
    EXPECT_EQ(50u, getInfo(13, &info));
    EXPECT_TRUE(std::string((char*)&info, sizeof(info)) == std::string(sizeof(info), '\xde'));
    EXPECT_EQ(std::vector<std::string>(
                  {"RasEapGetInfo :: typeid = 13", "RasEapGetInfo :: error typeid = 13"}),
              TraceLines());
    EXPECT_EQ(0x1000Eu, ReadTraceLog()[1].flags);

    ClearTraceLog();
    EXPECT_EQ(0u, getInfo(6, &info));
    EXPECT_EQ(sizeof(PPP_EAP_INFO), info.dwSizeInBytes);
#ifdef _WIN64
    EXPECT_EQ(40u, info.dwSizeInBytes);
#else
    EXPECT_EQ(24u, info.dwSizeInBytes);
#endif
    EXPECT_EQ(6u, info.dwEapTypeId);
    for (void* slot : {(void*)info.RasEapInitialize, (void*)info.RasEapBegin, (void*)info.RasEapEnd,
                       (void*)info.RasEapMakeMessage}) {
        EXPECT_NE((void*)0xdededede, slot);
        EXPECT_NE(nullptr, slot);
    }
    EXPECT_EQ(std::vector<std::string>(
                  {"RasEapGetInfo :: typeid = 6", "RasEapGetInfo :: return NO_ERROR"}),
              TraceLines());
}

TEST_F(Entry, InitializeTracesItsFlag)
{
    EXPECT_EQ(0u, table_.RasEapInitialize(TRUE));
    EXPECT_EQ(0u, table_.RasEapInitialize(FALSE));
    EXPECT_EQ(std::vector<std::string>(
                  {"RasEapInitialize(1) :: Enter", "RasEapInitialize(1) :: return NO_ERROR",
                   "RasEapInitialize(0) :: Enter", "RasEapInitialize(0) :: return NO_ERROR"}),
              TraceLines());
}

TEST_F(Entry, BeginTakesTheFirstCredentialSource)
{
    EAP_NAME_DIALOG fromIdentity = NameRecord(L"record-user", L"identity-pass");
    EAP_NAME_DIALOG fromUi = NameRecord(L"ui-user", L"ui-pass");
    EAP_NAME_DIALOG fromConfig = NameRecord(L"config-user", L"config-pass");
    BYTE small[100] = {1};
    struct Case {
        const char* name;
        BYTE* userData;
        DWORD userSize;
        BYTE* uiData;
        DWORD uiSize;
        BYTE* configData;
        DWORD configSize;
        const wchar_t* identity;
        const wchar_t* password;
        const char* sourceLine;
        const char* expectedIdentity;
        const char* expectedPassword;
    } cases[] = {
        {"user data wins", (BYTE*)&fromIdentity, 2584, (BYTE*)&fromUi, 2584, (BYTE*)&fromConfig,
         2584, L"host\\name", L"std-pass",
         "RasEapBegin :: user data received from RasEapGetIdentity()", "host\\name",
         "identity-pass"},
        {"user data of another size is ignored", small, 100, (BYTE*)&fromUi, 2584,
         (BYTE*)&fromConfig, 2584, L"host", L"std-pass",
         "RasEapBegin :: user data received from RasEapInvokeInteractiveUI()", "ui-user",
         "ui-pass"},
        {"connection data", nullptr, 2584, (BYTE*)&fromUi, 2583, (BYTE*)&fromConfig, 2584, L"host",
         L"std-pass", "RasEapBegin :: user data received from RasEapInvokeConfigUI()",
         "config-user", "config-pass"},
        {"host strings", nullptr, 0, nullptr, 2584, (BYTE*)&fromConfig, 776, L"std-user",
         L"std-pass", "RasEapBegin :: user data received from the standard dialog", "std-user",
         "std-pass"},
        {"absent host strings", nullptr, 0, nullptr, 0, nullptr, 0, nullptr, nullptr,
         "RasEapBegin :: user data received from the standard dialog", "", ""},
    };
    for (const Case& c : cases) {
        ClearTraceLog();
        EAP_NAME_DIALOG userCopy = fromIdentity;
        PPP_EAP_INPUT in = {};
        in.dwSizeInBytes = sizeof(in);
        in.pUserData = c.userData == (BYTE*)&fromIdentity ? (BYTE*)&userCopy : c.userData;
        in.dwSizeOfUserData = c.userSize;
        in.pDataFromInteractiveUI = c.uiData;
        in.dwSizeOfDataFromInteractiveUI = c.uiSize;
        in.pConnectionData = c.configData;
        in.dwSizeOfConnectionData = c.configSize;
        in.pwszIdentity = (WCHAR*)c.identity;
        in.pwszPassword = (WCHAR*)c.password;
        void* work = (void*)0xdeadbeef;
        ASSERT_EQ(0u, table_.RasEapBegin(&work, &in)) << c.name;
        EAPCB* pwb = (EAPCB*)work;
        EXPECT_EQ(0, pwb->EapState) << c.name;
        EXPECT_STREQ(c.expectedIdentity, pwb->aszIdentity) << c.name;
        EXPECT_STREQ(c.expectedPassword, pwb->aszPassword) << c.name;
        EXPECT_TRUE(HasLine(TraceLines(), c.sourceLine)) << c.name;
        if (in.pUserData == (BYTE*)&userCopy) {
            EXPECT_TRUE(AllZero(&userCopy, sizeof(userCopy))) << "user data block not zeroed";
        }
        EXPECT_EQ(0u, table_.RasEapEnd(work));
    }
}

TEST_F(Entry, BeginTracesItsInput)
{
    PPP_EAP_INPUT in = {};
    in.fFlags = 0x1FF;
    in.pwszIdentity = (WCHAR*)L"bob";
    void* work = nullptr;
    ASSERT_EQ(0u, table_.RasEapBegin(&work, &in));
    char pointer[64];
    snprintf(pointer, sizeof(pointer), "RasEapBegin :: Returning status 0 with %08X ppWorkBuffer",
             (unsigned)(ULONG_PTR)work);
    table_.RasEapEnd(work);
    std::vector<std::string> expected = {"RasEapBegin :: called",
                                         "RasEapBegin :: flags=0x1FF",
                                         "RasEapBegin :: RAS_EAP_FLAG_NON_ROUTER",
                                         "RasEapBegin :: RAS_EAP_FLAG_NON_INTERACTIVE",
                                         "RasEapBegin :: RAS_EAP_FLAG_LOGON",
                                         "RasEapBegin :: RAS_EAP_FLAG_PREVIEW",
                                         "RasEapBegin :: RAS_EAP_FLAG_FIRST_LINK",
                                         "RasEapBegin :: RAS_EAP_FLAG_MACHINE_AUTH",
                                         "RasEapBegin :: RAS_EAP_FLAG_GUEST_ACCESS",
                                         "RasEapBegin :: RAS_EAP_FLAG_8021X_AUTH",
                                         "RasEapBegin :: RAS_EAP_FLAG_HOSTED_IN_PEAP",
                                         "RasEapBegin :: pwszIdentity : bob",
                                         "RasEapBegin :: pUserData: 00000000",
                                         "RasEapBegin :: dwSizeOfUserData: 0",
                                         "RasEapBegin :: pConnectionData: (null)",
                                         "RasEapBegin :: dwSizeOfConnectionData: 0",
                                         "RasEapBegin :: fDataReceivedFromInteractiveUI: 0",
                                         "RasEapBegin :: pDataFromInteractiveUI: (null)",
                                         "RasEapBegin :: dwSizeOfDataFromInteractiveUI: 0",
                                         "RasEapBegin :: size of EAP_NAME_DIALOG: 2584",
                                         "RasEapBegin :: size of ENCRYPTED_USER_IDENTITY: 776",
                                         std::string("RasEapBegin :: size of EAPCB: ") +
                                             std::to_string(sizeof(EAPCB))};
    std::vector<std::string> lines = TraceLines();
    ASSERT_GE(lines.size(), expected.size() + 3);
    EXPECT_EQ(expected, std::vector<std::string>(lines.begin(), lines.begin() + expected.size()));
    EXPECT_EQ("RasEapBegin :: Save user identity in the work buffer", lines[expected.size() + 1]);
    EXPECT_TRUE(HasLine(lines, pointer));
    EXPECT_EQ("RasEapEnd :: return NO_ERROR", lines.back());
}

TEST_F(Entry, UnterminatedRecordFieldsAreReadWithinTheirBounds)
{
    EAP_NAME_DIALOG record;
    for (WCHAR& c : record.awszIdentity)
        c = L'u';
    for (WCHAR& c : record.awszPassword)
        c = L'p';
    for (WCHAR& c : record.awszDomain)
        c = L'd';
    PPP_EAP_INPUT in = {};
    in.pDataFromInteractiveUI = (BYTE*)&record;
    in.dwSizeOfDataFromInteractiveUI = sizeof(record);
    void* work = nullptr;
    ASSERT_EQ(0u, table_.RasEapBegin(&work, &in));
    EXPECT_EQ(std::string(256, 'u'), ((EAPCB*)work)->aszIdentity);
    EXPECT_EQ(std::string(256, 'p'), ((EAPCB*)work)->aszPassword);
    table_.RasEapEnd(work);
    // Shown as text in the trace, an unterminated user name must not run on into the password.
    std::vector<std::string> lines = TraceLines();
    EXPECT_TRUE(HasLine(lines, "RasEapBegin :: pDataFromInteractiveUI: " + std::string(256, 'u')));
    for (const std::string& line : lines)
        EXPECT_EQ(std::string::npos, line.find("upp")) << line;
}

TEST_F(Entry, StoredCredentialsDecryptThroughDpapi)
{
    struct Case {
        const char* name;
        int damage; // 0 none, 1 zero-length blob, 2 length beyond the field, 3 flipped byte
        const char* expectedPassword;
        const char* decryptLine;
    } cases[] = {
        {"intact", 0, "stored-pass", "DecryptData :: decryption succeeded"},
        // A record that cannot be read counts as none: the host's own credentials are taken.
        {"zero-length blob", 1, nullptr, "DecryptData :: decryption failed"},
        {"length beyond the blob field", 2, nullptr, "DecryptData :: decryption failed"},
        {"damaged blob", 3, nullptr, "DecryptData :: decryption failed"},
    };
    for (const Case& c : cases) {
        ClearTraceLog();
        ENCRYPTED_USER_IDENTITY stored = StoredRecord("corp\\carol", "stored-pass");
        if (c.damage == 1)
            stored.dwSizeOfProtectedPassword = 0;
        if (c.damage == 2)
            stored.dwSizeOfProtectedPassword = 513;
        if (c.damage == 3)
            stored.abProtectedPassword[stored.dwSizeOfProtectedPassword - 1] ^= 0x5A;
        ENCRYPTED_USER_IDENTITY before = stored;
        PPP_EAP_INPUT in = {};
        in.pUserData = (BYTE*)&stored;
        in.dwSizeOfUserData = sizeof(stored);
        in.pwszIdentity = (WCHAR*)L"host-identity";
        AllocatorProbe probe(plugin_, 0, 0, "stored-pass");
        void* work = (void*)0xdeadbeef;
        ASSERT_EQ(0u, table_.RasEapBegin(&work, &in)) << c.name;
        bool readable = c.expectedPassword != nullptr;
        EXPECT_STREQ(readable ? "corp\\carol" : "host-identity", ((EAPCB*)work)->aszIdentity)
            << c.name;
        EXPECT_STREQ(readable ? c.expectedPassword : "", ((EAPCB*)work)->aszPassword) << c.name;
        EXPECT_EQ(0, memcmp(&before, &stored, sizeof(stored))) << "the host's record is the host's";
        std::vector<std::string> lines = TraceLines();
        EXPECT_TRUE(
            HasLine(lines, readable
                               ? "RasEapBegin :: user data received from the registry"
                               : "RasEapBegin :: user data received from the standard dialog"));
        EXPECT_TRUE(HasLine(lines, c.decryptLine)) << c.name;
        EXPECT_TRUE(HasLine(lines, readable ? "RasEapBegin :: username : corp\\carol"
                                            : "RasEapBegin :: username : host-identity"));
        if (c.damage == 0) {
            EXPECT_TRUE(HasLine(lines, "DecryptData :: size of the decrypted data : 12"));
        }
        EXPECT_EQ(0, probe.SecretsFreed()) << c.name << ": decrypted password released unwiped";
        EXPECT_EQ(0u, table_.RasEapEnd(work));
        EXPECT_EQ(0, probe.SecretsFreed()) << c.name << ": work buffer released unwiped";
    }
}

TEST_F(Entry, BeginAllocationFailures)
{
    ENCRYPTED_USER_IDENTITY stored = StoredRecord("dave", "pw");
    struct Case {
        const char* name;
        bool storedSource;
        int failAt;
        DWORD lastError;
        DWORD expected;
        const char* line;
        DWORD lineFlags;
    } cases[] = {
        {"work buffer", false, 1, ERROR_OUTOFMEMORY, 8, "RasEapBegin :: Not enough memory",
         0x1000E},
        {"copy of stored record", true, 2, ERROR_OUTOFMEMORY, ERROR_OUTOFMEMORY,
         "RasEapBegin :: Out of memory", 0x1000E},
        {"copy of stored record, no last error", true, 2, 0, 8, "RasEapBegin :: Out of memory",
         0x1000E},
    };
    for (const Case& c : cases) {
        ClearTraceLog();
        PPP_EAP_INPUT in = {};
        if (c.storedSource) {
            in.pUserData = (BYTE*)&stored;
            in.dwSizeOfUserData = sizeof(stored);
        }
        AllocatorProbe probe(plugin_, c.failAt, c.lastError);
        void* work = (void*)0xdeadbeef;
        EXPECT_EQ(c.expected, table_.RasEapBegin(&work, &in)) << c.name;
        EXPECT_EQ((void*)0xdeadbeef, work) << c.name;
        EXPECT_EQ(probe.Allocations() - 1, probe.Frees())
            << c.name << ": every block obtained is released";
        bool found = false;
        for (const TraceRecord& r : ReadTraceLog())
            if (r.text == c.line) {
                found = true;
                EXPECT_EQ(c.lineFlags, r.flags);
            }
        EXPECT_TRUE(found) << c.name;
    }
}

TEST_F(Entry, EndWipesThePasswordBeforeRelease)
{
    PPP_EAP_INPUT in = {};
    in.pwszIdentity = (WCHAR*)L"erin";
    in.pwszPassword = (WCHAR*)L"S3cretPass";
    void* work = nullptr;
    ASSERT_EQ(0u, table_.RasEapBegin(&work, &in));
    ClearTraceLog();
    AllocatorProbe probe(plugin_, 0, 0, "S3cretPass");
    EXPECT_EQ(0u, table_.RasEapEnd(work));
    EXPECT_EQ(1, probe.Frees());
    EXPECT_EQ(0, probe.SecretsFreed());
    EXPECT_EQ(std::vector<std::string>({"RasEapEnd :: called", "RasEapEnd :: return NO_ERROR"}),
              TraceLines());
}

TEST_F(Entry, EndOfNothing)
{
    EXPECT_EQ(0u, table_.RasEapEnd(nullptr));
    EXPECT_EQ(std::vector<std::string>({"RasEapEnd :: called"}), TraceLines());
}

TEST_F(Entry, BeginRejectsMissingArguments)
{
    PPP_EAP_INPUT in = {};
    void* work = (void*)0xdeadbeef;
    EXPECT_EQ((DWORD)ERROR_INVALID_PARAMETER, table_.RasEapBegin(nullptr, &in));
    EXPECT_EQ((DWORD)ERROR_INVALID_PARAMETER, table_.RasEapBegin(&work, nullptr));
    EXPECT_EQ((void*)0xdeadbeef, work);
}

TEST_F(Entry, FreeMemoryWipesAndReleasesHandedOutBlocks)
{
    FreeFn freeMemory = (FreeFn)Export("RasEapFreeMemory");
    BYTE* block = (BYTE*)LocalAlloc(LPTR, sizeof(EAP_NAME_DIALOG));
    lstrcpyW(((EAP_NAME_DIALOG*)block)->awszPassword, L"S3cretPass");
    AllocatorProbe probe(plugin_, 0, 0, "S3cretPass");
    EXPECT_EQ(0u, freeMemory(block));
    EXPECT_EQ(0u, freeMemory(nullptr));
    EXPECT_EQ(1, probe.Frees());
    EXPECT_EQ(0, probe.SecretsFreed());
    EXPECT_TRUE(TraceLines().empty());
}

} // namespace
