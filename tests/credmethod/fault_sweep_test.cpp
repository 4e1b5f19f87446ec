// Every entry point of the plug-in in a representative run, with each platform call it makes
// that can fail (import_faults.h) failing once at each of its positions: the status and trace
// line, what the run leaves, every block obtained released and none with the password, the heap.
#include <gtest/gtest.h>
#include <msxml2.h>
#include <wincrypt.h>

#include <functional>
#include <map>
#include <set>

#include "dialog_bridge.h"
#include "exchange_driver.h"
#include "fault_sweep.h"
#include "import_faults.h"
#include "test_support.h"

namespace {

typedef DWORD(WINAPI* GetIdentityFn)(DWORD, HWND, DWORD, const WCHAR*, const WCHAR*, BYTE*, DWORD,
                                     BYTE*, DWORD, BYTE**, DWORD*, WCHAR**);
typedef DWORD(WINAPI* InvokeUIFn)(DWORD, HWND, BYTE*, DWORD, BYTE**, DWORD*);
typedef DWORD(WINAPI* ConfigUIFn)(DWORD, HWND, DWORD, BYTE*, DWORD, BYTE**, DWORD*);
typedef DWORD(WINAPI* ConnectionXmlFn)(DWORD, DWORD, BYTE*, DWORD, IXMLDOMDocument2**);
typedef DWORD(WINAPI* ConnectionFn)(DWORD, DWORD, void*, void*, DWORD, BYTE**, DWORD*);
BYTE* const kPoison = (BYTE*)(ULONG_PTR)0xdeadbeef;
const char kSecret[] =
    "s3cret"; // every password of these runs: no block may be released holding it
const WCHAR kMethodKey[] = L"System\\CurrentControlSet\\Services\\RasMan\\PPP\\EAP\\6";

struct CallRow {
    SweptCall call;
    int position;
    DWORD status;
    const char* line;  // trace line the failure writes, or ""
    const char* state; // what the run leaves, as its state probe reads it
};

std::string Narrow(const WCHAR* text)
{
    std::wstring wide = text ? text : L"";
    return std::string(wide.begin(), wide.end());
}

// Fills the fields a dialog of this process has and presses OK, for each dialog until destroyed.
struct DialogAnswerer {
    std::map<int, const wchar_t*> fields;
    HANDLE stop = CreateEventW(NULL, TRUE, FALSE, NULL);
    HANDLE thread = CreateThread(NULL, 0, Run, this, 0, NULL);
    ~DialogAnswerer()
    {
        SetEvent(stop);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        CloseHandle(stop);
    }
    static DWORD WINAPI Run(void* self)
    {
        DialogAnswerer* a = (DialogAnswerer*)self;
        while (HWND dialog = BridgeWaitForDialog(GetCurrentProcessId(), NULL, INFINITE, a->stop)) {
            for (const auto& field : a->fields)
                if (GetDlgItem(dialog, field.first))
                    BridgeSetControlText(dialog, field.first, field.second);
            BridgePressButton(dialog, IDOK);
            BridgeWaitClosed(dialog, 10000);
        }
        return 0;
    }
};

class EntrySweep : public ExchangeTest {
protected:
    void SetUp() override
    {
        CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
        ExchangeTest::SetUp();
        input_.dwSizeInBytes = sizeof(input_);
    }
    void TearDown() override
    {
        ExchangeTest::TearDown();
        CoUninitialize();
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, kMethodKey);
    }
    void Free(void* block) { ((FreeMemoryFn)Export("RasEapFreeMemory"))((BYTE*)block); }

    // One authentication as the host runs it from input_, ended at the first failing step: each
    // step adds what it sent, the prompt it asked for, or whether it saved credentials and whose.
    DWORD Authenticate(const std::vector<std::function<MessageResult()>>& steps)
    {
        state_.clear();
        DWORD status = table_.RasEapBegin(&work_, &input_);
        for (size_t i = 0; status == 0 && i < steps.size(); i++) {
            MessageResult r = steps[i]();
            EXPECT_TRUE(r.guardIntact);
            const EAP_UI_CONTEXT* context = (const EAP_UI_CONTEXT*)r.out.pUIContextData;
            const ENCRYPTED_USER_IDENTITY* saved = (const ENCRYPTED_USER_IDENTITY*)r.out.pUserData;
            if ((status = r.status) == 0)
                state_ += r.out.Action == EAPACTION_Send
                              ? std::string(&r.sent[5], &r.sent[r.sent[3]]) + "|"
                          : context ? Narrow(context->awszPrompt) + "|"
                          : saved   ? "saved " + std::string(saved->aszIdentity)
                                    : "not saved";
            ReturnBlocks(r.out);
        }
        EXPECT_EQ(0u, table_.RasEapEnd(work_));
        work_ = nullptr;
        return status;
    }

    // A clean run first: status 0, cleanState, and the rows name exactly the calls it made. Then
    // each row's call fails once: its status, trace line and state, no block of the plug-in left,
    // heap.
    void Sweep(
        const char* cleanState, const std::vector<CallRow>& rows, const std::function<DWORD()>& run,
        const std::function<void()>& prepare = [] {}, SIZE_T heapAllowance = 0)
    {
        std::set<std::pair<int, int>> named;
        for (const CallRow& row : rows)
            EXPECT_TRUE(named.insert({row.call, row.position}).second) << "row repeated";
        prepare();
        {
            ImportFaults clean(plugin_, kSweptCallCount, 0, kSecret);
            EXPECT_EQ(0u, run());
            EXPECT_EQ(0u, clean.LiveBlocks());
            EXPECT_EQ(0, clean.SecretsFreed());
            EXPECT_EQ(cleanState, state_);
            for (int call = 0; call < kSweptCallCount; call++)
                for (int n = 1; n <= clean.Calls((SweptCall)call); n++)
                    EXPECT_EQ(1u, named.erase({call, n}))
                        << "no row: " << SweptCallName((SweptCall)call) << " " << n;
        }
        EXPECT_EQ(0u, named.size()) << "rows for calls the run does not make";
        for (const CallRow& row : rows) {
            SCOPED_TRACE(testing::Message() << SweptCallName(row.call) << " call " << row.position);
            EXPECT_GE(heapAllowance, LeastHeapGrowthOver([&] {
                          prepare();
                          ClearTraceLog();
                          ImportFaults faults(plugin_, row.call, row.position, kSecret);
                          EXPECT_EQ(row.status, run());
                          EXPECT_TRUE(faults.Injected());
                          EXPECT_EQ(0u, faults.LiveBlocks());
                          EXPECT_EQ(0, faults.SecretsFreed());
                          EXPECT_EQ(row.state, state_);
                          EXPECT_TRUE(!*row.line || HasLine(TraceLines(), row.line)) << row.line;
                          CountInjectedFault();
                      }));
        }
    }
    std::string state_; // what a run leaves, in the words of its table
};

TEST_F(EntrySweep, LoadingAndEntryPointsWithoutFailingCalls)
{
    auto run = [&] {
        PPP_EAP_INFO info = {};
        BYTE* out = kPoison;
        DWORD size = 0xdeadbeef, status = ((GetInfoFn)Export("RasEapGetInfo"))(6, &info);
        status |= info.RasEapInitialize(TRUE) | info.RasEapEnd(nullptr);
        status |= ((ConfigUIFn)Export("RasEapInvokeConfigUI"))(6, NULL, 0, NULL, 0, &out, &size);
        status |= ((FreeMemoryFn)Export("RasEapFreeMemory"))(nullptr);
        EXPECT_TRUE(out == kPoison && size == 0xdeadbeef);
        state_ = MappedInProcess(L"methodres.dll") ? "companion dialogs" : "own dialogs";
        status |= info.RasEapInitialize(FALSE);
        EXPECT_FALSE(MappedInProcess(L"methodres.dll"));
        return status;
    };
    const wchar_t beside[] = L"companion\\credmethod.dll";
    // Loading the library anew costs the loader some heap each time: a failure may cost no more.
    SIZE_T reloadGrowth = LeastHeapGrowthOver([&] { LoadPlugin(beside), run(); });
    Sweep(
        "companion dialogs",
        {{kLoadLibraryExW, 1, 0, "", "own dialogs"},
         {kGetModuleFileNameW, 1, 0, "", "companion dialogs"}, // component name "credmethod"
         {kGetModuleFileNameW, 2, 0, "", "own dialogs"},       // the companion's folder
         {kWideCharToMultiByte, 1, 0, "", "companion dialogs"}},
        run, [&] { LoadPlugin(beside); }, reloadGrowth);
}

TEST_F(EntrySweep, AuthenticationWithTheHostsPasswordThenCredentialsFromTheDialog)
{
    input_.pwszIdentity = (WCHAR*)L"alice";
    input_.pwszPassword = (WCHAR*)L"s3cret";
    const EAP_NAME_DIALOG credentials = CredentialsAnswer(L"bob", L"s3cret");
    Sweep("s3cret|Code:|s3cret|saved bob",
          {{kLocalAlloc, 1, 8, "RasEapBegin :: Not enough memory", ""},
           {kLocalAlloc, 2, 14, "RasEapMakeMessage :: Out of memory", "s3cret|"},
           {kLocalAlloc, 3, 14, "RasEapMakeMessage :: Out of memory", "s3cret|Code:|s3cret|"},
           {kMultiByteToWideChar, 1, 0, "", "s3cret||s3cret|saved bob"},
           {kWideCharToMultiByte, 1, 0, "", "s3cret|Code:|s3cret|saved bob"},
           {kWideCharToMultiByte, 2, 0, "", "s3cret|Code:|s3cret|saved bob"},
           {kWideCharToMultiByte, 3, 0, "", "|Code:|s3cret|saved bob"},
           {kWideCharToMultiByte, 4, 0, "", "|Code:|s3cret|saved bob"},
           {kWideCharToMultiByte, 5, 0, "",
            "s3cret|Code:|s3cret|saved "}, // the name: none rather than a cut one
           {kWideCharToMultiByte, 6, 0, "", "s3cret|Code:|s3cret|saved "},
           {kWideCharToMultiByte, 7, 0, "", "s3cret|Code:||saved bob"},
           {kWideCharToMultiByte, 8, 0, "", "s3cret|Code:||saved bob"},
           {kCryptProtectData, 1, 0, "EncryptData :: encryption failed",
            "s3cret|Code:|s3cret|not saved"}},
          [&] {
              return Authenticate({[&] { return Receive(RawPacket(1, 1, 9, Text("\x06Pwd:"))); },
                                   [&] {
                                       return Receive(RawPacket(1, 2, 10,
                                                                Text("\x06"
                                                                     "Code:")));
                                   },
                                   [&] { return AfterDialog(&credentials); },
                                   [&] { return Receive(RawPacket(3, 2, 4)); }});
          });
}

TEST_F(EntrySweep, AuthenticationFromStoredCredentialsWithATokenRound)
{
    DATA_BLOB password = {7, (BYTE*)kSecret}, sealed = {};
    ASSERT_TRUE(CryptProtectData(&password, NULL, NULL, NULL, NULL, 0, &sealed));
    ENCRYPTED_USER_IDENTITY stored = {"alice", {}, sealed.cbData, {}};
    memcpy(stored.abProtectedPassword, sealed.pbData, sealed.cbData);
    LocalFree(sealed.pbData);
    input_.pUserData = (BYTE*)&stored;
    input_.dwSizeOfUserData = sizeof(stored);
    const EAP_NAME_DIALOG token = TokenAnswer(L"123456");
    Sweep("s3cret|Code:|123456|saved alice",
          {{kLocalAlloc, 1, 8, "RasEapBegin :: Not enough memory", ""},
           {kLocalAlloc, 2, 14, "RasEapBegin :: Out of memory", ""},
           {kLocalAlloc, 3, 14, "RasEapMakeMessage :: Out of memory", "s3cret|"},
           {kLocalAlloc, 4, 14, "RasEapMakeMessage :: Out of memory", "s3cret|Code:|123456|"},
           // a record that cannot be read counts as none: the host's own (here empty) credentials
           {kCryptUnprotectData, 1, 0, "DecryptData :: decryption failed", "|Code:|123456|saved "},
           {kCryptProtectData, 1, 0, "EncryptData :: encryption failed",
            "s3cret|Code:|123456|not saved"},
           {kMultiByteToWideChar, 1, 0, "DecryptData :: decryption failed", "|Code:|123456|saved "},
           {kMultiByteToWideChar, 2, 0, "", "s3cret||123456|saved alice"},
           {kWideCharToMultiByte, 1, 0, "", "s3cret|Code:||saved alice"}, // not a shorter code
           {kWideCharToMultiByte, 2, 0, "", "s3cret|Code:||saved alice"}},
          [&] {
              return Authenticate({[&] { return Receive(RawPacket(1, 1, 5, Bytes{6})); },
                                   [&] {
                                       return Receive(RawPacket(1, 2, 10,
                                                                Text("\x06"
                                                                     "Code:")));
                                   },
                                   [&] { return AfterDialog(&token); },
                                   [&] { return Receive(RawPacket(3, 3, 4)); }});
          });
}

TEST_F(EntrySweep, IdentityFromStoredCredentialsAndFromTheDialog)
{
    DATA_BLOB password = {7, (BYTE*)kSecret}, sealed = {};
    ASSERT_TRUE(CryptProtectData(&password, NULL, NULL, NULL, NULL, 0, &sealed));
    ENCRYPTED_USER_IDENTITY stored = {"alice", {}, sealed.cbData, {}};
    memcpy(stored.abProtectedPassword, sealed.pbData, sealed.cbData);
    LocalFree(sealed.pbData);
    bool useStored = true;
    // Saved credentials that cannot be read count as none: the credentials dialog is shown.
    DialogAnswerer answerer{{{1087, L"bob"}, {1088, L"s3cret"}}};
    auto run = [&] {
        BYTE* data = kPoison;
        DWORD size = 0xdeadbeef;
        WCHAR* identity = (WCHAR*)kPoison;
        DWORD status = ((GetIdentityFn)Export(
            "RasEapGetIdentity"))(6, NULL, 0, L"", L"", NULL, 0, useStored ? (BYTE*)&stored : NULL,
                                  sizeof(stored), &data, &size, &identity);
        bool untouched = data == kPoison && size == 0xdeadbeef && identity == (WCHAR*)kPoison;
        state_ = status == 0 ? Narrow(identity) : untouched ? "untouched" : "written on failure";
        if (status == 0)
            Free(data), Free(identity);
        return status;
    };
    Sweep("alice",
          {{kLocalAlloc, 1, 14, "RasEapGetIdentity :: Out of memory", "untouched"},
           {kLocalAlloc, 2, 14, "RasEapGetIdentity :: Out of memory", "untouched"},
           {kLocalAlloc, 3, 14, "RasEapGetIdentity :: Out of memory", "untouched"},
           {kCryptUnprotectData, 1, 0, "StoredCredentials :: the saved credentials cannot be read",
            "bob"},
           {kMultiByteToWideChar, 1, 0, "StoredCredentials :: the saved credentials cannot be read",
            "bob"},
           {kMultiByteToWideChar, 2, 0, "", ""}},
          run);
    useStored = false;
    Sweep("bob",
          {{kLocalAlloc, 1, 14, "RasEapGetIdentity :: Out of memory", "untouched"},
           {kLocalAlloc, 2, 14, "RasEapGetIdentity :: Out of memory", "untouched"},
           {kDialogBoxParamW, 1, 1814,
            "RasEapGetIdentity :: the credentials dialog could not be opened, error 1814",
            "untouched"}},
          run);
}

TEST_F(EntrySweep, InteractiveTokenDialog)
{
    DialogAnswerer answerer{{{1001, L"123456"}}};
    Sweep("123456",
          {{kLocalAlloc, 1, 14, "RasEapInvokeInteractiveUI :: Out of memory", "nothing"},
           {kWideCharToMultiByte, 1, 0,
            "RasEapInvokeInteractiveUI :: Change dialog title to: ", "123456"},
           {kWideCharToMultiByte, 2, 0,
            "RasEapInvokeInteractiveUI :: Change dialog title to: ", "123456"},
           {kDialogBoxParamW, 1, 0, "GetUserInput :: error opening dialog, status: 1814",
            "nothing"}},
          [&] {
              EAP_UI_CONTEXT context = {UI_TYPE_TOKEN, L"Code:", 0};
              BYTE* out = kPoison;
              DWORD size = 0xdeadbeef;
              DWORD status = ((InvokeUIFn)Export("RasEapInvokeInteractiveUI"))(6, NULL,
                                                                               (BYTE*)&context,
                                                                               sizeof(context),
                                                                               &out, &size);
              state_ = out && size ? Narrow(((EAP_NAME_DIALOG*)out)->awszUserInput) : "nothing";
              if (out && size)
                  Free(out);
              return status;
          });
}

TEST_F(EntrySweep, ConnectionProperties)
{
    Sweep(
        "",
        {{kCoCreateInstance, 1, 14,
          "RasEapCreateConnectionPropertiesXml :: Unable to CoCreate XMLDOMDocument2: Status = 14",
          "untouched"},
         {kSysAllocString, 1, 14,
          "RasEapCreateConnectionPropertiesXml :: loadXML failed: Status = 14", "untouched"},
         {kLocalAlloc, 1, 14, "RasEapCreateConnectionProperties() :: Out of memory", "untouched"}},
        [&] {
            IXMLDOMDocument2* document = (IXMLDOMDocument2*)kPoison;
            BYTE* data = kPoison;
            DWORD size = 0xdeadbeef;
            DWORD status = ((ConnectionXmlFn)Export(
                "RasEapCreateConnectionPropertiesXml"))(6, 0, NULL, 0, &document);
            ConnectionFn create = (ConnectionFn)Export("RasEapCreateConnectionProperties");
            if (status == 0)
                status = create(6, 0, NULL, NULL, 0, &data, &size);
            bool untouched = document == (IXMLDOMDocument2*)kPoison ||
                             (data == kPoison && size == 0xdeadbeef);
            state_ = status == 0 ? "" : untouched ? "untouched" : "written on failure";
            if (document != (IXMLDOMDocument2*)kPoison)
                document->Release();
            if (data != kPoison)
                Free(data);
            return status;
        });
}

TEST_F(EntrySweep, RegistrationAndUnregistration)
{
    const char* names[] = {"FriendlyName",
                           "InvokeUsernameDialog",
                           "InvokePasswordDialog",
                           "StandaloneSupported",
                           "PerPolicyConfig",
                           "RolesSupported",
                           "MPPEEncryptionSupported",
                           "Properties",
                           "Path",
                           "ConfigUIPath",
                           "IdentityPath",
                           "InteractiveUIPath"};
    const DWORD denied = 0x80070005;
    std::string lines[12], states[12];
    std::vector<CallRow> rows = {{kGetModuleFileNameW, 1, 0x80070006,
                                  "DllRegisterServer :: exit(6)", "no key"},
                                 {kRegCreateKeyExW, 1, denied,
                                  "DllRegisterServer :: RasMan not properly installed\n", "no key"},
                                 {kRegCreateKeyExW, 2, denied,
                                  "DllRegisterServer :: subkey 6 could not be created", "no key"}};
    for (int i = 0; i < 12; i++) {
        lines[i] = std::string("DllRegisterServer :: could not set ") + names[i];
        states[i] = std::to_string(i) + " values"; // those before it stay
        rows.push_back({kRegSetValueExW, i + 1, denied, lines[i].c_str(), states[i].c_str()});
    }
    RegisterFn reg = (RegisterFn)Export("DllRegisterServer"),
               unreg = (RegisterFn)Export("DllUnregisterServer");
    // What the method key holds after a run: "no key" or the number of its values.
    auto keyState = [&](HRESULT status) {
        HKEY key;
        DWORD values = 0;
        state_ = "no key";
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kMethodKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
            RegQueryInfoKeyW(key, NULL, NULL, NULL, NULL, NULL, NULL, &values, NULL, NULL, NULL,
                             NULL);
            RegCloseKey(key);
            state_ = std::to_string(values) + " values";
        }
        return (DWORD)status;
    };
    Sweep(
        "12 values", rows, [&] { return keyState(reg()); },
        [] { RegDeleteKeyW(HKEY_LOCAL_MACHINE, kMethodKey); });
    Sweep(
        "no key",
        {{kRegOpenKeyExW, 1, denied, "DllUnregisterServer :: RasMan not properly installed\n",
          "12 values"},
         {kRegDeleteKeyW, 1, denied, "DllUnregisterServer :: subkey 6 could not be deleted",
          "12 values"}},
        [&] { return keyState(unreg()); }, [&] { ASSERT_EQ(S_OK, reg()); });
}

} // namespace
