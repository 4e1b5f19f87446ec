#include "dialog_automation.h"

#include <string>

#include "dialog_bridge.h"
#include "host_log.h"
#include "terminal_relay.h"
#include "text_convert.h"

namespace {

const DWORD kPollMs = 50;
const DWORD kCloseWaitMs = 10000;

bool IsStatic(const BridgeControl& control)
{
    return lstrcmpiW(control.className.c_str(), L"Static") == 0;
}

// A person is at the terminal when standard input is a console.
bool IsConsole(HANDLE handle)
{
    DWORD mode = 0;
    return handle && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

// Logs the caption and every text a person would read (static texts, one line each).
void LogDialog(const BridgeDialog& dialog)
{
    HostLog("eaphost :: dialog \"%s\"", ToPrintableUtf8(dialog.caption).c_str());
    for (const BridgeControl& control : dialog.controls) {
        if (!IsStatic(control) || control.text.empty())
            continue;
        std::wstring text = control.text;
        for (wchar_t& c : text)
            if (c == L'\r' || c == L'\n')
                c = L' ';
        // Labels usually have no id of their own (-1 in the template).
        if (control.id == -1 || control.id == 0xFFFF)
            HostLog("eaphost ::   text: \"%s\"", ToPrintableUtf8(text).c_str());
        else
            HostLog("eaphost ::   text %d: \"%s\"", control.id, ToPrintableUtf8(text).c_str());
    }
}

void Answer(const BridgeDialog& dialog, const DialogAnswer& answer)
{
    for (const auto& field : answer.fields) {
        HWND control = GetDlgItem(dialog.window, field.first);
        bool masked = control && (GetWindowLongW(control, GWL_STYLE) & ES_PASSWORD);
        if (!BridgeSetControlText(dialog.window, field.first, field.second.c_str())) {
            HostLog("eaphost ::   no control %d to fill", field.first);
            continue;
        }
        HostLog("eaphost ::   typed into %d: %s", field.first,
                masked ? "(hidden)" : ("\"" + ToUtf8(field.second) + "\"").c_str());
    }
    HostLog("eaphost ::   pressed %s", answer.button == IDOK ? "OK" : "Cancel");
    BridgePressButton(dialog.window, answer.button);
}

void HandleDialog(DialogAutomation* automation, HWND window)
{
    BridgeDialog dialog;
    if (!BridgeReadDialog(window, &dialog))
        return;
    LogDialog(dialog);
    if (automation->nextAnswer < automation->answers.size()) {
        Answer(dialog, automation->answers[automation->nextAnswer++]);
    } else if (automation->relay || IsConsole(automation->terminalIn)) {
        DialogAnswer typed;
        RelayDialogToTerminal(dialog, automation->terminalIn, &typed);
        Answer(dialog, typed);
    } else {
        HostLog("eaphost ::   no answer left for this dialog");
        HostLog("eaphost ::   pressed Cancel");
        BridgePressButton(window, IDCANCEL);
    }
    if (!BridgeWaitClosed(window, kCloseWaitMs))
        HostLog("eaphost ::   the dialog did not close");
}

DWORD WINAPI WatchDialogs(void* parameter)
{
    DialogAutomation* automation = static_cast<DialogAutomation*>(parameter);
    DWORD self = GetCurrentProcessId();
    while (!InterlockedCompareExchange(&automation->stopping, 0, 0)) {
        HWND window = BridgeWaitForDialog(self, nullptr, 0);
        if (window)
            HandleDialog(automation, window);
        else
            Sleep(kPollMs);
    }
    return 0;
}

} // namespace

bool StartDialogAutomation(DialogAutomation* automation, const std::vector<DialogAnswer>& answers,
                           bool relay, HANDLE terminalIn)
{
    automation->answers = answers;
    automation->nextAnswer = 0;
    automation->relay = relay;
    automation->terminalIn = terminalIn;
    automation->stopping = 0;
    automation->thread = CreateThread(nullptr, 0, WatchDialogs, automation, 0, nullptr);
    return automation->thread != nullptr;
}

void StopDialogAutomation(DialogAutomation* automation)
{
    if (!automation->thread)
        return;
    InterlockedExchange(&automation->stopping, 1);
    WaitForSingleObject(automation->thread, INFINITE);
    CloseHandle(automation->thread);
    automation->thread = nullptr;
}
