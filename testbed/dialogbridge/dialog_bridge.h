// Finds and drives dialogs of another process (or thread) in the same Wine prefix: reads the
// caption and the controls' texts, sets texts, presses buttons. Used by tests, by the
// dialogbridge program and by the launcher on machines without a display.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct BridgeControl {
    int id;
    std::wstring className;
    std::wstring text;
    LONG style;
};

struct BridgeDialog {
    HWND window;
    std::wstring caption;
    std::vector<BridgeControl> controls;
};

// Waits up to timeoutMs for a visible top-level dialog (class #32770) owned by processId
// (0 = any process) whose caption equals caption (null = any). Returns null on time-out, as
// soon as that process has ended, or as soon as the event stop (when given) is signalled.
HWND BridgeWaitForDialog(DWORD processId, const wchar_t* caption, DWORD timeoutMs,
                         HANDLE stop = nullptr);

// Reads the caption and every child control of a dialog, in z-order (template order).
bool BridgeReadDialog(HWND dialog, BridgeDialog* out);

// The text of one control, read with WM_GETTEXT so that it works across processes.
std::wstring BridgeControlText(HWND dialog, int controlId);

// Sets a control's text (WM_SETTEXT), as a person typing into it would leave it.
bool BridgeSetControlText(HWND dialog, int controlId, const wchar_t* text);

// Presses a button the way a click does: the dialog receives WM_COMMAND with BN_CLICKED.
bool BridgePressButton(HWND dialog, int controlId);

// Closes the dialog through its close box (WM_SYSCOMMAND SC_CLOSE).
bool BridgeCloseBox(HWND dialog);

// Sends a key press (down and up) to the dialog's message loop, e.g. VK_ESCAPE or VK_RETURN.
bool BridgePressKey(HWND dialog, UINT virtualKey);

// The dialog's default push button id (DM_GETDEFID), or IDOK when it has none.
int BridgeDefaultButton(HWND dialog);

// Waits until the window is gone. Returns false on time-out.
bool BridgeWaitClosed(HWND window, DWORD timeoutMs);
