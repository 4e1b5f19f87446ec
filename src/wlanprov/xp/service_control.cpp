#include "service_control.h"

#include <cstdio>

#include "../common/globals.h"

long g_bSvcTrace = 0;

namespace {

const DWORD kStartLimitMs = 20000;

// Waits (printing the routine's wait line) until the status that read() fills reaches the
// goal or the limit passes. Returns 0, 1460, or read()'s last-error code.
template <typename ReadStatus, typename Goal>
DWORD WaitForService(const char* routine, DWORD startTick, DWORD limitMs, SERVICE_STATUS* status,
                     ReadStatus read, Goal goalReached)
{
    if (goalReached(status))
        return 0;
    for (;;) {
        DWORD interval = ServiceWaitInterval(status->dwWaitHint);
        printf("%s :: wait for %d seconds\n", routine, (int)(interval / 1000));
        Sleep(interval);
        if (!read(status))
            return GetLastError();
        switch (NextServiceWaitStep(GetTickCount() - startTick, limitMs, goalReached(status))) {
        case SERVICE_WAIT_TIMED_OUT: return ERROR_TIMEOUT;
        case SERVICE_WAIT_REACHED: return 0;
        case SERVICE_WAIT_AGAIN: break;
        }
    }
}

} // namespace

DWORD ServiceWaitInterval(DWORD waitHintMs)
{
    DWORD interval = waitHintMs / 10;
    if (interval < 1000)
        return 1000;
    return interval > 10000 ? 10000 : interval;
}

ServiceWaitStep NextServiceWaitStep(DWORD elapsedMs, DWORD limitMs, bool goalReached)
{
    if (elapsedMs > limitMs)
        return SERVICE_WAIT_TIMED_OUT;
    return goalReached ? SERVICE_WAIT_REACHED : SERVICE_WAIT_AGAIN;
}

DWORD ZT_StartWZCSVC(DWORD setAutomatic)
{
    DWORD result = 0;
    SC_HANDLE service = nullptr;
    SERVICE_STATUS status = {};
    // The start is watched through the extended status.
    auto readStatus = [&service](SERVICE_STATUS* s) {
        SERVICE_STATUS_PROCESS process = {};
        DWORD needed = 0;
        if (!QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO,
                                  reinterpret_cast<BYTE*>(&process), sizeof(process), &needed))
            return false;
        s->dwCurrentState = process.dwCurrentState;
        s->dwWaitHint = process.dwWaitHint;
        return true;
    };
    TracePrint(g_bSvcTrace, "ZT_StartWZCSVC\n");
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (!manager) {
        result = GetLastError();
        goto done;
    }
    TracePrint(g_bSvcTrace, "ZT_StartWZCSVC :: opened SC Manager\n");
    service = OpenServiceW(manager, L"WZCSVC",
                           SERVICE_CHANGE_CONFIG | SERVICE_QUERY_STATUS | SERVICE_START |
                               SERVICE_STOP);
    if (!service) {
        result = GetLastError();
        goto done;
    }
    TracePrint(g_bSvcTrace, "ZT_StartWZCSVC :: opened WZCSVC\n");
    if (setAutomatic)
        ChangeServiceConfigW(service, SERVICE_NO_CHANGE, SERVICE_AUTO_START, SERVICE_NO_CHANGE,
                             nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    if (!StartServiceW(service, 0, nullptr) || !readStatus(&status)) {
        result = GetLastError();
        goto done;
    }
    result = WaitForService("ZT_StartWZCSVC", GetTickCount(), kStartLimitMs, &status, readStatus,
                            [](const SERVICE_STATUS* s) {
                                return s->dwCurrentState != SERVICE_START_PENDING;
                            });
done:
    if (service)
        CloseServiceHandle(service);
    if (manager)
        CloseServiceHandle(manager);
    TracePrint(g_bSvcTrace, "ZT_StartWZCSVC :: returning %ld\n", (long)result);
    return result;
}

DWORD ZT_StopWZCSVC()
{
    DWORD result = 0;
    SC_HANDLE service = nullptr;
    // A refusal because the service is not running may leave the status as it was: stopped.
    SERVICE_STATUS status = {};
    status.dwCurrentState = SERVICE_STOPPED;
    TracePrint(g_bSvcTrace, "ZT_StopWZCSVC\n");
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (!manager) {
        result = GetLastError();
        goto done;
    }
    TracePrint(g_bSvcTrace, "ZT_StopWZCSVC:: opened SC Manager\n");
    service = OpenServiceW(manager, L"WZCSVC", SERVICE_QUERY_STATUS | SERVICE_START | SERVICE_STOP);
    if (!service) {
        result = GetLastError();
        goto done;
    }
    TracePrint(g_bSvcTrace, "ZT_StopWZCSVC :: opened WZCSVC\n");
    if (!ControlService(service, SERVICE_CONTROL_STOP, &status)) {
        result = GetLastError();
        if (result != ERROR_SERVICE_NOT_ACTIVE)
            goto done;
        result = 0;
    }
    result = WaitForService(
        "ZT_StopWZCSVC", GetTickCount(), status.dwWaitHint, &status,
        [&](SERVICE_STATUS* s) { return QueryServiceStatus(service, s) != FALSE; },
        [](const SERVICE_STATUS* s) { return s->dwCurrentState == SERVICE_STOPPED; });
done:
    if (service)
        CloseServiceHandle(service);
    if (manager)
        CloseServiceHandle(manager);
    TracePrint(g_bSvcTrace, "ZT_StopWZCSVC :: returning %ld\n", (long)result);
    return result;
}

DWORD WZCQueryWPAState_1181(const WzcBinding* binding, const wchar_t* guid)
{
    WzcInterfaceRoom room = {};
    DWORD outFlags = 0, answer = 0;
    DebugPrint("WZCQueryWPAState_1181\n");
    room.record.wszGuid = const_cast<LPWSTR>(guid);
    if (binding->WZCQueryInterface(nullptr, WZC_SEL_CAPABILITIES, &room.record, &outFlags) == 0) {
        DebugPrint("WZCQueryWPAState_1181 :: dwCapabilities : 0x%x\n",
                   (unsigned)room.record.dwCapabilities);
        answer = (room.record.dwCapabilities & WZC_CAP_WPA) ? 1 : 0;
    }
    // Only the capabilities were asked for; a list handed out anyway is ours to free.
    if (room.record.pListData)
        LocalFree(room.record.pListData);
    DebugPrint("WZCQueryWPAState_1181 :: returning %ld\n", (long)answer);
    return answer;
}

DWORD WZCQueryWPAState(const WzcBinding* binding, const wchar_t* guid)
{
    DebugPrint("WZCQueryWPAState\n");
    DWORD answer = binding->buildClass == WZC_BUILD_CLASS_1106
                       ? 0
                       : WZCQueryWPAState_1181(binding, guid);
    DebugPrint("WZCQueryWPAState :: returning %ld\n", (long)answer);
    return answer;
}
