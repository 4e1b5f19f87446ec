#include "dialog_bridge.h"

namespace {

const UINT kMessageTimeoutMs = 2000;

struct FindRequest {
    DWORD processId;
    const wchar_t* caption;
    HWND found;
};

bool IsDialogClass(HWND window)
{
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    return lstrcmpW(name, L"#32770") == 0;
}

BOOL CALLBACK FindTopLevel(HWND window, LPARAM param)
{
    FindRequest* request = reinterpret_cast<FindRequest*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (request->processId && owner != request->processId)
        return TRUE;
    if (!IsWindowVisible(window) || !IsDialogClass(window))
        return TRUE;
    if (request->caption && BridgeControlText(window, 0) != request->caption)
        return TRUE;
    request->found = window;
    return FALSE;
}

std::wstring WindowText(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs,
                             &length))
        return std::wstring();
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&text[0]),
                             SMTO_ABORTIFHUNG, kMessageTimeoutMs, &copied))
        return std::wstring();
    text.resize(copied);
    return text;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM param)
{
    BridgeDialog* dialog = reinterpret_cast<BridgeDialog*>(param);
    if (GetParent(window) != dialog->window)
        return TRUE;
    BridgeControl control;
    control.id = GetDlgCtrlID(window);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    control.className = name;
    control.text = WindowText(window);
    control.style = GetWindowLongW(window, GWL_STYLE);
    dialog->controls.push_back(control);
    return TRUE;
}

} // namespace

std::wstring BridgeControlText(HWND dialog, int controlId)
{
    HWND window = controlId ? GetDlgItem(dialog, controlId) : dialog;
    return window ? WindowText(window) : std::wstring();
}

HWND BridgeWaitForDialog(DWORD processId, const wchar_t* caption, DWORD timeoutMs, HANDLE stop)
{
    DWORD start = GetTickCount();
    // A process that has ended will show no dialog: stop waiting then.
    HANDLE process = processId ? OpenProcess(SYNCHRONIZE, FALSE, processId) : nullptr;
    HWND found = nullptr;
    for (;;) {
        FindRequest request = {processId, caption, nullptr};
        EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&request));
        found = request.found;
        if (found || GetTickCount() - start >= timeoutMs)
            break;
        if (process && WaitForSingleObject(process, 0) == WAIT_OBJECT_0)
            break;
        if (stop ? WaitForSingleObject(stop, 20) == WAIT_OBJECT_0 : (Sleep(20), false))
            break;
    }
    if (process)
        CloseHandle(process);
    return found;
}

bool BridgeReadDialog(HWND dialog, BridgeDialog* out)
{
    if (!IsWindow(dialog))
        return false;
    out->window = dialog;
    out->caption = WindowText(dialog);
    out->controls.clear();
    EnumChildWindows(dialog, CollectChild, reinterpret_cast<LPARAM>(out));
    return true;
}

bool BridgeSetControlText(HWND dialog, int controlId, const wchar_t* text)
{
    HWND control = GetDlgItem(dialog, controlId);
    DWORD_PTR result = 0;
    return control && SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text),
                                          SMTO_ABORTIFHUNG, kMessageTimeoutMs, &result);
}

bool BridgePressButton(HWND dialog, int controlId)
{
    HWND button = GetDlgItem(dialog, controlId);
    return PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED),
                        reinterpret_cast<LPARAM>(button));
}

bool BridgeCloseBox(HWND dialog)
{
    return PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

bool BridgePressKey(HWND dialog, UINT virtualKey)
{
    // The modal loop's IsDialogMessage turns Escape and Enter into the dialog's commands;
    // it looks at messages posted to the dialog's controls as well as to the dialog.
    HWND target = GetDlgItem(dialog, BridgeDefaultButton(dialog));
    if (!target)
        target = dialog;
    return PostMessageW(target, WM_KEYDOWN, virtualKey, 1) &&
           PostMessageW(target, WM_KEYUP, virtualKey, 0xC0000001);
}

int BridgeDefaultButton(HWND dialog)
{
    DWORD_PTR result = 0;
    if (SendMessageTimeoutW(dialog, DM_GETDEFID, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs,
                            &result) &&
        HIWORD(result) == DC_HASDEFID)
        return LOWORD(result);
    return IDOK;
}

bool BridgeWaitClosed(HWND window, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(20);
    }
    return true;
}
