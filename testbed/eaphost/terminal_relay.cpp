#include "terminal_relay.h"

#include <string>

#include "host_log.h"
#include "text_convert.h"

namespace {

bool IsClass(HWND window, const wchar_t* name)
{
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    return lstrcmpiW(className, name) == 0;
}

// The static text left of the field on the same row, as a person reads the form.
std::wstring LabelOf(HWND dialog, HWND field)
{
    RECT fieldRect;
    GetWindowRect(field, &fieldRect);
    std::wstring best;
    LONG bestDistance = 0x7FFFFFFF;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsClass(child, L"Static"))
            continue;
        RECT rect;
        GetWindowRect(child, &rect);
        LONG middle = (rect.top + rect.bottom) / 2;
        if (middle < fieldRect.top || middle > fieldRect.bottom || rect.right > fieldRect.left + 2)
            continue;
        wchar_t text[128] = {};
        GetWindowTextW(child, text, 128);
        if (text[0] && fieldRect.left - rect.right < bestDistance) {
            bestDistance = fieldRect.left - rect.right;
            best = text;
        }
    }
    if (best.empty())
        best = L"Field " + std::to_wstring(GetDlgCtrlID(field)) + L":";
    return best;
}

void Prompt(const std::wstring& text)
{
    FILE* stream = HostLogStream();
    fprintf(stream, "%s ", ToPrintableUtf8(text).c_str());
    fflush(stream);
}

} // namespace

bool ReadTerminalLine(HANDLE in, bool masked, std::wstring* line)
{
    line->clear();
    DWORD mode = 0;
    if (GetConsoleMode(in, &mode)) {
        if (masked)
            SetConsoleMode(in, mode & ~ENABLE_ECHO_INPUT);
        wchar_t c = 0;
        DWORD read = 0;
        bool any = false;
        while (ReadConsoleW(in, &c, 1, &read, nullptr) && read == 1) {
            any = true;
            if (c == L'\n')
                break;
            if (c != L'\r')
                *line += c;
        }
        if (masked) {
            SetConsoleMode(in, mode);
            fputc('\n', HostLogStream());
        }
        return any;
    }
    std::string bytes;
    char c = 0;
    DWORD read = 0;
    bool any = false;
    while (ReadFile(in, &c, 1, &read, nullptr) && read == 1) {
        any = true;
        if (c == '\n')
            break;
        if (c != '\r')
            bytes += c;
    }
    *line = FromUtf8(bytes);
    // Piped input is not echoed by anyone: end the prompt's line.
    fputc('\n', HostLogStream());
    return any;
}

void RelayDialogToTerminal(const BridgeDialog& dialog, HANDLE in, DialogAnswer* answer)
{
    answer->fields.clear();
    answer->button = IDCANCEL;
    bool open = true;
    for (const BridgeControl& control : dialog.controls) {
        if (lstrcmpiW(control.className.c_str(), L"Edit") != 0)
            continue;
        HWND field = GetDlgItem(dialog.window, control.id);
        bool masked = (control.style & ES_PASSWORD) != 0;
        Prompt(LabelOf(dialog.window, field) + (masked ? L" (not shown)" : L""));
        std::wstring typed;
        if (!ReadTerminalLine(in, masked, &typed)) {
            open = false;
            break;
        }
        answer->fields.emplace_back(control.id, typed);
    }
    if (!open)
        return;
    Prompt(L"Press Enter for OK, or type cancel:");
    std::wstring choice;
    if (ReadTerminalLine(in, false, &choice) && choice != L"cancel" && choice != L"c")
        answer->button = IDOK;
}
