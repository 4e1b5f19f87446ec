// Stored credentials: the password protected with the Windows data protection API, so that only
// the same user account can recover it.
#pragma once

#include <windows.h>
#include <raseapif.h>

#include "records.h"

// Fills pwb from the stored record (pEapInput->pUserData, 776 bytes): the user name, and the
// password when it unprotects. Returns 0 with pwb handed out through ppWorkBuffer, or the
// allocator's error with nothing handed out (pwb is then still the caller's).
DWORD DecryptData(EAPCB* pwb, const PPP_EAP_INPUT* pEapInput, void** ppWorkBuffer);

// After a Success: hands the host the stored form of pwb's credentials to save (fSaveUserData,
// pUserData, dwSizeOfUserData of out). Returns 0, also when the password cannot be protected
// (then nothing is handed out and the host keeps what it had), 8 when the protected password
// exceeds the record, or the allocator's error.
DWORD EncryptData(const EAPCB* pwb, PPP_EAP_OUTPUT* out);
