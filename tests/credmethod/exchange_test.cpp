// The GTC exchange: exact packets sent, outputs handed to the host, state moves, trace lines and
// their levels, the stored record through the real DPAPI, and every failure of the platform calls.
#include <windows.h>
#include <wincrypt.h>

#include <string>
#include <vector>

#include "exchange_driver.h"

namespace {

const PPP_EAP_ACTION kNoAction = EAPACTION_NoAction;

Bytes Sent(const MessageResult& r, size_t count)
{
    return Bytes(r.sent.begin(), r.sent.begin() + count);
}

bool Untouched(const MessageResult& r)
{
    for (BYTE b : r.sent)
        if (b != kUnwritten)
            return false;
    return r.guardIntact;
}

// Flags with which the line reached the tracing service; 0 when it did not.
DWORD LineFlags(const std::string& line)
{
    for (const TraceRecord& r : ReadTraceLog())
        if (r.kind == 'T' && r.text == line)
            return r.flags;
    return 0;
}

std::string Unprotect(const BYTE* blob, DWORD size)
{
    DATA_BLOB in = {size, (BYTE*)blob}, out = {};
    if (!CryptUnprotectData(&in, NULL, NULL, NULL, NULL, 0, &out))
        return "<unprotect failed>";
    std::string text((const char*)out.pbData, out.cbData);
    LocalFree(out.pbData);
    return text;
}

std::wstring Prompt(const PPP_EAP_OUTPUT& out)
{
    return ((const EAP_UI_CONTEXT*)out.pUIContextData)->awszPrompt;
}

TEST_F(ExchangeTest, FirstRequestIsAnsweredWithThePassword)
{
    struct Case {
        const wchar_t* password;
        BYTE id;
        Bytes expected;
    } cases[] = {
        {L"abc", 7, {2, 7, 0, 8, 6, 'a', 'b', 'c', 0}},
        {L"", 200, {2, 200, 0, 5, 6, 0}},
        {L"p\u00e9", 0, {2, 0, 0, 7, 6, 'p', 0xE9, 0}}, // system ANSI code page
    };
    for (const Case& c : cases) {
        Begin(L"alice", c.password);
        MessageResult r = Receive(MakeEapTyped(1, c.id, 6, Text("Password:")));
        EXPECT_EQ(0u, r.status);
        EXPECT_EQ(c.expected, Sent(r, c.expected.size()));
        EXPECT_EQ(kUnwritten, r.sent[c.expected.size()]) << "one zero after the text, no more";
        EXPECT_EQ(EAPACTION_Send, r.out.Action);
        EXPECT_EQ(FALSE, r.out.fSaveUserData);
        EXPECT_EQ(FALSE, r.out.fInvokeInteractiveUI);
        EXPECT_EQ(4, Work()->EapState);
        table_.RasEapEnd(work_);
        work_ = nullptr;
    }
    for (const std::string& line : TraceLines())
        EXPECT_EQ(std::string::npos, line.find("p\xE9")) << "a password traced: " << line;
    std::vector<std::string> dumps;
    for (const TraceRecord& rec : ReadTraceLog())
        if (rec.kind == 'D')
            dumps.push_back(std::to_string(rec.flags) + " " + rec.text);
    EXPECT_EQ(std::vector<std::string>(
                  {"524295 0100000E0650617373776F72643A", "262151 50617373776F72643A"}),
              dumps)
        << "the packet at the detail level, its Type-Data at the protocol level";
    EXPECT_EQ(0x4000Eu, LineFlags("RasEapMakeMessage :: Got EAPCODE_Request"));
    EXPECT_EQ(0x4000Eu, LineFlags("RasEapMakeMessage :: EAPCODE_Request message with len:9 :"));
    EXPECT_EQ(0x4000Eu, LineFlags("RasEapMakeMessage :: Send user credentials"));
    EXPECT_EQ(0x8000Eu, LineFlags("RasEapMakeMessage :: return 0"));
}

TEST_F(ExchangeTest, LaterRequestAsksForTheTokenDialog)
{
    Begin(L"alice", L"pw");
    ReturnBlocks(Receive(MakeEapTyped(1, 1, 6, Text("Password:"))).out);
    struct Case {
        Bytes packet;
        std::wstring prompt;
    } cases[] = {
        {MakeEapTyped(1, 42, 6, Text("Enter your token code:")), L"Enter your token code:"},
        {RawPacket(1, 43, 5, {6}), L""},
        // UTF-8 decoded; the Type byte is not examined.
        {MakeEapTyped(1, 44, 9,
                      Text("C\xC3\xB3"
                           "digo \xE2\x82\xAC \xF0\x9F\x94\x91")),
         L"C\u00f3digo \u20ac \U0001F511"},
        {MakeEapTyped(1, 45, 6,
                      Text("a\xFF"
                           "b\xC3")),
         L"a\uFFFDb\uFFFD"},
        {MakeEapTyped(1, 46, 6, Bytes(300, 'x')), std::wstring(260, L'x')},
        // Cut at 260 units, never between the halves of a pair.
        {MakeEapTyped(1, 47, 6, Text(std::string(259, 'x') + "\xF0\x9F\x94\x91")),
         std::wstring(259, L'x')},
        {MakeEapTyped(1, 48, 6, Text(std::string(258, 'x') + "\xF0\x9F\x94\x91")),
         std::wstring(258, L'x') + L"\U0001F511"},
    };
    for (const Case& c : cases) {
        ClearTraceLog();
        MessageResult r = Receive(c.packet);
        EXPECT_EQ(0u, r.status);
        EXPECT_TRUE(Untouched(r)) << "no Response";
        EXPECT_EQ(kNoAction, r.out.Action);
        EXPECT_EQ(TRUE, r.out.fSaveUserData);
        EXPECT_EQ(nullptr, r.out.pUserData);
        EXPECT_EQ(0u, r.out.dwSizeOfUserData);
        EXPECT_EQ(TRUE, r.out.fInvokeInteractiveUI);
        ASSERT_NE(nullptr, r.out.pUIContextData);
        EXPECT_EQ(528u, r.out.dwSizeOfUIContextData);
        EXPECT_EQ(528u, LocalSize(r.out.pUIContextData));
        const EAP_UI_CONTEXT* context = (const EAP_UI_CONTEXT*)r.out.pUIContextData;
        EXPECT_EQ(1u, context->dwUIType);
        EXPECT_EQ(c.prompt, Prompt(r.out));
        for (size_t i = c.prompt.size(); i < ARRAYSIZE(context->awszPrompt); i++)
            ASSERT_EQ(0, context->awszPrompt[i]) << "zero-filled after the prompt";
        EXPECT_EQ(0, context->wReserved);
        EXPECT_EQ(c.packet[1], Work()->bRecvPacketId);
        EXPECT_EQ(4, Work()->EapState);
        EXPECT_EQ(0x4000Eu, LineFlags("RasEapMakeMessage :: Erase the saved credentials"));
        EXPECT_EQ(0x4000Eu, LineFlags("RasEapMakeMessage :: Invoke the interactive UI"));
        EXPECT_EQ(0x8000Eu, LineFlags("RasEapMakeMessage :: Save the receive packet ID: " +
                                      std::to_string(c.packet[1])));
        ReturnBlocks(r.out);
    }
}

TEST_F(ExchangeTest, DialogAnswersGoOutWithTheSavedIdentifier)
{
    Begin(L"alice", L"pw");
    ReturnBlocks(Receive(MakeEapTyped(1, 1, 6, Text("Password:"))).out);
    ReturnBlocks(Receive(MakeEapTyped(1, 9, 6, Text("Token:"))).out);

    EAP_NAME_DIALOG token = TokenAnswer(L"12\u00e934");
    MessageResult r = AfterDialog(&token);
    EXPECT_EQ(0u, r.status);
    Bytes expected = {2, 9, 0, 10, 6, '1', '2', 0xE9, '3', '4', 0};
    EXPECT_EQ(expected, Sent(r, expected.size()));
    EXPECT_EQ(EAPACTION_Send, r.out.Action);
    EXPECT_EQ(5, Work()->EapState);
    EXPECT_STREQ("pw", Work()->aszPassword) << "the password is kept for the stored record";
    EXPECT_EQ(0x4000Eu, LineFlags("RasEapMakeMessage :: Send data from user's input"));

    // A third Request asks again; the credentials dialog replaces the work buffer's credentials.
    r = Receive(MakeEapTyped(1, 10, 6, Text("Next:")));
    EXPECT_EQ(TRUE, r.out.fInvokeInteractiveUI);
    EXPECT_EQ(L"Next:", Prompt(r.out));
    ReturnBlocks(r.out);
    EAP_NAME_DIALOG credentials = CredentialsAnswer(L"CORP\\bob", L"new");
    r = AfterDialog(&credentials);
    expected = {2, 10, 0, 8, 6, 'n', 'e', 'w', 0};
    EXPECT_EQ(expected, Sent(r, expected.size()));
    EXPECT_EQ(4, Work()->EapState);
    EXPECT_STREQ("CORP\\bob", Work()->aszIdentity);
    EXPECT_STREQ("new", Work()->aszPassword);
    EXPECT_TRUE(HasLine(TraceLines(), "RasEapMakeMessage :: pEapInput ->username : CORP\\bob"));
    EXPECT_TRUE(
        HasLine(TraceLines(),
                "RasEapMakeMessage :: pEapInput ->pDataFromInteractiveUI ->identity : CORP\\bob"));
}

TEST_F(ExchangeTest, DialogDataThatCannotBeSent)
{
    EAP_NAME_DIALOG badType = TokenAnswer(L"123");
    badType.dwUIType = 7;
    EAP_NAME_DIALOG unterminated = TokenAnswer(L"");
    for (WCHAR& c : unterminated.awszUserInput)
        c = L'7';
    struct Case {
        const char* name;
        const EAP_NAME_DIALOG* record;
        DWORD size;
        DWORD status;
        Bytes expected; // empty: nothing sent
        const char* line;
    } cases[] = {
        {"cancelled",
         nullptr,
         0,
         0,
         {},
         "RasEapMakeMessage :: no data from the interactive UI, nothing to send"},
        {"short block",
         &badType,
         2583,
         0,
         {},
         "RasEapMakeMessage :: no data from the interactive UI, nothing to send"},
        {"bad UI type", &badType, 0, 0, {}, "RasEapMakeMessage :: Invalid Interactive UI type 7"},
        {"unterminated input", &unterminated, 0, 0, Bytes{2, 5, 1, 5, 6}, nullptr},
    };
    for (const Case& c : cases) {
        Begin(L"alice", L"pw");
        Work()->bRecvPacketId = 5;
        MessageResult r = AfterDialog(c.record, 1500, c.size);
        EXPECT_EQ(c.status, r.status) << c.name;
        if (c.expected.empty()) {
            EXPECT_TRUE(Untouched(r)) << c.name;
            EXPECT_EQ(kNoAction, r.out.Action) << c.name;
            EXPECT_EQ(0, Work()->EapState) << c.name;
        } else {
            EXPECT_EQ(c.expected, Sent(r, 5)) << c.name;
            EXPECT_EQ(Bytes(256, '7'), Bytes(r.sent.begin() + 5, r.sent.begin() + 261)) << c.name;
            EXPECT_EQ(0, r.sent[261]) << c.name;
        }
        if (c.line) {
            EXPECT_TRUE(HasLine(TraceLines(), c.line)) << c.name;
        }
        table_.RasEapEnd(work_);
        work_ = nullptr;
    }
}

TEST_F(ExchangeTest, SuccessHandsOutTheStoredRecord)
{
    Begin(L"CORP\\alice", L"S3cretPass");
    ReturnBlocks(Receive(MakeEapTyped(1, 8, 6, Text("Password:"))).out);
    ReturnBlocks(Receive(MakeEapTyped(1, 9, 6, Text("Token:"))).out);
    EAP_NAME_DIALOG token = TokenAnswer(L"123456");
    ReturnBlocks(AfterDialog(&token).out);
    ClearTraceLog();
    MessageResult r = Receive(MakeEapResult(3, 9));
    EXPECT_EQ(0u, r.status);
    EXPECT_EQ(Bytes({3, 9, 0, 4}), Sent(r, 4));
    EXPECT_EQ(kUnwritten, r.sent[4]);
    EXPECT_EQ(EAPACTION_Done, r.out.Action);
    EXPECT_EQ(0u, r.out.dwAuthResultCode);
    EXPECT_EQ(TRUE, r.out.fSaveUserData);
    ASSERT_NE(nullptr, r.out.pUserData);
    ASSERT_EQ(776u, r.out.dwSizeOfUserData);
    EXPECT_EQ(776u, LocalSize(r.out.pUserData));
    const ENCRYPTED_USER_IDENTITY* record = (const ENCRYPTED_USER_IDENTITY*)r.out.pUserData;
    EXPECT_EQ(std::string("CORP\\alice"), std::string(record->aszIdentity));
    const BYTE* raw = r.out.pUserData;
    for (size_t i = strlen("CORP\\alice"); i < 260; i++)
        ASSERT_EQ(0, raw[i]) << i;
    ASSERT_GT(record->dwSizeOfProtectedPassword, 0u);
    ASSERT_LE(record->dwSizeOfProtectedPassword, 512u);
    for (size_t i = 264 + record->dwSizeOfProtectedPassword; i < 776; i++)
        ASSERT_EQ(0, raw[i]) << i;
    EXPECT_EQ(std::string("S3cretPass", 11),
              Unprotect(record->abProtectedPassword, record->dwSizeOfProtectedPassword))
        << "the password with its zero, not the token code";
    EXPECT_EQ(5, Work()->EapState);
    EXPECT_EQ(0x4000Eu, LineFlags("RasEapMakeMessage :: Authentication succeeded"));
    EXPECT_EQ(0x8000Eu, LineFlags("EncryptData :: encryption succeeded"));
    EXPECT_EQ(0x8000Eu, LineFlags("EncryptData :: size of the encrypted data : " +
                                  std::to_string(record->dwSizeOfProtectedPassword)));
    ReturnBlocks(r.out);
}

TEST_F(ExchangeTest, EmptyDialogDataLeavesThePacketsDecisionStanding)
{
    Begin(L"bob", L"pw");
    ReturnBlocks(Receive(MakeEapTyped(1, 4, 6, Text("Password:"))).out);
    PPP_EAP_INPUT input = {};
    input.fDataReceivedFromInteractiveUI = TRUE; // and no data: a cancelled dialog
    Bytes success = MakeEapResult(3, 4);
    MessageResult r = Message(&success, 1500, &input);
    EXPECT_EQ(0u, r.status);
    EXPECT_EQ(EAPACTION_Done, r.out.Action);
    EXPECT_EQ(TRUE, r.out.fSaveUserData);
    ReturnBlocks(r.out);
}

TEST_F(ExchangeTest, FailureAndUnexpectedCodes)
{
    struct Case {
        Bytes packet;
        DWORD status;
        PPP_EAP_ACTION action;
        DWORD authResult;
        const char* line;
        DWORD lineFlags;
    } cases[] = {
        {MakeEapResult(4, 2), 0, EAPACTION_Done, 691,
         "RasEapMakeMessage :: Authentication failed. Wrong password. ", 0x1000E},
        {MakeEapTyped(2, 2, 6, Text("x")), 722, EAPACTION_NoAction, 0xdeadbeef,
         "RasEapMakeMessage :: Got EAPCODE_Response", 0x4000E},
        {RawPacket(5, 2, 4), 722, EAPACTION_NoAction, 0xdeadbeef,
         "RasEapMakeMessage :: Unexpected code 5", 0x4000E},
    };
    for (const Case& c : cases) {
        Begin(L"alice", L"pw");
        PPP_EAP_OUTPUT poisoned;
        memset(&poisoned, 0xEF, sizeof(poisoned));
        poisoned.dwAuthResultCode = 0xdeadbeef;
        MessageResult r = Message(&c.packet, 1500, nullptr, &poisoned);
        EXPECT_EQ(c.status, r.status);
        EXPECT_EQ(c.action, r.out.Action);
        EXPECT_EQ(c.authResult, r.out.dwAuthResultCode);
        // Nothing else of the host's output is touched.
        PPP_EAP_OUTPUT rest = r.out;
        rest.Action = poisoned.Action;
        rest.dwAuthResultCode = poisoned.dwAuthResultCode;
        EXPECT_EQ(0, memcmp(&rest, &poisoned, sizeof(rest)));
        EXPECT_TRUE(Untouched(r));
        EXPECT_EQ(c.lineFlags, LineFlags(c.line));
        EXPECT_EQ(0, Work()->EapState);
        table_.RasEapEnd(work_);
        work_ = nullptr;
    }
}

// Injected failures of the platform calls behind a Success and a later Request.
int g_protectMode; // 0 fail, else the size of the protected output
BOOL WINAPI FakeProtect(DATA_BLOB*, LPCWSTR, DATA_BLOB*, PVOID, CRYPTPROTECT_PROMPTSTRUCT*, DWORD,
                        DATA_BLOB* out)
{
    if (g_protectMode == 0) {
        SetLastError(NTE_BAD_KEY);
        return FALSE;
    }
    out->cbData = g_protectMode;
    out->pbData = (BYTE*)LocalAlloc(LPTR, g_protectMode);
    memset(out->pbData, 0x3C, g_protectMode);
    return TRUE;
}

TEST_F(ExchangeTest, ProtectionFailuresSaveNothing)
{
    struct Case {
        int mode;
        DWORD status;
        const char* line;
    } cases[] = {
        {0, 0, "EncryptData :: encryption failed"},
        {513, 8, "RasEapMakeMessage :: return 8"},
        {512, 0, "EncryptData :: size of the encrypted data : 512"},
        // A Success before any Request: no credentials went out, none are saved.
        {-1, 0, "RasEapMakeMessage :: no credentials were sent: nothing to save"},
    };
    for (const Case& c : cases) {
        Begin(L"alice", L"pw");
        if (c.mode != -1)
            ReturnBlocks(Receive(MakeEapTyped(1, 1, 6, Text("Password:"))).out);
        g_protectMode = c.mode;
        ImportPatch patch(plugin_, "crypt32.dll", "CryptProtectData", (void*)FakeProtect);
        MessageResult r = Receive(MakeEapResult(3, 1));
        EXPECT_EQ(c.status, r.status) << c.mode;
        EXPECT_EQ(EAPACTION_Done, r.out.Action) << c.mode;
        EXPECT_TRUE(HasLine(TraceLines(), c.line)) << c.mode;
        if (c.mode == 512) {
            ASSERT_EQ(776u, r.out.dwSizeOfUserData);
            EXPECT_EQ(512u, ((ENCRYPTED_USER_IDENTITY*)r.out.pUserData)->dwSizeOfProtectedPassword);
            EXPECT_EQ(0x3C, r.out.pUserData[775]);
        } else {
            EXPECT_EQ(FALSE, r.out.fSaveUserData) << "nothing saved, nothing erased";
            EXPECT_EQ(nullptr, r.out.pUserData);
            EXPECT_EQ(0u, r.out.dwSizeOfUserData);
        }
        ReturnBlocks(r.out);
        table_.RasEapEnd(work_);
        work_ = nullptr;
    }
}

TEST_F(ExchangeTest, AllocationFailuresEndTheCall)
{
    struct Case {
        const char* name;
        Bytes packet;
        DWORD lastError;
        DWORD expected;
    } cases[] = {
        {"UI context", MakeEapTyped(1, 2, 6, Text("Token:")), ERROR_OUTOFMEMORY, ERROR_OUTOFMEMORY},
        {"stored record", MakeEapResult(3, 2), ERROR_NOT_ENOUGH_QUOTA, ERROR_NOT_ENOUGH_QUOTA},
        {"stored record, no last error", MakeEapResult(3, 2), 0, 8},
    };
    for (const Case& c : cases) {
        Begin(L"alice", L"pw");
        Work()->EapState = 4;
        EAP_NAME_DIALOG answer = TokenAnswer(L"99");
        PPP_EAP_INPUT input = input_;
        input.fDataReceivedFromInteractiveUI = TRUE; // skipped with the rest of the call
        input.pDataFromInteractiveUI = (BYTE*)&answer;
        input.dwSizeOfDataFromInteractiveUI = sizeof(answer);
        AllocatorProbe probe(plugin_, 1, c.lastError);
        MessageResult r = Message(&c.packet, 1500, &input);
        EXPECT_EQ(c.expected, r.status) << c.name;
        EXPECT_EQ(1, probe.Allocations()) << c.name;
        EXPECT_EQ(nullptr, r.out.pUIContextData) << c.name;
        EXPECT_EQ(FALSE, r.out.fInvokeInteractiveUI) << c.name;
        EXPECT_EQ(nullptr, r.out.pUserData) << c.name;
        EXPECT_EQ(4, Work()->EapState) << c.name << ": the dialog data was not sent";
        EXPECT_EQ(0x1000Eu, LineFlags("RasEapMakeMessage :: Out of memory")) << c.name;
        EXPECT_TRUE(
            HasLine(TraceLines(), "RasEapMakeMessage :: return " + std::to_string(c.expected)))
            << c.name;
        table_.RasEapEnd(work_);
        work_ = nullptr;
    }
}

} // namespace
