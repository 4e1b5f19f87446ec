// The thread's last error after a failed call, never 0: a call that fails without setting one
// still fails, with the fallback as its code.
#pragma once

#include <windows.h>

inline DWORD LastErrorOr(DWORD fallback)
{
    DWORD code = GetLastError();
    return code != 0 ? code : fallback;
}
