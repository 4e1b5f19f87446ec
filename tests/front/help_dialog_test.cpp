// The help dialog, shown in this process (the test program carries wlanprov's resources) and
// driven from a second thread the way a user would close it.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "dialog_bridge.h"
#include "globals.h"
#include "help_dialog.h"
#include "resource_ids.h"

namespace {

struct Shown {
    DWORD result = 0xdeadbeef;
    BridgeDialog dialog;
    bool found = false;
    bool closed = false;
    LOGFONTW titleFont = {};
    LOGFONTW rightsFont = {};
};

// Shows the dialog, reads it from another thread, then closes it with close().
Shown ShowAndClose(LONG vista, const std::function<void(HWND)>& close)
{
    g_bVista = vista;
    Shown shown;
    std::thread driver([&] {
        HWND window = BridgeWaitForDialog(GetCurrentProcessId(), L"wlanprov Help", 10000);
        if (!window)
            return;
        shown.found = BridgeReadDialog(window, &shown.dialog);
        HFONT title = (HFONT)SendMessageW(GetDlgItem(window, IDC_HELP_TITLE), WM_GETFONT, 0, 0);
        GetObjectW(title, sizeof(shown.titleFont), &shown.titleFont);
        HFONT rights = (HFONT)SendMessageW(GetDlgItem(window, IDC_HELP_RIGHTS), WM_GETFONT, 0, 0);
        GetObjectW(rights, sizeof(shown.rightsFont), &shown.rightsFont);
        close(window);
        shown.closed = BridgeWaitClosed(window, 10000);
    });
    shown.result = ShowHelpDialog();
    driver.join();
    g_bVista = 0;
    return shown;
}

const BridgeControl* Find(const BridgeDialog& dialog, int id)
{
    for (const BridgeControl& control : dialog.controls)
        if (control.id == id)
            return &control;
    return nullptr;
}

std::vector<std::wstring> SplitLines(const std::wstring& text)
{
    std::vector<std::wstring> lines;
    size_t start = 0, end;
    while ((end = text.find(L"\r\n", start)) != std::wstring::npos) {
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

// One usage line: the option part, a run of blanks, the description, trailing blanks.
struct UsageLine {
    const wchar_t* option;
    int blanks;
    const wchar_t* description;
    int trailing;
};

std::wstring Compose(const UsageLine& line)
{
    return std::wstring(line.option) + std::wstring(line.blanks, L' ') + line.description +
           std::wstring(line.trailing, L' ');
}

const UsageLine kVistaUsage[] = {
    {L" /SSID:[SSID]", 96, L"Wireless Network name [1-32 characters]", 0},
    {L" /Authentication:[ open | shared | WPA | WPAPSK | WPA2 | WPA2PSK ]", 4,
     L"Authentication method", 1},
    {L" /Encryption:[ WEP | none | AES | TKIP ]", 55, L"Encryption type", 1},
    {L" /NetworkKey:[ NetworkKey ]", 73, L"Network key", 1},
    {L" /KeyIndex:[ 1 | 2 | 3 | 4 ]", 78, L"Key index", 1},
    {L" /EAPType:[ PEAP | EAP-TLS ]", 72, L"EAP method", 3},
    {L" /InnerAuthentication:[ GTC | MSCHAPv2 ]", 51, L"Inner authentication method", 2},
    {L" /UseWindowsLogonInfo:[ TRUE | FALSE ]", 52, L"Use Windows logon info", 1},
    {L" /EnableFastReconnect:[ TRUE | FALSE ]", 54, L"Enable fast reconnect", 2},
    {L" /ValidateServerCert:[ TRUE | FALSE ]", 58, L"Validate server certificate", 1},
    {L" /TrustRootCA:[ TrustedRootCA ]", 65, L"Trusted Root Certification Authorities", 1},
    {L" /DebugLog:[ TRUE | FALSE ]", 73, L"Log file generated", 1},
};

const UsageLine kXpUsage[] = {
    {L" /SSID:[SSID]", 95, L"Wireless Network name [1-32 characters]", 0},
    {L" /Authentication:[ Open | Shared | WPA | WPAPSK | WPA2 | WPA2PSK ]", 2,
     L"Authentication method", 1},
    {L" /Encryption:[WEP | None | AES | TKIP]", 55, L"Encryption type", 1},
    {L" /NetworkKey:[NetworkKey]", 73, L"Network key", 1},
    {L" /KeyIndex:[1 | 2 | 3 | 4]", 78, L"Key index", 1},
    {L" /KeyProvidedAutomatically:[TRUE | FALSE]", 48, L"Key automatically provided", 1},
    {L" /IEEE8021xEnabled:[TRUE | FALSE]", 59, L"IEEE802.1x enabled", 1},
    {L" /EAPType:[PEAP | EAP-TLS]", 72, L"EAP method", 3},
    {L" /MACHINE_AUTH:[TRUE | FALSE]", 63, L"Machine authentication", 1},
    {L" /GUEST_AUTH:[TRUE | FALSE]", 67, L"Guest authentication", 3},
    {L" /InnerAuthentication:[GTC | MSCHAPv2]", 51, L"Inner authentication method", 2},
    {L" /UseWindowsLogonInfo:[TRUE | FALSE]", 52, L"Use Windows logon info", 1},
    {L" /EnableFastReconnect:[TRUE | FALSE]", 54, L"Enable fast reconnect", 2},
    {L" /ValidateServerCert:[TRUE | FALSE]", 58, L"Validate server certificate", 1},
    {L" /TrustRootCA:[TrustedRootCA]", 65, L"Trusted Root Certification Authorities", 1},
    {L" /DebugLog:[TRUE | FALSE]", 73, L"Log file generated", 1},
};

template <size_t N>
std::wstring UsageText(const UsageLine (&rows)[N])
{
    std::wstring text = L"SYNOPSIS: \r\n wlanprov [-add | -delete | -help] /SSID:[SSID] ... ... "
                        L"\r\n\r\nDESCRIPTION: \r\n";
    for (const UsageLine& row : rows)
        text += Compose(row) + L"\r\n";
    return text;
}

void PressOk(HWND window)
{
    BridgePressButton(window, IDOK);
}

TEST(HelpDialog, VistaTexts)
{
    Shown shown = ShowAndClose(1, PressOk);
    ASSERT_TRUE(shown.found);
    EXPECT_TRUE(shown.closed);
    EXPECT_EQ(0u, shown.result);
    const BridgeControl* usage = Find(shown.dialog, IDC_HELP_USAGE);
    ASSERT_NE(nullptr, usage);
    EXPECT_EQ(UsageText(kVistaUsage), usage->text);
    std::vector<std::wstring> lines = SplitLines(usage->text);
    EXPECT_EQ(16u, lines.size());
    for (const wchar_t* xpOnly :
         {L"/KeyProvidedAutomatically", L"/IEEE8021xEnabled", L"/MACHINE_AUTH", L"/GUEST_AUTH"})
        EXPECT_EQ(std::wstring::npos, usage->text.find(xpOnly));
    const BridgeControl* examples = Find(shown.dialog, IDC_HELP_EXAMPLES);
    ASSERT_NE(nullptr, examples);
    EXPECT_EQ(L"wlanprov.exe -add /SSID:BRINMOR /Authentication:WPA /Encryption:TKIP "
              L"/EAPType:PEAP /InnerAuthentication:MSCHAPv2 /EnableFastReconnect:TRUE \r\n"
              L"wlanprov.exe -delete /SSID:BRINMOR ",
              examples->text);
}

TEST(HelpDialog, XpTexts)
{
    Shown shown = ShowAndClose(0, PressOk);
    ASSERT_TRUE(shown.found);
    EXPECT_EQ(0u, shown.result);
    const BridgeControl* usage = Find(shown.dialog, IDC_HELP_USAGE);
    ASSERT_NE(nullptr, usage);
    EXPECT_EQ(UsageText(kXpUsage), usage->text);
    EXPECT_EQ(20u, SplitLines(usage->text).size());
    const BridgeControl* examples = Find(shown.dialog, IDC_HELP_EXAMPLES);
    ASSERT_NE(nullptr, examples);
    EXPECT_EQ(L"wlanprov.exe -add /SSID:BRINMOR /Authentication:WPA /Encryption:TKIP "
              L"/KeyProvidedAutomatically:TRUE /IEEE8021xEnabled:TRUE /EAPType:PEAP "
              L"/InnerAuthentication:MSCHAPv2 /EnableFastReconnect:TRUE \r\n"
              L"wlanprov.exe -delete /SSID:BRINMOR ",
              examples->text);
}

TEST(HelpDialog, ControlsAndFonts)
{
    Shown shown = ShowAndClose(1, PressOk);
    ASSERT_TRUE(shown.found);
    EXPECT_EQ(L"wlanprov Help", shown.dialog.caption);
    struct Expected {
        int id;
        const wchar_t* className;
        const wchar_t* text; // null: not compared here
    };
    const Expected expected[] = {
        {IDOK, L"Button", L"OK"},
        {IDC_HELP_LICENCE, L"Edit", nullptr},
        {IDC_HELP_TITLE, L"Static", L"Wavestead ( Version 1.4 )"},
        {IDC_HELP_USAGE_GROUP, L"Button", L"Usage"},
        {IDC_HELP_USAGE, L"Edit", nullptr},
        {IDC_HELP_EXAMPLES, L"Edit", nullptr},
        {IDC_HELP_EXAMPLES_GROUP, L"Button", L"Examples"},
        {IDC_HELP_LOGO, L"Static", nullptr},
        {IDC_HELP_RIGHTS, L"Static", nullptr},
    };
    ASSERT_EQ(sizeof(expected) / sizeof(expected[0]), shown.dialog.controls.size());
    for (size_t i = 0; i < shown.dialog.controls.size(); ++i) {
        const BridgeControl& control = shown.dialog.controls[i];
        EXPECT_EQ(expected[i].id, control.id) << i;
        EXPECT_EQ(0, lstrcmpiW(expected[i].className, control.className.c_str())) << i;
        if (expected[i].text) {
            EXPECT_EQ(expected[i].text, control.text) << i;
        }
    }
    const BridgeControl* licence = Find(shown.dialog, IDC_HELP_LICENCE);
    EXPECT_FALSE(licence->text.empty());
    EXPECT_TRUE(licence->style & ES_MULTILINE);
    EXPECT_TRUE(licence->style & ES_READONLY);
    EXPECT_TRUE(licence->style & WS_VSCROLL);
    for (int id : {IDC_HELP_USAGE, IDC_HELP_EXAMPLES}) {
        EXPECT_TRUE(Find(shown.dialog, id)->style & ES_MULTILINE) << id;
        EXPECT_TRUE(Find(shown.dialog, id)->style & ES_READONLY) << id;
    }
    EXPECT_EQ(SS_BITMAP, Find(shown.dialog, IDC_HELP_LOGO)->style & SS_TYPEMASK);
    EXPECT_TRUE(Find(shown.dialog, IDC_HELP_LOGO)->style & SS_SUNKEN);
    EXPECT_TRUE(Find(shown.dialog, IDOK)->style & BS_DEFPUSHBUTTON);

    EXPECT_STREQ(L"Tahoma", shown.titleFont.lfFaceName);
    EXPECT_EQ(20, shown.titleFont.lfHeight);
    EXPECT_EQ(FW_BOLD, shown.titleFont.lfWeight);
    EXPECT_EQ(16, shown.rightsFont.lfHeight);
}

TEST(HelpDialog, EveryWayOfClosing)
{
    struct Way {
        const char* name;
        std::function<void(HWND)> close;
    };
    const Way ways[] = {
        {"OK", PressOk},
        {"Escape", [](HWND w) { BridgePressKey(w, VK_ESCAPE); }},
        {"Enter", [](HWND w) { BridgePressKey(w, VK_RETURN); }},
        {"close box", [](HWND w) { BridgeCloseBox(w); }},
        {"Cancel command", [](HWND w) { BridgePressButton(w, IDCANCEL); }},
    };
    for (const Way& way : ways) {
        Shown shown = ShowAndClose(0, way.close);
        EXPECT_TRUE(shown.found) << way.name;
        EXPECT_TRUE(shown.closed) << way.name;
        EXPECT_EQ(0u, shown.result) << way.name;
    }
}

TEST(HelpDialog, OtherCommandsLeaveItOpen)
{
    Shown shown = ShowAndClose(0, [](HWND w) {
        BridgePressButton(w, IDC_HELP_USAGE);
        Sleep(200);
        EXPECT_TRUE(IsWindowVisible(w));
        BridgePressButton(w, IDOK);
    });
    EXPECT_TRUE(shown.closed);
}

TEST(HelpResources, LogoBitmap)
{
    HBITMAP logo = (HBITMAP)LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_LOGO),
                                       IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    ASSERT_NE(nullptr, logo);
    DIBSECTION dib = {};
    ASSERT_TRUE(GetObjectW(logo, sizeof(dib), &dib));
    EXPECT_EQ(129, dib.dsBm.bmWidth);
    EXPECT_EQ(35, dib.dsBm.bmHeight);
    EXPECT_EQ(24, dib.dsBm.bmBitsPixel);
    DeleteObject(logo);
}

TEST(HelpResources, ExtendedTemplate)
{
    HMODULE self = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(self, MAKEINTRESOURCEW(IDD_HELP), (LPCWSTR)RT_DIALOG);
    ASSERT_NE(nullptr, found);
    const BYTE* data = (const BYTE*)LockResource(LoadResource(self, found));
    ASSERT_NE(nullptr, data);
    // DLGTEMPLATEEX: dlgVer 1, signature 0xFFFF, helpID, exStyle, style, cDlgItems, x, y, cx, cy.
    EXPECT_EQ(1, *(const WORD*)data);
    EXPECT_EQ(0xFFFF, *(const WORD*)(data + 2));
    DWORD style = *(const DWORD*)(data + 12);
    EXPECT_EQ(DWORD(DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU),
              style & ~DWORD(WS_VISIBLE));
    EXPECT_EQ(9, *(const WORD*)(data + 16));
    EXPECT_EQ(421, *(const short*)(data + 22));
    EXPECT_EQ(353, *(const short*)(data + 24));
}

} // namespace
