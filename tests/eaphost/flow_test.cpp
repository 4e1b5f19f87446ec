// Whole authentications through eaphost.exe with the fake method: dialogs answered from the
// command line, saved data kept and erased between runs, stream mode, host failure paths.
// Every run must end with each block the fake handed out returned to it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_method.h"
#include "hex_text.h"
#include "test_support.h"
#include "user_data_store.h"

namespace {

const char kAllReturned[] = "fakemethod :: outstanding blocks 0, bad frees 0, open work buffers 0";

std::wstring Arch()
{
    return sizeof(void*) == 8 ? L"x64" : L"x86";
}

// Saved data is per user; x86 and x64 runs share the prefix, so each test has its own user.
std::wstring User(const wchar_t* name)
{
    return L"flowtest-" + Arch() + L"-" + name;
}

std::wstring FakePlugin()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir = path;
    return dir.substr(0, dir.rfind(L'\\')) + L"\\fakemethod.dll";
}

ProcessResult Host(const std::wstring& arguments, const std::wstring& environment = L"",
                   const std::string& input = "")
{
    std::wstring command = L"\"" + MachineDir() + L"\\eaphost.exe\" " + arguments;
    return RunProcess(command, environment, nullptr, 60000, input);
}

// One authentication of user against the fake plug-in; serverAndDialogs is the rest.
ProcessResult Authenticate(const std::wstring& user, const std::wstring& serverAndDialogs,
                           const std::wstring& environment = L"")
{
    return Host(L"\"" + FakePlugin() + L"\" --user " + user + L" " + serverAndDialogs, environment);
}

bool HasLine(const std::string& output, const std::string& line)
{
    return ("\n" + output).find("\n" + line + "\n") != std::string::npos;
}

size_t Count(const std::string& output, const std::string& text)
{
    size_t count = 0;
    for (size_t at = output.find(text); at != std::string::npos; at = output.find(text, at + 1))
        ++count;
    return count;
}

bool Saved(const std::wstring& user, FakeRecord* record)
{
    std::vector<BYTE> data;
    if (LoadUserData(user, 6, &data) != ERROR_SUCCESS || data.size() != sizeof(FakeRecord))
        return false;
    memcpy(record, data.data(), sizeof(*record));
    return true;
}

void SaveRecord(const std::wstring& user, const wchar_t* name, const wchar_t* password)
{
    FakeRecord record = {};
    record.kind = kFakeSaved;
    lstrcpynW(record.user, name, 64);
    lstrcpynW(record.password, password, 64);
    ASSERT_EQ(0u, SaveUserData(user, 6, reinterpret_cast<BYTE*>(&record), sizeof(record)));
}

const wchar_t kCredentials[] = L"--fill 1087=alice --fill 1088=s3cret --fill 1089=CORP --press ok";

TEST(EapHostFlow, FirstConnectionShowsTheDialogAndSavesTheCredentials)
{
    std::wstring user = User(L"first");
    EraseUserData(user, 6);
    ProcessResult run = Authenticate(user,
                                     L"--round Password: s3cret " + std::wstring(kCredentials));
    EXPECT_EQ(0u, run.exitCode) << run.output;
    EXPECT_TRUE(HasLine(run.output, "eaphost :: dialog \"Fake Credentials\"")) << run.output;
    EXPECT_TRUE(HasLine(run.output, "eaphost ::   text: \"Logon domain:\"")) << run.output;
    EXPECT_TRUE(HasLine(run.output, "eaphost ::   typed into 1087: \"alice\"")) << run.output;
    EXPECT_TRUE(HasLine(run.output, "eaphost ::   typed into 1088: (hidden)")) << run.output;
    EXPECT_TRUE(HasLine(run.output, "eaphost ::   pressed OK")) << run.output;
    EXPECT_TRUE(HasLine(run.output, "eaphost :: identity \"CORP\\alice\", 388 bytes of user data"))
        << run.output;
    EXPECT_TRUE(
        HasLine(run.output, "server :: identity \"CORP\\alice\"; GTC Request 1 \"Password:\""))
        << run.output;
    EXPECT_TRUE(HasLine(run.output, "server :: answer 1 matched; Success: every answer matched"))
        << run.output;
    EXPECT_TRUE(HasLine(run.output, "eaphost :: saved 388 bytes of user data (status 0)"))
        << run.output;
    EXPECT_TRUE(HasLine(run.output, "eaphost :: authentication result 0")) << run.output;
    EXPECT_TRUE(HasLine(run.output, kAllReturned)) << run.output;
    EXPECT_EQ(std::string::npos, run.output.find("s3cret")) << run.output;
    FakeRecord record;
    ASSERT_TRUE(Saved(user, &record));
    EXPECT_EQ(static_cast<DWORD>(kFakeSaved), record.kind);
    EXPECT_STREQ(L"CORP\\alice", record.user);
    EXPECT_STREQ(L"s3cret", record.password);
}

TEST(EapHostFlow, SecondConnectionUsesTheSavedRecordWithoutDialog)
{
    std::wstring user = User(L"second");
    SaveRecord(user, L"bob", L"pa55");
    ProcessResult run = Authenticate(user, L"--non-interactive --round Password: pa55");
    EXPECT_EQ(0u, run.exitCode) << run.output;
    EXPECT_EQ(0u, Count(run.output, "eaphost :: dialog")) << run.output;
    EXPECT_TRUE(HasLine(run.output, "eaphost :: saved user data: 388 bytes")) << run.output;
    EXPECT_TRUE(HasLine(run.output, "server :: identity \"bob\"; GTC Request 1 \"Password:\""))
        << run.output;
    EXPECT_TRUE(HasLine(run.output, kAllReturned)) << run.output;
}

TEST(EapHostFlow, TokenCodeAskedTwiceGoesThroughTheTokenDialogEachTime)
{
    std::wstring user = User(L"token");
    SaveRecord(user, L"carol", L"pw");
    ProcessResult run = Authenticate(
        user, L"--round Password: pw --round \"Token one:\" 111111 --round \"Token two:\" 222222 "
              L"--fill 1001=111111 --press ok --fill 1001=222222 --press ok");
    EXPECT_EQ(0u, run.exitCode) << run.output;
    EXPECT_EQ(2u, Count(run.output, "eaphost :: dialog \"Fake Token\"")) << run.output;
    EXPECT_TRUE(HasLine(run.output, "eaphost ::   text 1003: \"Token one:\"")) << run.output;
    EXPECT_TRUE(HasLine(run.output, "eaphost ::   text 1003: \"Token two:\"")) << run.output;
    EXPECT_EQ(2u, Count(run.output, "eaphost ::   typed into 1001: (hidden)")) << run.output;
    EXPECT_EQ(2u, Count(run.output, "eaphost :: erased the saved user data (status 0)"))
        << run.output;
    EXPECT_TRUE(HasLine(run.output, "server :: answer 3 matched; Success: every answer matched"))
        << run.output;
    EXPECT_TRUE(HasLine(run.output, kAllReturned)) << run.output;
    FakeRecord record;
    ASSERT_TRUE(Saved(user, &record));
    EXPECT_STREQ(L"pw", record.password); // the password, not a token code
}

TEST(EapHostFlow, WrongPasswordFailsWith691AndTheNextRequestErasesTheRecord)
{
    std::wstring user = User(L"wrong");
    SaveRecord(user, L"dave", L"old");
    ProcessResult strict = Authenticate(user, L"--round Password: new");
    EXPECT_EQ(691u, strict.exitCode) << strict.output;
    EXPECT_TRUE(HasLine(strict.output, "server :: Failure: answer 1 did not match"))
        << strict.output;
    EXPECT_TRUE(HasLine(strict.output, kAllReturned)) << strict.output;
    FakeRecord record;
    EXPECT_TRUE(Saved(user, &record)); // a Failure alone does not erase

    ProcessResult reprompt = Authenticate(
        user, L"--round Password: new --round \"Try a token:\" 424242 --mismatch continue "
              L"--fill 1001=424242 --press ok");
    EXPECT_EQ(691u, reprompt.exitCode) << reprompt.output;
    EXPECT_TRUE(HasLine(reprompt.output, "eaphost :: erased the saved user data (status 0)"))
        << reprompt.output;
    EXPECT_TRUE(
        HasLine(reprompt.output, "server :: answer 2 matched; Failure: an answer did not match"))
        << reprompt.output;
    EXPECT_TRUE(HasLine(reprompt.output, kAllReturned)) << reprompt.output;
    EXPECT_FALSE(Saved(user, &record));
}

TEST(EapHostFlow, NonInteractiveWithoutRecordEndsWith703BeforeAnyPacket)
{
    std::wstring user = User(L"noninteractive");
    EraseUserData(user, 6);
    ProcessResult run = Authenticate(user, L"--non-interactive --round Password: x");
    EXPECT_EQ(703u, run.exitCode) << run.output;
    EXPECT_TRUE(HasLine(run.output, "eaphost :: RasEapGetIdentity(flags 0x2) returned 703"))
        << run.output;
    EXPECT_EQ(0u, Count(run.output, "RasEapBegin")) << run.output;
    EXPECT_TRUE(HasLine(run.output, kAllReturned)) << run.output;
}

TEST(EapHostFlow, RetryInteractiveAsksAgainWithTheDialog)
{
    std::wstring user = User(L"retry");
    EraseUserData(user, 6);
    ProcessResult run = Authenticate(user, L"--non-interactive --retry-interactive "
                                           L"--round Password: s3cret " +
                                               std::wstring(kCredentials));
    EXPECT_EQ(0u, run.exitCode) << run.output;
    EXPECT_TRUE(HasLine(run.output, "eaphost :: RasEapGetIdentity(flags 0x2) returned 703"))
        << run.output;
    EXPECT_TRUE(HasLine(run.output, "eaphost :: RasEapGetIdentity(flags 0x0) returned 0"))
        << run.output;
}

struct CancelCase {
    const char* name;
    const wchar_t* arguments;
    bool saved;
    const char* line;
};

TEST(EapHostFlow, CancelInEitherDialogEndsWith1223)
{
    const CancelCase cases[] = {
        {"credentials", L"--round Password: s --fill 1087=x --press cancel", false,
         "eaphost :: RasEapGetIdentity(flags 0x0) returned 1223"},
        {"token", L"--round Password: s --round Token: 1 --press cancel", true,
         "eaphost :: the interactive UI was cancelled"},
        {"unanswered", L"--round Password: s", false,
         "eaphost ::   no answer left for this dialog"},
    };
    for (const CancelCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring user = User(L"cancel");
        EraseUserData(user, 6);
        if (c.saved)
            SaveRecord(user, L"erin", L"s");
        ProcessResult run = Authenticate(user, c.arguments);
        EXPECT_EQ(1223u, run.exitCode) << run.output;
        EXPECT_TRUE(HasLine(run.output, "eaphost ::   pressed Cancel")) << run.output;
        EXPECT_TRUE(HasLine(run.output, c.line)) << run.output;
        EXPECT_TRUE(HasLine(run.output, kAllReturned)) << run.output;
    }
}

struct FaultCase {
    const wchar_t* fault;
    DWORD exitCode;
    const char* line;
    bool initialized; // RasEapInitialize(TRUE) succeeded, so the counts are reported
};

TEST(EapHostFlow, PluginFailuresEndTheRunWithTheirCodeAndReturnEveryBlock)
{
    const FaultCase cases[] = {
        {L"getinfo", 50, "eaphost :: RasEapGetInfo(6) returned 50", false},
        {L"initialize", 21, "eaphost :: RasEapInitialize(TRUE) returned 21", false},
        {L"begin", 8, "eaphost :: RasEapBegin returned 8", true},
        {L"makemessage", 722,
         "eaphost :: RasEapMakeMessage returned 722, action NoAction, "
         "result code 0",
         true},
        {L"overrun", 111, "eaphost :: RasEapMakeMessage wrote past the 1500-byte send buffer",
         true},
        {L"badpacket", 722,
         "eaphost :: the method's packet is malformed: Response id 2 len 2 "
         "(malformed, 1500 bytes)",
         true},
    };
    std::wstring user = User(L"fault");
    SaveRecord(user, L"frank", L"pw");
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.exitCode);
        ProcessResult run = Authenticate(user, L"--round Password: pw",
                                         std::wstring(L"FAKEMETHOD_FAULTS=") + c.fault);
        EXPECT_EQ(c.exitCode, run.exitCode) << run.output;
        EXPECT_TRUE(HasLine(run.output, c.line)) << run.output;
        EXPECT_EQ(c.initialized, HasLine(run.output, kAllReturned)) << run.output;
    }
}

TEST(EapHostFlow, StreamModeExchangesHexLines)
{
    std::wstring user = User(L"stream");
    SaveRecord(user, L"gina", L"abc");
    // Identity Request 1, GTC Request 2 "Pwd", Success 2; comments and blank lines skipped.
    std::string input = "# an external authenticator\n01010005 01\n\n0102000806507764\n03020004\n";
    ProcessResult run = Host(L"\"" + FakePlugin() + L"\" --stream --user " + user, L"", input);
    EXPECT_EQ(0u, run.exitCode) << run.output;
    // Standard output carries the two Responses; the log lines went to standard error.
    EXPECT_TRUE(HasLine(run.output, "020100090167696E61")) << run.output; // identity "gina"
    EXPECT_TRUE(HasLine(run.output, "0202000806616263")) << run.output;   // password "abc"
    EXPECT_TRUE(HasLine(run.output, "eaphost :: received Success id 2 len 4")) << run.output;
    EXPECT_TRUE(HasLine(run.output, kAllReturned)) << run.output;
}

TEST(EapHostFlow, StreamModeDiscardsRuntsAndShortPacketsSkipsJunkAndEndsAtEndOfInput)
{
    std::wstring user = User(L"streambad");
    SaveRecord(user, L"hank", L"abc");
    // A runt, a GTC Request with Length 100 in 7 bytes, junk: the method sees none of them.
    std::string input = "0102\n01010064065061\nzz\n";
    ProcessResult run = Host(L"\"" + FakePlugin() + L"\" --stream --user " + user, L"", input);
    EXPECT_EQ(1460u, run.exitCode) << run.output;
    EXPECT_TRUE(HasLine(run.output, "eaphost :: received runt of 2 bytes")) << run.output;
    EXPECT_TRUE(
        HasLine(run.output, "eaphost :: received Request id 1 type 6 len 100 (malformed, 7 bytes)"))
        << run.output;
    EXPECT_EQ(2u, Count(run.output,
                        "eaphost :: discarded: fewer bytes than a header or than its Length\n"))
        << run.output;
    EXPECT_TRUE(HasLine(run.output, "eaphost :: ignored a line that is not hex: zz")) << run.output;
    EXPECT_EQ(std::string::npos, run.output.find("RasEapBegin")) << run.output;
    EXPECT_TRUE(HasLine(run.output, "eaphost :: the authenticator has nothing more to send"))
        << run.output;
    EXPECT_TRUE(HasLine(run.output, kAllReturned)) << run.output;
}

TEST(EapHostFlow, RelayAsksForEachFieldAndNeverShowsMaskedInput)
{
    std::wstring user = User(L"relay");
    EraseUserData(user, 6);
    std::string typed = "ivy\nhidden-pw\n\n\n";
    ProcessResult run = Host(L"\"" + FakePlugin() + L"\" --relay --user " + user +
                                 L" --round Password: hidden-pw",
                             L"", typed);
    EXPECT_EQ(0u, run.exitCode) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("User name: \n")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("Password: (not shown) \n")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("Logon domain: \n")) << run.output;
    EXPECT_TRUE(HasLine(run.output, "server :: identity \"ivy\"; GTC Request 1 \"Password:\""))
        << run.output;
    EXPECT_EQ(std::string::npos, run.output.find("hidden-pw")) << run.output;
}

TEST(EapHostFlow, ForgetAndShowSavedWorkWithoutPlugin)
{
    std::wstring user = User(L"forget");
    SaveRecord(user, L"jo", L"x");
    ProcessResult shown = Host(L"--show-saved --user " + user);
    EXPECT_EQ(0u, shown.exitCode);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(HexToBytes(shown.output.substr(0, shown.output.find('\n')), &bytes));
    EXPECT_EQ(sizeof(FakeRecord), bytes.size());
    ProcessResult forgotten = Host(L"--forget --user " + user);
    EXPECT_EQ(0u, forgotten.exitCode);
    FakeRecord record;
    EXPECT_FALSE(Saved(user, &record));
    ProcessResult nothing = Host(L"--show-saved --user " + user);
    EXPECT_EQ(2u, nothing.exitCode);
}

TEST(EapHostFlow, RegisteredPluginIsFoundThroughItsRegistration)
{
    // A type of its own per architecture: the registration key is shared by the prefix.
    DWORD type = sizeof(void*) == 8 ? 241 : 240;
    std::wstring key = L"System\\CurrentControlSet\\Services\\Rasman\\PPP\\EAP\\" +
                       std::to_wstring(type);
    std::wstring typeText = std::to_wstring(type);
    std::wstring environment = L"FAKEMETHOD_TYPE=" + typeText;
    std::wstring user = User(L"registered");
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, key.c_str());
    ProcessResult missing = Host(L"--registered --type " + typeText + L" --user " + user,
                                 environment);
    EXPECT_EQ(2u, missing.exitCode) << missing.output;

    std::wstring path = FakePlugin();
    ASSERT_EQ(0, RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"Path", REG_EXPAND_SZ,
                                 path.c_str(), (DWORD)((path.size() + 1) * sizeof(wchar_t))));
    SaveRecord(user, L"kim", L"pw");
    FakeRecord moved;
    std::vector<BYTE> data;
    ASSERT_EQ(0u, LoadUserData(user, 6, &data));
    ASSERT_EQ(0u, SaveUserData(user, type, data.data(), (DWORD)data.size()));
    ProcessResult run = Host(L"--registered --type " + typeText + L" --user " + user +
                                 L" --round Password: pw",
                             environment);
    EXPECT_EQ(0u, run.exitCode) << run.output;
    EXPECT_TRUE(
        HasLine(run.output, "eaphost :: RasEapGetInfo(" + std::to_string(type) + ") returned 0"))
        << run.output;
    EXPECT_TRUE(HasLine(run.output, "server :: identity \"kim\"; GTC Request 1 \"Password:\""))
        << run.output;
    EXPECT_TRUE(Saved(user, &moved)); // the type-6 record is not the one that was used
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, key.c_str());
}

struct UsageCase {
    const wchar_t* arguments;
    const char* error;
};

TEST(EapHostFlow, BadCommandLinesEndWith87AndTheReason)
{
    const UsageCase cases[] = {
        {L"", "eaphost: no plug-in given"},
        {L"a.dll --round Password:", "eaphost: --round needs two values"},
        {L"a.dll --fill 1087=x", "eaphost: --fill without a following --press"},
        {L"a.dll --fill x=1 --press ok", "eaphost: --fill: expected ID=TEXT, got \"x=1\""},
        {L"a.dll --press maybe", "eaphost: --press: expected ok or cancel, got \"maybe\""},
        {L"a.dll --first-id 256", "eaphost: --first-id: bad number \"256\""},
        {L"a.dll --mismatch sometimes", "eaphost: --mismatch: unknown value \"sometimes\""},
        {L"a.dll b.dll", "eaphost: more than one plug-in given: b.dll"},
        {L"a.dll --bogus", "eaphost: unknown option --bogus"},
        {L"--registered a.dll", "eaphost: --registered and a plug-in file given"},
        {L"a.dll --type 256", "eaphost: --type: EAP types go up to 255"},
    };
    for (const UsageCase& c : cases) {
        ProcessResult run = Host(c.arguments);
        EXPECT_EQ(87u, run.exitCode) << c.error;
        EXPECT_EQ(0u, run.output.find(std::string(c.error) + "\nusage: eaphost")) << run.output;
    }
}

TEST(EapHostFlow, MissingPluginFileEndsWithTheLoaderError)
{
    ProcessResult run = Host(L"Z:\\no\\such\\plugin.dll --user " + User(L"missing"));
    EXPECT_EQ(126u, run.exitCode) << run.output;
    EXPECT_TRUE(HasLine(run.output, "eaphost :: cannot load the plug-in (error 126)"))
        << run.output;
}

} // namespace
