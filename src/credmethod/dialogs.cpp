// The credentials dialog (1086) and the token dialog (1092): modal, loaded from the resource
// module (the companion library methodres.dll when it loaded, else the plug-in itself).
#include "dialogs.h"

#include "plugin_state.h"
#include "resource_ids.h"
#include "tracing.h"

namespace {

// The trace lines of one dialog routine.
struct DialogTraceLines {
    const char* called;
    const char* pressedOk;
    const char* canceled;
    const char* openFailed;
    const char* unknownResult;
    const char* returning;
};

const DialogTraceLines kUsernameLines = {
    "GetUsernameAndPassword :: called with ID: %d",
    "GetUsernameAndPassword :: user pressed ok",
    "GetUsernameAndPassword :: user canceled",
    "GetUsernameAndPassword :: error opening dialog, status: %d",
    "GetUsernameAndPassword :: unknown error opening dialog: %d",
    "GetUsernameAndPassword :: returning with: %d",
};

const DialogTraceLines kUserInputLines = {
    "GetUserInput :: called with ID: %d",
    "GetUserInput :: user pressed ok",
    "GetUserInput :: user canceled",
    "GetUserInput :: error opening dialog, status: %d",
    "GetUserInput :: unknown error opening dialog: %d",
    "GetUserInput :: returning with: %d",
};

INT_PTR RunDialog(int dialogId, DLGPROC proc, HWND parent, EAP_NAME_DIALOG* record,
                  const DialogTraceLines& lines)
{
    LogTrace(LOG_DETAIL, lines.called, dialogId);
    INT_PTR result = DialogBoxParamW(g_hResourceModule, MAKEINTRESOURCEW(dialogId), parent, proc,
                                     reinterpret_cast<LPARAM>(record));
    DWORD error = GetLastError();
    if (result == IDOK)
        LogTrace(LOG_DETAIL, lines.pressedOk);
    else if (result == IDCANCEL)
        LogTrace(LOG_DETAIL, lines.canceled);
    else if (result == -1)
        LogTrace(LOG_DETAIL, lines.openFailed, error);
    else
        LogTrace(LOG_DETAIL, lines.unknownResult, static_cast<int>(result));
    LogTrace(LOG_DETAIL, lines.returning, static_cast<int>(result));
    // The caller may want the reason a dialog could not be opened; tracing must not hide it.
    if (result != IDOK && result != IDCANCEL)
        SetLastError(error);
    return result;
}

EAP_NAME_DIALOG* DialogRecord(HWND dialog)
{
    return reinterpret_cast<EAP_NAME_DIALOG*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

// Keeps the record given at initialisation in the dialog's user slot and copies its title,
// read no further than its field even when it is not terminated. False when it is empty.
bool KeepRecord(HWND dialog, LPARAM initParam, WCHAR (&title)[PROMPT_FIELD_CHARS])
{
    EAP_NAME_DIALOG* record = reinterpret_cast<EAP_NAME_DIALOG*>(initParam);
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(record));
    lstrcpynW(title, record->awszTitle, PROMPT_FIELD_CHARS);
    return title[0] != 0;
}

// Joins "domain\user" into joined (NAME_FIELD_CHARS units). False when it does not fit:
// cutting it would hand out a name that is neither what was typed nor a valid account.
bool JoinDomainAndUser(const WCHAR* domain, const WCHAR* user, WCHAR* joined)
{
    int domainLength = lstrlenW(domain);
    int userLength = lstrlenW(user);
    if (domainLength + 1 + userLength > NAME_FIELD_CHARS - 1)
        return false;
    memcpy(joined, domain, domainLength * sizeof(WCHAR));
    joined[domainLength] = L'\\';
    memcpy(joined + domainLength + 1, user, userLength * sizeof(WCHAR));
    joined[domainLength + 1 + userLength] = 0;
    return true;
}

// Reads the three fields into the record on OK. False when the joined name does not fit; the
// record is then left as it was.
bool AcceptCredentials(EAP_NAME_DIALOG* record, HWND dialog)
{
    WCHAR user[NAME_FIELD_CHARS], password[NAME_FIELD_CHARS], domain[NAME_FIELD_CHARS];
    WCHAR joined[NAME_FIELD_CHARS];
    bool accepted = false;
    // Each field gives at most NAME_FIELD_CHARS - 1 characters.
    GetDlgItemTextW(dialog, IDC_USERNAME, user, NAME_FIELD_CHARS);
    GetDlgItemTextW(dialog, IDC_PASSWORD, password, NAME_FIELD_CHARS);
    GetDlgItemTextW(dialog, IDC_DOMAIN, domain, NAME_FIELD_CHARS);
    if (domain[0] && !JoinDomainAndUser(domain, user, joined)) {
        LogTrace(LOG_ERROR, "UsernameCommand :: domain and user name together exceed %d characters",
                 NAME_FIELD_CHARS - 1);
        goto done;
    }
    lstrcpynW(record->awszIdentity, domain[0] ? joined : user, NAME_FIELD_CHARS);
    lstrcpynW(record->awszPassword, password, NAME_FIELD_CHARS);
    lstrcpynW(record->awszDomain, domain[0] ? joined : domain, NAME_FIELD_CHARS);
    accepted = true;

done:
    SecureZeroMemory(password, sizeof(password));
    return accepted;
}

// An edit control keeps its text until its dialog is destroyed, in memory the plug-in never
// sees released: the password is overwritten in place with as many blanks, the control then
// emptied and its undo copy dropped, before the dialog ends. The control takes no more than
// the record keeps (see UsernameDialogProc), so the blanks always cover it.
void ClearPasswordControl(HWND dialog)
{
    HWND control = GetDlgItem(dialog, IDC_PASSWORD);
    if (!control)
        return;
    WCHAR blanks[NAME_FIELD_CHARS];
    int length = GetWindowTextLengthW(control);
    if (length > NAME_FIELD_CHARS - 1)
        length = NAME_FIELD_CHARS - 1;
    for (int i = 0; i < length; i++)
        blanks[i] = L' ';
    blanks[length] = 0;
    SetWindowTextW(control, blanks);
    SetWindowTextW(control, L"");
    SendMessageW(control, EM_EMPTYUNDOBUFFER, 0, 0);
}

} // namespace

BOOL UsernameCommand(EAP_NAME_DIALOG* record, WORD command, HWND dialog)
{
    switch (command) {
    case IDOK:
        LogTrace(LOG_DETAIL, "UsernameCommand :: called - IDOK");
        if (!AcceptCredentials(record, dialog)) {
            // The dialog stays open so that the user can shorten the name or the domain.
            MessageBeep(MB_ICONEXCLAMATION);
            SetFocus(GetDlgItem(dialog, IDC_USERNAME));
            return TRUE;
        }
        LogTrace(LOG_DETAIL, "UsernameCommand :: username : %S", record->awszIdentity);
        LogTrace(LOG_SECRET, "UsernameCommand :: password : %S", record->awszPassword);
        LogTrace(LOG_DETAIL, "UsernameCommand :: returning - %d", IDOK);
        ClearPasswordControl(dialog);
        EndDialog(dialog, IDOK);
        return TRUE;
    case IDCANCEL:
        ClearPasswordControl(dialog);
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    default: return FALSE;
    }
}

INT_PTR CALLBACK UsernameDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        LogTrace(LOG_DETAIL, "UsernameDialogProc :: - WM_INITDIALOG");
        SendDlgItemMessageW(dialog, IDC_PASSWORD, EM_LIMITTEXT, NAME_FIELD_CHARS - 1, 0);
        WCHAR title[PROMPT_FIELD_CHARS];
        if (KeepRecord(dialog, lParam, title))
            SetWindowTextW(dialog, title);
        return FALSE;
    }
    case WM_COMMAND: return UsernameCommand(DialogRecord(dialog), LOWORD(wParam), dialog);
    default: return FALSE;
    }
}

BOOL UserInputCommand(EAP_NAME_DIALOG* record, WORD command, HWND dialog)
{
    switch (command) {
    case IDOK:
        LogTrace(LOG_DETAIL, "UserInputCommand :: called - IDOK");
        GetDlgItemTextW(dialog, IDC_USER_INPUT, record->awszUserInput, NAME_FIELD_CHARS);
        LogTrace(LOG_DETAIL, "UserInputCommand :: returning - %d", IDOK);
        EndDialog(dialog, IDOK);
        return TRUE;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
    default: return FALSE;
    }
}

INT_PTR CALLBACK UserInputDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        LogTrace(LOG_DETAIL, "UserInputDialogProc :: - WM_INITDIALOG");
        WCHAR prompt[PROMPT_FIELD_CHARS];
        if (KeepRecord(dialog, lParam, prompt))
            SetDlgItemTextW(dialog, IDC_PROMPT, prompt);
        return FALSE;
    }
    case WM_COMMAND: return UserInputCommand(DialogRecord(dialog), LOWORD(wParam), dialog);
    default: return FALSE;
    }
}

INT_PTR GetUsernameAndPassword(HWND parent, EAP_NAME_DIALOG* record)
{
    return RunDialog(IDD_CREDENTIALS, UsernameDialogProc, parent, record, kUsernameLines);
}

INT_PTR GetUserInput(HWND parent, EAP_NAME_DIALOG* record)
{
    return RunDialog(IDD_TOKEN, UserInputDialogProc, parent, record, kUserInputLines);
}
