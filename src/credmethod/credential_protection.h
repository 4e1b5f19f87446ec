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
