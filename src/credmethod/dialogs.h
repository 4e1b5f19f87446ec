// The plug-in's modal dialogs. Both fill an EAP_NAME_DIALOG only when the user presses OK and
// return the dialog result: 1 OK, 2 Cancel, -1 when the dialog could not be opened (the last
// error then tells why).
#pragma once

#include <windows.h>

#include "records.h"

// The credentials dialog (1086): user name, password, logon domain.
INT_PTR GetUsernameAndPassword(HWND parent, EAP_NAME_DIALOG* record);

// The token dialog (1092): one masked field under the server's prompt (the record's title).
INT_PTR GetUserInput(HWND parent, EAP_NAME_DIALOG* record);

// Dialog procedures and their command handlers. The procedures keep the record given as the
// initialisation parameter; the handlers fill it on OK only and end the dialog on OK or Cancel.
INT_PTR CALLBACK UsernameDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
BOOL UsernameCommand(EAP_NAME_DIALOG* record, WORD command, HWND dialog);
INT_PTR CALLBACK UserInputDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
BOOL UserInputCommand(EAP_NAME_DIALOG* record, WORD command, HWND dialog);
