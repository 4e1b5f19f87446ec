#include "help_dialog.h"

#include <cstdio>

#include "../common/globals.h"
#include "../resources/resource_ids.h"
#include "help_texts.h"

namespace {

// Creates a variant of a control's font and sets it on the control. The font lives until the
// process ends, as the dialog may be shown only once per run.
void SetDerivedFont(HWND dialog, int controlId, const wchar_t* face, LONG height, LONG weight)
{
    HWND control = GetDlgItem(dialog, controlId);
    if (!control)
        return;
    HFONT current = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    LOGFONTW description = {};
    if (!current || !GetObjectW(current, sizeof(description), &description))
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(description), &description);
    if (face)
        lstrcpynW(description.lfFaceName, face, LF_FACESIZE);
    description.lfHeight = height;
    if (weight)
        description.lfWeight = weight;
    HFONT font = CreateFontIndirectW(&description);
    if (font)
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

INT_PTR CALLBACK HelpDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetDerivedFont(dialog, IDC_HELP_TITLE, L"Tahoma", 20, FW_BOLD);
        SetDlgItemTextW(dialog, IDC_HELP_LICENCE, kLicenceText);
        SetDlgItemTextW(dialog, IDC_HELP_USAGE, g_bVista ? kUsageTextVista : kUsageTextXp);
        SetDlgItemTextW(dialog, IDC_HELP_EXAMPLES, g_bVista ? kExampleTextVista : kExampleTextXp);
        SetDerivedFont(dialog, IDC_HELP_RIGHTS, nullptr, 16, 0);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 1);
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}

} // namespace

DWORD ShowHelpDialog()
{
    HMODULE self = GetModuleHandleW(nullptr);
    if (!self)
        return GetLastError();
    // Whatever was printed so far belongs before the dialog.
    fflush(stdout);
    DialogBoxParamW(self, MAKEINTRESOURCEW(IDD_HELP), nullptr, HelpDialogProc, 0);
    return 0;
}
