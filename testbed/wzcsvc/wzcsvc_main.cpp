// Emulated wireless service "WZCSVC". It keeps no state of its own (the emulated client
// library reads and writes the machine in the registry); what it emulates is how the service
// starts and stops, so that the service control of the XP back ends meets real pending states
// and wait hints. At each control it reads from XpServiceTiming how long to stay pending and
// which wait hint to report. A pending state is reported only for a time above 0: with
// nothing configured the service is running when its start has been taken, and stopped when
// the stop control returns.
//   wzcsvc.exe            run by the service control manager
//   wzcsvc.exe install    registers this program as "WZCSVC" (automatic start, as on XP), or
//                         points the existing service at it, and starts it
#include <windows.h>

#include <cwchar>

#include "xp_testbed_state.h"

namespace {

const wchar_t kServiceName[] = L"WZCSVC";

SERVICE_STATUS_HANDLE g_statusHandle;
SERVICE_STATUS g_status;
HANDLE g_stopRequested;
DWORD g_stopPendingMs;

void Report(DWORD state, DWORD waitHint)
{
    g_status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    g_status.dwCurrentState = state;
    g_status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
    g_status.dwWin32ExitCode = 0;
    g_status.dwWaitHint = waitHint;
    bool pending = state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING;
    g_status.dwCheckPoint = pending ? g_status.dwCheckPoint + 1 : 0;
    SetServiceStatus(g_statusHandle, &g_status);
}

DWORD WINAPI Control(DWORD control, DWORD, LPVOID, LPVOID)
{
    if (control == SERVICE_CONTROL_INTERROGATE)
        return NO_ERROR;
    if (control != SERVICE_CONTROL_STOP)
        return ERROR_CALL_NOT_IMPLEMENTED;
    if (g_status.dwCurrentState != SERVICE_RUNNING)
        return ERROR_SERVICE_CANNOT_ACCEPT_CTRL;
    XpServiceTiming timing;
    ReadXpServiceTiming(&timing);
    g_stopPendingMs = timing.stopPendingMs;
    if (g_stopPendingMs == 0)
        Report(SERVICE_STOPPED, 0);
    else
        Report(SERVICE_STOP_PENDING, timing.stopWaitHint);
    SetEvent(g_stopRequested);
    return NO_ERROR;
}

void WINAPI ServiceMain(DWORD, LPWSTR*)
{
    g_statusHandle = RegisterServiceCtrlHandlerExW(kServiceName, Control, nullptr);
    if (!g_statusHandle)
        return;
    XpServiceTiming timing;
    ReadXpServiceTiming(&timing);
    if (timing.startPendingMs != 0) {
        Report(SERVICE_START_PENDING, timing.startWaitHint);
        Sleep(timing.startPendingMs);
    }
    Report(SERVICE_RUNNING, 0);
    WaitForSingleObject(g_stopRequested, INFINITE);
    if (g_stopPendingMs != 0) {
        Sleep(g_stopPendingMs);
        Report(SERVICE_STOPPED, 0);
    }
}

int Install()
{
    wchar_t path[MAX_PATH + 2] = L"\"";
    DWORD length = GetModuleFileNameW(nullptr, path + 1, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 1;
    wcscat(path, L"\"");
    DWORD result = 0;
    SC_HANDLE service = nullptr;
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr,
                                       SC_MANAGER_CONNECT | SC_MANAGER_CREATE_SERVICE);
    if (!manager) {
        result = GetLastError();
        goto done;
    }
    service = CreateServiceW(manager, kServiceName, L"Wireless Zero Configuration",
                             SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START,
                             SERVICE_ERROR_NORMAL, path, nullptr, nullptr, nullptr, nullptr,
                             nullptr);
    if (!service && GetLastError() == ERROR_SERVICE_EXISTS) {
        service = OpenServiceW(manager, kServiceName, SERVICE_CHANGE_CONFIG | SERVICE_START);
        if (service &&
            !ChangeServiceConfigW(service, SERVICE_NO_CHANGE, SERVICE_NO_CHANGE, SERVICE_NO_CHANGE,
                                  path, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr))
            result = GetLastError();
    }
    if (!service)
        result = GetLastError();
    else if (!StartServiceW(service, 0, nullptr) && GetLastError() != ERROR_SERVICE_ALREADY_RUNNING)
        result = GetLastError();
done:
    if (service)
        CloseServiceHandle(service);
    if (manager)
        CloseServiceHandle(manager);
    if (result != 0)
        fwprintf(stderr, L"wzcsvc: the service cannot be installed (error %lu)\n", result);
    return result == 0 ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 2 && wcscmp(argv[1], L"install") == 0)
        return Install();
    g_stopRequested = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SERVICE_TABLE_ENTRYW table[] = {{const_cast<LPWSTR>(kServiceName), ServiceMain},
                                    {nullptr, nullptr}};
    BOOL dispatched = StartServiceCtrlDispatcherW(table);
    // Under Wine the dispatcher returns as soon as the stop control reports the service
    // stopped, before its answer to that control has gone back: a process that ended at once
    // would fail the caller's ControlService with a broken pipe, which Windows never does.
    Sleep(200);
    CloseHandle(g_stopRequested);
    return dispatched ? 0 : 1;
}
