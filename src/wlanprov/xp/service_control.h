// Starting and stopping the wireless service "WZCSVC" and waiting for it, and the WPA
// capability query of an adapter.
#pragma once

#include <windows.h>

#include "wzc_binding.h"

// Trace switch of the service routines; no option sets it.
extern long g_bSvcTrace;

// Starts the service (after making its start automatic when setAutomatic is non-zero) and
// waits while it is start pending, at most 20 s. Returns 0, 1460 on timeout, or the failing
// call's last-error code (1056 when it is already running).
DWORD ZT_StartWZCSVC(DWORD setAutomatic);
// Stops the service and waits until it is stopped, at most its first wait hint. Returns 0
// (also when it was not running), 1460 on timeout, or the failing call's last-error code.
DWORD ZT_StopWZCSVC();

// The pause between two status reads for a wait hint: a tenth of it, 1 to 10 seconds.
DWORD ServiceWaitInterval(DWORD waitHintMs);
enum ServiceWaitStep { SERVICE_WAIT_AGAIN, SERVICE_WAIT_REACHED, SERVICE_WAIT_TIMED_OUT };
// After a status read: the limit is tested before the state, so a goal reached too late is
// still a timeout.
ServiceWaitStep NextServiceWaitStep(DWORD elapsedMs, DWORD limitMs, bool goalReached);

// 1 when the adapter can do WPA, else 0 (also when the query fails). Build class 3 cannot:
// it answers 0 without asking the library.
DWORD WZCQueryWPAState(const WzcBinding* binding, const wchar_t* guid);
// The query through the 80-byte interface record.
DWORD WZCQueryWPAState_1181(const WzcBinding* binding, const wchar_t* guid);
