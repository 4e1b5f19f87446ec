// Whole authentications of the plug-in through the emulated EAP host (a process of its own):
// dialogs answered from the host's command line, the stored record kept between runs and
// checked through DPAPI.
#include <windows.h>
#include <wincrypt.h>

#include <string>
#include <vector>

#include "plugin_harness.h"
#include "records.h"
#include "test_support.h"
#include "user_data_store.h"

namespace {

// Saved data is per user; both architectures share the prefix, so each case has its own user.
std::wstring User(const char* name)
{
    std::wstring user = sizeof(void*) == 8 ? L"exchange-x64-" : L"exchange-x86-";
    for (const char* c = name; *c; c++)
        user += isalnum((unsigned char)*c) ? (wchar_t)*c : L'-';
    return user;
}

struct Credentials {
    const char* name;     // null: nothing saved
    const char* password; // null: a password that does not unprotect (another machine's)
};

void Save(const std::wstring& user, const Credentials& saved)
{
    EraseUserData(user, 6);
    if (!saved.name)
        return;
    ENCRYPTED_USER_IDENTITY record = {};
    lstrcpynA(record.aszIdentity, saved.name, NAME_FIELD_CHARS);
    const char* password = saved.password ? saved.password : "x";
    DATA_BLOB in = {(DWORD)strlen(password) + 1, (BYTE*)password}, out = {};
    ASSERT_TRUE(CryptProtectData(&in, NULL, NULL, NULL, NULL, 0, &out));
    if (!saved.password)
        out.pbData[out.cbData - 1] ^= 0x5A;
    record.dwSizeOfProtectedPassword = out.cbData;
    memcpy(record.abProtectedPassword, out.pbData, out.cbData);
    LocalFree(out.pbData);
    ASSERT_EQ(0u, SaveUserData(user, 6, (BYTE*)&record, sizeof(record)));
}

// What the host keeps for user: "name|password" with the password unprotected, "" for nothing.
std::string Saved(const std::wstring& user)
{
    std::vector<BYTE> data;
    if (LoadUserData(user, 6, &data) != ERROR_SUCCESS)
        return "";
    if (data.size() != sizeof(ENCRYPTED_USER_IDENTITY))
        return "<" + std::to_string(data.size()) + " bytes>";
    const ENCRYPTED_USER_IDENTITY* record = (const ENCRYPTED_USER_IDENTITY*)data.data();
    DATA_BLOB in = {record->dwSizeOfProtectedPassword, (BYTE*)record->abProtectedPassword},
              out = {};
    if (!CryptUnprotectData(&in, NULL, NULL, NULL, NULL, 0, &out))
        return std::string(record->aszIdentity) + "|<unprotect failed>";
    std::string password((const char*)out.pbData, out.cbData);
    LocalFree(out.pbData);
    return std::string(record->aszIdentity) + "|" + password;
}

// planted: the host runs in the folder of planted libraries, which is also on its PATH.
ProcessResult Authenticate(const std::wstring& user, const std::wstring& arguments,
                           bool planted = false)
{
    std::wstring command = L"\"" + MachineDir() + L"\\eaphost.exe\" \"" + TestDir() +
                           L"credmethod.dll\" --user " + user + L" " + arguments;
    std::string traceDir = TraceDir();
    return RunProcess(command,
                      L"TESTBED_TRACE_DIR=" + std::wstring(traceDir.begin(), traceDir.end()) +
                          (planted ? L"\n" + PlantedEnvironment() : L""),
                      nullptr, 60000, "", planted ? PlantedDir() : L"");
}

bool HasOutputLine(const std::string& output, const std::string& line)
{
    return ("\n" + output).find("\n" + line + "\n") != std::string::npos;
}

const wchar_t kCredentialsDialog[] =
    L"--fill 1087=alice --fill 1088=s3cret --fill 1089=CORP --press ok ";

TEST(AuthenticationFlow, ThroughTheEmulatedHost)
{
    struct Case {
        const char* name;
        Credentials before;
        std::wstring arguments;
        DWORD exitCode;
        std::vector<std::string> lines; // in the host's output
        std::string after;              // saved afterwards, as Saved() shows it
    } cases[] = {
        {"first connection",
         {nullptr, nullptr},
         kCredentialsDialog + std::wstring(L"--round Password: s3cret"),
         0,
         {"eaphost :: dialog \"Enter Credentials\"",
          "eaphost :: identity \"CORP\\alice\", 2584 bytes of user data",
          "server :: identity \"CORP\\alice\"; GTC Request 1 \"Password:\"",
          "eaphost :: saved 776 bytes of user data (status 0)"},
         std::string("CORP\\alice|s3cret", 18)},
        {"token code asked twice",
         {"carol", "pw"},
         L"--round Password: pw --round \"Token one:\" 111111 --round \"Token two:\" 222222 "
         L"--fill 1001=111111 --press ok --fill 1001=222222 --press ok",
         0,
         {"eaphost ::   text 1003: \"Token one:\"", "eaphost ::   text 1003: \"Token two:\"",
          "server :: answer 3 matched; Success: every answer matched"},
         std::string("carol|pw", 9)},
        {"wrong password",
         {"dave", "old"},
         L"--non-interactive --round Password: new",
         691,
         {"server :: Failure: answer 1 did not match"},
         std::string("dave|old", 9)},
        {"wrong password, then a Request",
         {"dave", "old"},
         L"--round Password: new --round \"Try a token:\" 424242 --mismatch continue --fill 1001=424242 --press ok",
         691,
         {"eaphost :: erased the saved user data (status 0)",
          "server :: answer 2 matched; Failure: an answer did not match"},
         ""},
        {"unreadable saved record, then the dialog",
         {"gina", nullptr},
         kCredentialsDialog + std::wstring(L"--round Password: s3cret"),
         0,
         {"eaphost :: dialog \"Enter Credentials\"",
          "eaphost :: saved 776 bytes of user data (status 0)"},
         std::string("CORP\\alice|s3cret", 18)},
        {"unreadable saved record, non-interactive",
         {"gina", nullptr},
         L"--non-interactive --round Password: x",
         703,
         {"eaphost :: RasEapGetIdentity(flags 0x2) returned 703"},
         "gina|<unprotect failed>"},
        {"non-interactive without a saved record",
         {nullptr, nullptr},
         L"--non-interactive --round Password: x",
         703,
         {"eaphost :: RasEapGetIdentity(flags 0x2) returned 703"},
         ""},
        {"credentials dialog cancelled",
         {nullptr, nullptr},
         L"--round Password: x --press cancel",
         1223,
         {"eaphost :: RasEapGetIdentity(flags 0x0) returned 1223"},
         ""},
        {"token dialog cancelled",
         {"erin", "pw"},
         L"--round Password: pw --round Token: 1 --press cancel",
         1223,
         {"eaphost :: RasEapInvokeInteractiveUI returned 0 with 0 bytes",
          "eaphost :: RasEapMakeMessage returned 0, action NoAction, result code 0",
          "eaphost :: the interactive UI was cancelled"},
         ""},
    };
    for (const Case& c : cases) {
        std::wstring user = User(c.name);
        Save(user, c.before);
        ProcessResult run = Authenticate(user, c.arguments);
        EXPECT_FALSE(run.timedOut) << c.name;
        EXPECT_EQ(c.exitCode, run.exitCode) << c.name << "\n" << run.output;
        for (const std::string& line : c.lines)
            EXPECT_TRUE(HasOutputLine(run.output, line)) << c.name << ": " << line << "\n"
                                                         << run.output;
        EXPECT_EQ(std::string::npos, run.output.find("s3cret"))
            << c.name << ": a password in the host's log";
        EXPECT_EQ(c.after, Saved(user)) << c.name;
        if (c.before.name && c.after.empty()) {
            EXPECT_TRUE(
                HasOutputLine(run.output, "eaphost :: erased the saved user data (status 0)"))
                << c.name;
        }
        EraseUserData(user, 6);
    }
}

// A methodres.dll in the host's current directory and on its PATH is never loaded: the plug-in
// looks for its companion beside itself only.
TEST(AuthenticationFlow, PlantedCompanionIsNeverLoaded)
{
    std::wstring user = User("planted");
    Save(user, {"frank", "pw"});
    ClearMarkers();
    ProcessResult run =
        Authenticate(user, L"--round Password: pw --round Token: 7 --fill 1001=7 --press ok", true);
    EXPECT_EQ(0u, run.exitCode) << run.output;
    EXPECT_TRUE(HasOutputLine(run.output, "eaphost :: dialog \"EAP GTC\"")) << run.output;
    EXPECT_TRUE(LoadMarkers().empty());
    EraseUserData(user, 6);
}

TEST(AuthenticationFlow, SecondConnectionNeedsNoDialog)
{
    std::wstring user = User("twice");
    Save(user, {nullptr, nullptr});
    ProcessResult first = Authenticate(user, kCredentialsDialog +
                                                 std::wstring(L"--round Password: s3cret"));
    ASSERT_EQ(0u, first.exitCode) << first.output;
    ProcessResult second = Authenticate(user, L"--non-interactive --round Password: s3cret");
    EXPECT_EQ(0u, second.exitCode) << second.output;
    EXPECT_EQ(std::string::npos, second.output.find("eaphost :: dialog")) << second.output;
    EXPECT_TRUE(HasOutputLine(second.output,
                              "server :: identity \"CORP\\alice\"; GTC Request 1 \"Password:\""))
        << second.output;
    EXPECT_EQ(std::string("CORP\\alice|s3cret", 18), Saved(user));
    EraseUserData(user, 6);
}

} // namespace
