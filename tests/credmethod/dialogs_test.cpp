// Credentials and token dialogs through RasEapInvokeInteractiveUI, driven from a second thread:
// fields read into the record, caption and prompt replaced, Cancel/Escape/close box, failures,
// both resource sources; and the configuration hook.
#include <windows.h>

#include <string>
#include <vector>

#include "dialog_bridge.h"
#include "plugin_harness.h"
#include "records.h"
#include "test_support.h"

namespace {

typedef DWORD(WINAPI* InvokeUIFn)(DWORD, HWND, BYTE*, DWORD, BYTE**, DWORD*);
typedef DWORD(WINAPI* ConfigUIFn)(DWORD, HWND, DWORD, BYTE*, DWORD, BYTE**, DWORD*);

BYTE* const kPoison = (BYTE*)(ULONG_PTR)0xdeadbeef;
const DWORD kDialogWaitMs = 10000;
const wchar_t kTemplatePrompt[] = L"\r\nENTER TOKEN CODE";

enum Action { kPressOk, kPressCancel, kEscape, kEnter, kCloseBox };

// One dialog as the driver found it, what it typed, and how it answered.
struct Step {
    std::vector<std::pair<int, std::wstring>> fields;
    Action action;
};

struct Seen {
    bool found = false;
    bool closed = false;
    std::wstring caption;
    std::wstring prompt;     // control 1003, when there is one
    std::vector<int> ids;    // controls in template order; -1 for a control without id
    std::vector<int> masked; // ids of password-style edits
};

// Answers the dialogs of this process from a second thread while the test's thread sits in the
// plug-in's modal loop. Consecutive steps may answer the same dialog when it stays open.
class DialogDriver {
public:
    explicit DialogDriver(std::vector<Step> steps, DWORD waitMs = kDialogWaitMs)
        : steps_(std::move(steps)), seen_(steps_.size()), waitMs_(waitMs)
    {
        stop_ = CreateEventW(NULL, TRUE, FALSE, NULL);
        thread_ = CreateThread(NULL, 0, Run, this, 0, NULL);
    }
    ~DialogDriver()
    {
        Join();
        CloseHandle(stop_);
    }
    // Called once the call under test has returned: it shows no dialog any more, so a step
    // still waiting for one ends at once.
    void Join()
    {
        if (thread_) {
            SetEvent(stop_);
            WaitForSingleObject(thread_, INFINITE);
            CloseHandle(thread_);
            thread_ = NULL;
        }
    }
    const Seen& At(size_t i)
    {
        Join();
        return seen_[i];
    }

private:
    static DWORD WINAPI Run(void* self)
    {
        DialogDriver* d = (DialogDriver*)self;
        for (size_t i = 0; i < d->steps_.size(); i++) {
            HWND dialog = BridgeWaitForDialog(GetCurrentProcessId(), NULL, d->waitMs_, d->stop_);
            if (!dialog)
                return 0;
            Seen& seen = d->seen_[i];
            seen.found = true;
            seen.caption = BridgeControlText(dialog, 0);
            if (GetDlgItem(dialog, 1003))
                seen.prompt = BridgeControlText(dialog, 1003);
            BridgeDialog read;
            BridgeReadDialog(dialog, &read);
            for (const BridgeControl& control : read.controls) {
                int id = (control.id & 0xFFFF) == 0xFFFF ? -1 : control.id;
                seen.ids.push_back(id);
                if (control.style & ES_PASSWORD &&
                    lstrcmpiW(control.className.c_str(), L"Edit") == 0)
                    seen.masked.push_back(id);
            }
            for (const auto& field : d->steps_[i].fields)
                BridgeSetControlText(dialog, field.first, field.second.c_str());
            switch (d->steps_[i].action) {
            case kPressOk: BridgePressButton(dialog, IDOK); break;
            case kPressCancel: BridgePressButton(dialog, IDCANCEL); break;
            case kEscape: BridgePressKey(dialog, VK_ESCAPE); break;
            case kEnter: BridgePressKey(dialog, VK_RETURN); break;
            case kCloseBox: BridgeCloseBox(dialog); break;
            }
            seen.closed = BridgeWaitClosed(dialog, 1000);
        }
        return 0;
    }

    std::vector<Step> steps_;
    std::vector<Seen> seen_;
    DWORD waitMs_;
    HANDLE stop_ = NULL;
    HANDLE thread_ = NULL;
};

// A UI context as the message routine builds it. A prompt of PROMPT_FIELD_CHARS units or more
// fills the field without a terminator (and the reserved word too).
EAP_UI_CONTEXT Context(DWORD uiType, const std::wstring& prompt)
{
    EAP_UI_CONTEXT context = {};
    context.dwUIType = uiType;
    size_t units = prompt.size() < PROMPT_FIELD_CHARS ? prompt.size() : PROMPT_FIELD_CHARS;
    memcpy(context.awszPrompt, prompt.data(), units * sizeof(WCHAR));
    if (prompt.size() >= PROMPT_FIELD_CHARS)
        context.wReserved = L'!';
    return context;
}

bool AnyLineHolds(const std::vector<std::string>& lines, const std::string& text)
{
    for (const std::string& line : lines)
        if (line.find(text) != std::string::npos)
            return true;
    return false;
}

class Dialogs : public PluginTest {
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        EntryTable(); // a host calls RasEapGetInfo first: the load-time banner is behind us
        ClearTraceLog();
    }

    // Runs RasEapInvokeInteractiveUI with poisoned out-parameters; a record handed out is
    // copied into record_ and released through RasEapFreeMemory.
    DWORD Invoke(const EAP_UI_CONTEXT& context, DWORD size = sizeof(EAP_UI_CONTEXT))
    {
        EAP_UI_CONTEXT copy = context;
        out_ = kPoison;
        outSize_ = 0xdeadbeef;
        DWORD result = ((InvokeUIFn)Export("RasEapInvokeInteractiveUI"))(6, NULL, (BYTE*)&copy,
                                                                         size, &out_, &outSize_);
        memset(&record_, 0xcc, sizeof(record_));
        if (result == NO_ERROR && out_ && out_ != kPoison) {
            EXPECT_EQ(sizeof(EAP_NAME_DIALOG), LocalSize(out_));
            memcpy(&record_, out_, sizeof(record_));
            ((FreeMemoryFn)Export("RasEapFreeMemory"))(out_);
        }
        return result;
    }

    void ExpectNothingHandedOut()
    {
        EXPECT_EQ(nullptr, out_);
        EXPECT_EQ(0u, outSize_);
    }

    BYTE* out_ = nullptr;
    DWORD outSize_ = 0;
    EAP_NAME_DIALOG record_;
};

TEST_F(Dialogs, CredentialsDialogFillsTheRecordOnOk)
{
    const std::wstring u300(300, L'u'), p300(300, L'p'), d100(100, L'D'), u155(155, L'u');
    struct Case {
        const char* name;
        std::wstring prompt, user, password, domain;
        std::wstring identity, domainField, caption;
    } cases[] = {
        {"no domain", L"", L"alice", L"s3cret!", L"", L"alice", L"", L"Enter Credentials"},
        {"domain joined", L"", L"alice", L"s3cret!", L"CORP", L"CORP\\alice", L"CORP\\alice",
         L"Enter Credentials"},
        {"prompt as caption", L"Sign in to Campus", L"bob", L"pw", L"", L"bob", L"",
         L"Sign in to Campus"},
        {"fields cut at 256", L"", u300, p300, L"", u300.substr(0, 256), L"", L"Enter Credentials"},
        {"join of exactly 256", L"", u155, L"pw", d100, d100 + L"\\" + u155, d100 + L"\\" + u155,
         L"Enter Credentials"},
    };
    for (const Case& c : cases) {
        ClearTraceLog();
        std::string secret(c.password.begin(), c.password.end());
        AllocatorProbe probe(plugin_, 0, 0, secret.substr(0, 256));
        DialogDriver driver({{{{1087, c.user}, {1088, c.password}, {1089, c.domain}}, kPressOk}});
        EXPECT_EQ(0u, Invoke(Context(UI_TYPE_CREDENTIALS, c.prompt))) << c.name;
        EXPECT_EQ(c.caption, driver.At(0).caption) << c.name;
        EXPECT_TRUE(driver.At(0).closed) << c.name;
        ASSERT_EQ((DWORD)sizeof(EAP_NAME_DIALOG), outSize_) << c.name;
        EXPECT_EQ(c.identity, record_.awszIdentity) << c.name;
        EXPECT_EQ(c.password.substr(0, 256), record_.awszPassword) << c.name;
        EXPECT_EQ(c.domainField, record_.awszDomain) << c.name;
        EXPECT_EQ(c.prompt, record_.awszTitle) << c.name;
        EXPECT_EQ(L"", std::wstring(record_.awszUserInput)) << c.name;
        EXPECT_EQ(0, record_.wReserved) << c.name;
        EXPECT_EQ((DWORD)UI_TYPE_CREDENTIALS, record_.dwUIType) << c.name;
        std::vector<std::string> lines = TraceLines();
        EXPECT_TRUE(HasLine(lines, "UsernameCommand :: username : " +
                                       std::string(c.identity.begin(), c.identity.end())))
            << c.name;
        EXPECT_FALSE(AnyLineHolds(lines, secret)) << c.name;
        EXPECT_EQ(0, probe.SecretsFreed()) << c.name; // wiped before release
    }
}

TEST_F(Dialogs, TokenDialogShowsThePromptAndTakesTheCode)
{
    const std::wstring p300(300, L'p'), c300(300, L'7');
    struct Case {
        const char* name;
        std::wstring prompt, typed;
        Action action;
        std::wstring shown, title, input;
    } cases[] = {
        {"template prompt", L"", L"123456", kPressOk, kTemplatePrompt, L"", L"123456"},
        {"server prompt", L"Enter the next code", L"987", kPressOk, L"Enter the next code",
         L"Enter the next code", L"987"},
        {"prompt cut at 260", p300, L"1", kPressOk, p300.substr(0, 260), p300.substr(0, 260), L"1"},
        {"code cut at 256", L"Code:", c300, kPressOk, L"Code:", L"Code:", c300.substr(0, 256)},
        {"Enter presses OK", L"PIN?", L"42", kEnter, L"PIN?", L"PIN?", L"42"},
    };
    for (const Case& c : cases) {
        DialogDriver driver({{{{1001, c.typed}}, c.action}});
        EXPECT_EQ(0u, Invoke(Context(UI_TYPE_TOKEN, c.prompt))) << c.name;
        EXPECT_EQ(L"EAP GTC", driver.At(0).caption) << c.name;
        EXPECT_EQ(c.shown, driver.At(0).prompt) << c.name;
        ASSERT_EQ((DWORD)sizeof(EAP_NAME_DIALOG), outSize_) << c.name;
        EXPECT_EQ(c.input, record_.awszUserInput) << c.name;
        EXPECT_EQ(c.title, record_.awszTitle) << c.name;
        EXPECT_EQ(L"", std::wstring(record_.awszIdentity)) << c.name;
        EXPECT_EQ(L"", std::wstring(record_.awszPassword)) << c.name;
        EXPECT_EQ((DWORD)UI_TYPE_TOKEN, record_.dwUIType) << c.name;
    }
}

TEST_F(Dialogs, ClosingWithoutOkHandsOutNothing)
{
    struct Case {
        DWORD uiType;
        Action action;
        const char* canceledLine;
        const char* failedLine;
    };
    const char* credentialsFailed =
        "RasEapInvokeInteractiveUI :: dialog prompt failed, returning without username/password";
    const char* tokenFailed =
        "RasEapInvokeInteractiveUI :: dialog prompt failed, returning without user's input";
    const Case cases[] = {
        {UI_TYPE_CREDENTIALS, kPressCancel, "GetUsernameAndPassword :: user canceled",
         credentialsFailed},
        {UI_TYPE_CREDENTIALS, kEscape, "GetUsernameAndPassword :: user canceled",
         credentialsFailed},
        {UI_TYPE_CREDENTIALS, kCloseBox, "GetUsernameAndPassword :: user canceled",
         credentialsFailed},
        {UI_TYPE_TOKEN, kPressCancel, "GetUserInput :: user canceled", tokenFailed},
        {UI_TYPE_TOKEN, kEscape, "GetUserInput :: user canceled", tokenFailed},
        {UI_TYPE_TOKEN, kCloseBox, "GetUserInput :: user canceled", tokenFailed},
    };
    for (const Case& c : cases) {
        ClearTraceLog();
        AllocatorProbe probe(plugin_, 0, 0, "typedSecret");
        DialogDriver driver({{{{1088, L"typedSecret"}, {1001, L"typedSecret"}}, c.action}});
        EXPECT_EQ(0u, Invoke(Context(c.uiType, L"prompt"))) << c.canceledLine << " " << c.action;
        EXPECT_TRUE(driver.At(0).closed) << c.canceledLine << " " << c.action;
        ExpectNothingHandedOut();
        std::vector<std::string> lines = TraceLines();
        EXPECT_TRUE(HasLine(lines, c.canceledLine)) << c.action;
        EXPECT_TRUE(HasLine(lines, c.failedLine)) << c.action;
        EXPECT_EQ("RasEapInvokeInteractiveUI :: return 0", lines.back()) << c.action;
        EXPECT_EQ(1, probe.Frees()) << c.action;
        EXPECT_EQ(0, probe.SecretsFreed()) << c.action;
    }
}

TEST_F(Dialogs, JoinedNameThatDoesNotFitKeepsTheDialogOpen)
{
    const std::wstring domain(10, L'D'), user(250, L'u');
    DialogDriver driver(
        {{{{1087, user}, {1088, L"pw"}, {1089, domain}}, kPressOk}, {{{1089, L""}}, kPressOk}});
    EXPECT_EQ(0u, Invoke(Context(UI_TYPE_CREDENTIALS, L"")));
    EXPECT_FALSE(driver.At(0).closed);
    EXPECT_TRUE(driver.At(1).closed);
    ASSERT_EQ((DWORD)sizeof(EAP_NAME_DIALOG), outSize_);
    EXPECT_EQ(user, record_.awszIdentity);
    EXPECT_EQ(L"", std::wstring(record_.awszDomain));
    EXPECT_TRUE(HasLine(TraceLines(),
                        "UsernameCommand :: domain and user name together exceed 256 characters"));
}

TEST_F(Dialogs, TraceOfAnAcceptedDialog)
{
    struct Case {
        DWORD uiType;
        Step step;
        std::vector<std::string> lines;
    } cases[] = {
        {UI_TYPE_TOKEN,
         {{{1001, L"555"}}, kPressOk},
         {"RasEapInvokeInteractiveUI :: called", "RasEapInvokeInteractiveUI :: dwEapTypeId=6",
          "RasEapInvokeInteractiveUI :: UI type: 1",
          "RasEapInvokeInteractiveUI :: dwSizeofUIContextData: 528",
          "RasEapInvokeInteractiveUI :: allocate the memory",
          "RasEapInvokeInteractiveUI :: Change dialog title to: Enter PIN",
          "RasEapInvokeInteractiveUI :: Set  dialog type to: 1",
          "GetUserInput :: called with ID: 1092", "UserInputDialogProc :: - WM_INITDIALOG",
          "UserInputCommand :: called - IDOK", "UserInputCommand :: returning - 1",
          "GetUserInput :: user pressed ok", "GetUserInput :: returning with: 1",
          "RasEapInvokeInteractiveUI :: set the OUT parameters",
          "RasEapInvokeInteractiveUI :: free memory: 00000000",
          "RasEapInvokeInteractiveUI :: return 0"}},
        {UI_TYPE_CREDENTIALS,
         {{{1087, L"carol"}, {1088, L"hunter2"}, {1089, L"LAB"}}, kPressOk},
         {"RasEapInvokeInteractiveUI :: called", "RasEapInvokeInteractiveUI :: dwEapTypeId=6",
          "RasEapInvokeInteractiveUI :: UI type: 0",
          "RasEapInvokeInteractiveUI :: dwSizeofUIContextData: 528",
          "RasEapInvokeInteractiveUI :: allocate the memory",
          "RasEapInvokeInteractiveUI :: Change dialog title to: Enter PIN",
          "RasEapInvokeInteractiveUI :: Set  dialog type to: 0",
          "GetUsernameAndPassword :: called with ID: 1086", "UsernameDialogProc :: - WM_INITDIALOG",
          "UsernameCommand :: called - IDOK", "UsernameCommand :: username : LAB\\carol",
          "UsernameCommand :: returning - 1", "GetUsernameAndPassword :: user pressed ok",
          "GetUsernameAndPassword :: returning with: 1",
          "RasEapInvokeInteractiveUI :: set the OUT parameters",
          "RasEapInvokeInteractiveUI :: username : LAB\\carol",
          "RasEapInvokeInteractiveUI :: free memory: 00000000",
          "RasEapInvokeInteractiveUI :: return 0"}},
    };
    for (const Case& c : cases) {
        ClearTraceLog();
        DialogDriver driver({c.step});
        EXPECT_EQ(0u, Invoke(Context(c.uiType, L"Enter PIN")));
        driver.Join();
        EXPECT_EQ(c.lines, TraceLines());
        for (const TraceRecord& r : ReadTraceLog())
            EXPECT_EQ(0x8000Eu, r.flags) << r.text;
    }
}

TEST_F(Dialogs, BadUITypeShowsNoDialog)
{
    for (DWORD uiType : {2u, 0xFFFFFFFFu}) {
        ClearTraceLog();
        DialogDriver driver({{{}, kPressCancel}}); // answers a dialog that should not be there
        EXPECT_EQ(0u, Invoke(Context(uiType, L"x"))) << uiType;
        EXPECT_FALSE(driver.At(0).found) << uiType;
        ExpectNothingHandedOut();
        EXPECT_TRUE(
            HasLine(TraceLines(), "RasEapInvokeInteractiveUI :: failed Invalid input:bad UI type"));
    }
}

TEST_F(Dialogs, AllocationFailureReturnsTheAllocatorsError)
{
    AllocatorProbe probe(plugin_, 1, ERROR_OUTOFMEMORY);
    EXPECT_EQ((DWORD)ERROR_OUTOFMEMORY, Invoke(Context(UI_TYPE_TOKEN, L"")));
    ExpectNothingHandedOut();
    bool traced = false;
    for (const TraceRecord& r : ReadTraceLog())
        traced |= r.text == "RasEapInvokeInteractiveUI :: Out of memory" && r.flags == 0x1000E;
    EXPECT_TRUE(traced);
    EXPECT_EQ("RasEapInvokeInteractiveUI :: return 14", TraceLines().back());
}

INT_PTR WINAPI FailingDialogBox(HINSTANCE, LPCWSTR, HWND, DLGPROC, LPARAM)
{
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return -1;
}

TEST_F(Dialogs, DialogThatCannotOpenHandsOutNothing)
{
    ImportPatch patch(plugin_, "user32.dll", "DialogBoxParamW", (void*)FailingDialogBox);
    ASSERT_TRUE(patch.Installed());
    struct Case {
        DWORD uiType;
        const char* errorLine;
        const char* returningLine;
    } cases[] = {
        {UI_TYPE_CREDENTIALS, "GetUsernameAndPassword :: error opening dialog, status: 1814",
         "GetUsernameAndPassword :: returning with: -1"},
        {UI_TYPE_TOKEN, "GetUserInput :: error opening dialog, status: 1814",
         "GetUserInput :: returning with: -1"},
    };
    for (const Case& c : cases) {
        ClearTraceLog();
        EXPECT_EQ(0u, Invoke(Context(c.uiType, L"")));
        ExpectNothingHandedOut();
        std::vector<std::string> lines = TraceLines();
        EXPECT_TRUE(HasLine(lines, c.errorLine));
        EXPECT_TRUE(HasLine(lines, c.returningLine));
    }
}

TEST_F(Dialogs, ContextTooShortOrMissingIsRefused)
{
    EXPECT_EQ((DWORD)ERROR_INVALID_PARAMETER,
              Invoke(Context(UI_TYPE_TOKEN, L""), sizeof(EAP_UI_CONTEXT) - 1));
    EXPECT_EQ(kPoison, out_);
    EXPECT_EQ(0xdeadbeefu, outSize_);
    InvokeUIFn invoke = (InvokeUIFn)Export("RasEapInvokeInteractiveUI");
    BYTE* out = kPoison;
    DWORD size = 0xdeadbeef;
    EXPECT_EQ((DWORD)ERROR_INVALID_PARAMETER,
              invoke(6, NULL, NULL, sizeof(EAP_UI_CONTEXT), &out, &size));
    EXPECT_EQ(kPoison, out);
    EAP_UI_CONTEXT context = Context(UI_TYPE_TOKEN, L"");
    EXPECT_EQ((DWORD)ERROR_INVALID_PARAMETER,
              invoke(6, NULL, (BYTE*)&context, sizeof(context), NULL, NULL));
}

TEST_F(Dialogs, CompanionLibrarySuppliesTheDialogs)
{
    // The companion beside the plug-in supplies the dialogs, mapped as resources: its DllMain,
    // which would leave a marker, never runs.
    SetEnvironmentVariableW(L"TESTBED_LOAD_MARKERS", MarkerDir().c_str());
    ClearMarkers();
    LoadPlugin(L"companion\\credmethod.dll");
    EntryTable(); // the first entry point maps the companion library
    ASSERT_TRUE(MappedInProcess(L"methodres.dll"));

    struct Case {
        DWORD uiType;
        std::wstring prompt;
        Step step;
        std::wstring caption, shown, identity, input;
    } cases[] = {
        {UI_TYPE_CREDENTIALS,
         L"",
         {{{1087, L"dave"}, {1088, L"pw"}, {1089, L"HQ"}}, kPressOk},
         L"Companion Credentials",
         L"",
         L"HQ\\dave",
         L""},
        {UI_TYPE_CREDENTIALS,
         L"Campus",
         {{{1087, L"dave"}}, kPressOk},
         L"Campus",
         L"",
         L"dave",
         L""},
        {UI_TYPE_TOKEN,
         L"",
         {{{1001, L"31337"}}, kPressOk},
         L"Companion GTC",
         L"COMPANION TOKEN CODE",
         L"",
         L"31337"},
        {UI_TYPE_TOKEN,
         L"Next code:",
         {{{1001, L"1"}}, kPressOk},
         L"Companion GTC",
         L"Next code:",
         L"",
         L"1"},
    };
    for (const Case& c : cases) {
        DialogDriver driver({c.step});
        EXPECT_EQ(0u, Invoke(Context(c.uiType, c.prompt)));
        EXPECT_EQ(c.caption, driver.At(0).caption);
        EXPECT_EQ(c.shown, driver.At(0).prompt);
        ASSERT_EQ((DWORD)sizeof(EAP_NAME_DIALOG), outSize_);
        EXPECT_EQ(c.identity, record_.awszIdentity);
        EXPECT_EQ(c.input, record_.awszUserInput);
    }
    EXPECT_TRUE(LoadMarkers().empty());
    SetEnvironmentVariableW(L"TESTBED_LOAD_MARKERS", nullptr);
}

TEST_F(Dialogs, TemplatesAndBanner)
{
    struct Case {
        DWORD uiType;
        std::vector<int> ids, masked;
    } cases[] = {
        {UI_TYPE_CREDENTIALS, {IDOK, IDCANCEL, 1087, 1088, -1, -1, -1, 1089, -1, -1, -1}, {1088}},
        {UI_TYPE_TOKEN, {IDOK, IDCANCEL, 1001, 1003}, {1001}},
    };
    for (const Case& c : cases) {
        DialogDriver driver({{{}, kPressCancel}});
        Invoke(Context(c.uiType, L""));
        EXPECT_EQ(c.ids, driver.At(0).ids) << c.uiType;
        EXPECT_EQ(c.masked, driver.At(0).masked) << c.uiType;
    }
    // The properties dialog is carried as an extended template.
    HRSRC properties = FindResourceW(plugin_, MAKEINTRESOURCEW(1090), (LPCWSTR)RT_DIALOG);
    ASSERT_NE(nullptr, properties);
    const WORD* header = (const WORD*)LockResource(LoadResource(plugin_, properties));
    EXPECT_EQ(1, header[0]);
    EXPECT_EQ(0xFFFF, header[1]);

    HBITMAP banner = (HBITMAP)LoadImageW(plugin_, MAKEINTRESOURCEW(103), IMAGE_BITMAP, 0, 0,
                                         LR_CREATEDIBSECTION);
    ASSERT_NE(nullptr, banner);
    BITMAP info = {};
    GetObjectW(banner, sizeof(info), &info);
    EXPECT_EQ(318, info.bmWidth);
    EXPECT_EQ(139, info.bmHeight);
    EXPECT_EQ(24, info.bmBitsPixel);
    DeleteObject(banner);
}

TEST_F(Dialogs, ConfigHookShowsNothingAndWritesNothing)
{
    BYTE* out = kPoison;
    DWORD size = 0xdeadbeef;
    BYTE in[4] = {1, 2, 3, 4};
    EXPECT_EQ(0u, ((ConfigUIFn)Export("RasEapInvokeConfigUI"))(6, NULL, 0, in, sizeof(in), &out,
                                                               &size));
    EXPECT_EQ(kPoison, out);
    EXPECT_EQ(0xdeadbeefu, size);
    EXPECT_EQ(std::vector<std::string>{"RasEapInvokeConfigUI :: return NO_ERROR"}, TraceLines());
}

} // namespace
