// wlanprov.exe run as a process on each emulated platform: banner, platform detection,
// dispatch, help dialog and exit codes.
#include <gtest/gtest.h>

#include <string>

#include "dialog_bridge.h"
#include "test_support.h"

namespace {

const char kBanner[] = "Wavestead wlanprov ( Version 1.4 )\n";
const char kWrongInput[] =
    "main :: Wrong input parameters. Please use the option -help to check the usage "
    "information.\n";

struct WlanprovRun {
    ProcessResult process;
    int dialogs = 0;        // help dialogs seen and closed with OK
    std::wstring usageText; // text of the usage control of the last dialog
};

// Runs the platform's copy of wlanprov.exe. Every help dialog is closed with OK.
WlanprovRun RunWlanprov(const std::wstring& platform, const std::wstring& arguments)
{
    std::wstring command = L"\"" + MachineDir() + L"\\platforms\\" + platform +
                           L"\\wlanprov.exe\"" + (arguments.empty() ? L"" : L" " + arguments);
    WlanprovRun run;
    run.process = RunProcess(command, L"", [&run](DWORD processId) {
        // Returns as soon as the program has ended, so a long wait costs nothing.
        HWND dialog = BridgeWaitForDialog(processId, L"wlanprov Help", 60000);
        if (!dialog)
            return;
        ++run.dialogs;
        run.usageText = BridgeControlText(dialog, 1039);
        BridgePressButton(dialog, IDOK);
        BridgeWaitClosed(dialog, 5000);
    });
    return run;
}

struct Detection {
    const wchar_t* platform;
    const char* lines; // after the banner
    DWORD exitCode;    // with no arguments
    int dialogs;
};

const Detection kDetections[] = {
    {L"win2000-sp3-hotfix",
     "main :: WZC Dll Version : 143857554\n"
     "main :: Windows 2000 SP3 + hotfix : NOT SUPPORTED!!\n",
     50, 0},
    {L"win2000-sp4",
     "main :: WZC Dll Version : 143858124\n"
     "main :: Windows 2000 SP4 : NOT SUPPORTED!!\n",
     50, 0},
    {L"xp-sp0",
     "main :: WZC Dll Version : 170393600\n"
     "main :: Windows XP SP0 : NOT SUPPORTED!!\n",
     50, 0},
    {L"xpsp1-1106", "main :: WZC Dll Version : 170394706\nmain :: Windows XP SP1\n", 13, 1},
    {L"xpsp1-1181", "main :: WZC Dll Version : 170394781\nmain :: Windows XP SP1 + WPA\n", 13, 1},
    {L"xp-1200", "main :: WZC Dll Version : 170394800\n", 50, 0},
    {L"xpsp1-1276", "main :: WZC Dll Version : 170394876\nmain :: Windows XP SP1 + WPA rollup\n",
     13, 1},
    {L"xpsp2", "main :: WZC Dll Version : 170395780\nmain :: Windows XP SP2\n", 13, 1},
    {L"xpsp3", "main :: WZC Dll Version : 170399112\nmain :: Windows XP SP2\n", 13, 1},
    {L"server2003", "main :: WZC Dll Version : 248381440\nmain :: Windows XP SP2\n", 13, 1},
    {L"vista", "main :: WZC Dll Version : 393232386\nmain :: Windows Vista\n", 13, 1},
    {L"none", "", 50, 0},
};

TEST(Entry, DetectsEveryPlatformWithoutArguments)
{
    for (const Detection& d : kDetections) {
        WlanprovRun run = RunWlanprov(d.platform, L"");
        std::string expected = std::string(kBanner) + d.lines + (d.dialogs ? kWrongInput : "");
        EXPECT_EQ(expected, run.process.output);
        EXPECT_EQ(d.exitCode, run.process.exitCode);
        EXPECT_EQ(d.dialogs, run.dialogs);
        EXPECT_FALSE(run.process.timedOut);
    }
}

TEST(Entry, HelpTextFollowsPlatform)
{
    WlanprovRun vista = RunWlanprov(L"vista", L"-help");
    EXPECT_EQ(0u, vista.process.exitCode);
    EXPECT_NE(std::wstring::npos, vista.usageText.find(L"[ open | shared |"));
    WlanprovRun xp = RunWlanprov(L"xpsp2", L"-help");
    EXPECT_EQ(0u, xp.process.exitCode);
    EXPECT_NE(std::wstring::npos, xp.usageText.find(L"/KeyProvidedAutomatically:"));
}

TEST(Entry, WzcsapiWinsOverWlanApi)
{
    WlanprovRun run = RunWlanprov(L"xpsp2-and-wlanapi", L"-help");
    EXPECT_EQ(std::string(kBanner) +
                  "main :: WZC Dll Version : 170395780\nmain :: Windows XP SP2\n",
              run.process.output);
    EXPECT_EQ(0u, run.process.exitCode);
    EXPECT_EQ(1, run.dialogs);
}

TEST(Entry, UnreadableWlanApiVersionGivesItsError)
{
    WlanprovRun run = RunWlanprov(L"wlanapi-without-version", L"-help");
    EXPECT_EQ(kBanner, run.process.output);
    EXPECT_EQ(DWORD(ERROR_RESOURCE_DATA_NOT_FOUND), run.process.exitCode);
    EXPECT_EQ(0, run.dialogs);
}

struct Dispatch {
    const wchar_t* arguments;
    const char* lines; // after the platform lines
    DWORD exitCode;
    int dialogs;
};

TEST(Entry, DispatchesCommandWords)
{
    const Dispatch cases[] = {
        {L"-help", "", 0, 1},
        {L"-help x", kWrongInput, 13, 1},
        {L"/?", "", 0, 1},
        {L"-?", "", 0, 1},
        {L"/? x", kWrongInput, 13, 1},
        {L"-help -help", kWrongInput, 13, 1},
        {L"-HELP", kWrongInput, 13, 1},
        {L"-ADD", kWrongInput, 13, 1},
        {L"-add2", kWrongInput, 13, 1},
        {L"-Delete", kWrongInput, 13, 1},
        {L"-delete2", kWrongInput, 13, 1},
        {L"add", kWrongInput, 13, 1},
        {L"\"\"", kWrongInput, 13, 1},
        // Dispatched: the handler's own result is the exit code.
        {L"-add /Bogus:1", "WZC_XP_SP2 :: invalid input\n", 13, 0},
        {L"-delete /SSID:", "WZCRemoveProfile_XP_SP2 :: [SSID] : invalid input\n", 13, 0},
        {L"-add /DebugLog:TRUE /KeyIndex:9",
         "WZC_XP_SP2 :: [KeyIndex] : invalid input\nWZC_XP_SP2 :: returning 13\n"
         "main :: returning 13\n",
         13, 0},
        {L"-add /KeyIndex:9 /DebugLog:TRUE", "WZC_XP_SP2 :: [KeyIndex] : invalid input\n", 13, 0},
    };
    const std::string platformLines =
        std::string(kBanner) + "main :: WZC Dll Version : 170395780\nmain :: Windows XP SP2\n";
    for (const Dispatch& c : cases) {
        WlanprovRun run = RunWlanprov(L"xpsp2", c.arguments);
        EXPECT_EQ(platformLines + c.lines, run.process.output);
        EXPECT_EQ(c.exitCode, run.process.exitCode);
        EXPECT_EQ(c.dialogs, run.dialogs);
    }
}

// A wzcsapi.dll in the current directory is not the platform's: it must not be loaded.
TEST(Entry, LibraryInCurrentDirectoryIsIgnored)
{
    wchar_t temp[MAX_PATH];
    std::wstring planted = std::wstring(temp, GetTempPathW(MAX_PATH, temp)) + L"wlanprov-planted";
    CreateDirectoryW(planted.c_str(), nullptr);
    std::wstring platforms = MachineDir() + L"\\platforms\\";
    std::wstring library = planted + L"\\wzcsapi.dll";
    ASSERT_TRUE(CopyFileW((platforms + L"xpsp1-1106\\wzcsapi.dll").c_str(), library.c_str(), 0));
    ProcessResult run = RunProcess(L"\"" + platforms + L"vista\\wlanprov.exe\" -delete", L"",
                                   nullptr, 60000, "", planted);
    EXPECT_NE(std::string::npos, run.output.find("main :: Windows Vista\n")) << run.output;
    DeleteFileW(library.c_str());
    RemoveDirectoryW(planted.c_str());
}

TEST(Entry, NoArgumentsOnXpSp1ShowsXpHelp)
{
    WlanprovRun run = RunWlanprov(L"xpsp1-1106", L"");
    EXPECT_EQ(13u, run.process.exitCode);
    EXPECT_NE(std::wstring::npos, run.usageText.find(L"/GUEST_AUTH:[TRUE | FALSE]"));
}

} // namespace
