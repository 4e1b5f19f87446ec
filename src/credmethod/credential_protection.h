// Stored credentials: the password protected with the Windows data protection API, so that only
// the same user account can recover it.
#pragma once

#include <windows.h>
#include <raseapif.h>

#include "records.h"

// Whether data is a stored record whose name converts to text and whose password unprotects.
// One that does not (moved to another machine or account, or damaged) counts as no record:
// the user is asked again instead of being sent an empty password.
bool StoredCredentialsReadable(const BYTE* data, DWORD size);

// Fills pwb from the stored record (pEapInput->pUserData, 776 bytes): the user name and the
// password. Returns 0 with pwb handed out through ppWorkBuffer; 13 when the record cannot be
// read (see StoredCredentialsReadable), or the allocator's error, with nothing handed out and
// pwb untouched (still the caller's).
DWORD DecryptData(EAPCB* pwb, const PPP_EAP_INPUT* pEapInput, void** ppWorkBuffer);

// After a Success: hands the host the stored form of pwb's credentials to save (fSaveUserData,
// pUserData, dwSizeOfUserData of out). Returns 0, also when the password cannot be protected
// (then nothing is handed out and the host keeps what it had), 8 when the protected password
// exceeds the record, or the allocator's error.
DWORD EncryptData(const EAPCB* pwb, PPP_EAP_OUTPUT* out);
