// The emulated "WZCSVC" through the prefix's service manager: pending states as configured,
// and the manager's refusals. The service is the prefix's one: CTest runs this program alone
// among those that lock the resource wzcsvc.
#include <gtest/gtest.h>

#include "xp_testbed_state.h"

namespace {

struct Service {
    Service()
    {
        manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
        service = OpenServiceW(manager, L"WZCSVC",
                               SERVICE_QUERY_STATUS | SERVICE_START | SERVICE_STOP);
    }
    ~Service()
    {
        CloseServiceHandle(service);
        CloseServiceHandle(manager);
        WriteXpServiceTiming({});
    }
    SERVICE_STATUS_PROCESS Status()
    {
        SERVICE_STATUS_PROCESS status = {};
        DWORD needed = 0;
        EXPECT_TRUE(QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO,
                                         reinterpret_cast<BYTE*>(&status), sizeof(status),
                                         &needed));
        return status;
    }
    // Polls until the state is no longer `state` (as long as the service takes; CTest's
    // timeout ends a hang).
    SERVICE_STATUS_PROCESS Leaving(DWORD state)
    {
        SERVICE_STATUS_PROCESS status;
        while ((status = Status()).dwCurrentState == state)
            Sleep(20);
        return status;
    }
    DWORD Stop(SERVICE_STATUS* status)
    {
        if (DWORD running = Status().dwProcessId)
            process = running;
        return ControlService(service, SERVICE_CONTROL_STOP, status) ? 0 : GetLastError();
    }
    // Starts the service once the process it stopped in has ended: Wine's service manager
    // hands a start that comes while that process is still ending to the ending process, whose
    // control pipe then breaks (109 at the next control).
    DWORD Start()
    {
        HANDLE ending = process ? OpenProcess(SYNCHRONIZE, FALSE, process) : nullptr;
        if (ending) {
            WaitForSingleObject(ending, 10000);
            CloseHandle(ending);
        }
        process = 0;
        return StartServiceW(service, 0, nullptr) ? 0 : GetLastError();
    }
    SC_HANDLE manager, service;
    DWORD process = 0; // the process the service ran in when last stopped
};

TEST(XpService, PendingStatesAndRefusals)
{
    Service wzc;
    ASSERT_NE(nullptr, wzc.service) << GetLastError();
    SERVICE_STATUS status = {};
    // Whatever state it was left in: stopped.
    if (wzc.Stop(&status) == 0)
        wzc.Leaving(SERVICE_STOP_PENDING);
    status.dwCurrentState = 0xdeadbeef;
    EXPECT_EQ((DWORD)ERROR_SERVICE_NOT_ACTIVE, wzc.Stop(&status));
    EXPECT_EQ((DWORD)SERVICE_STOPPED, status.dwCurrentState);

    ASSERT_EQ(0, WriteXpServiceTiming({300, 30000, 200, 5000}));
    ASSERT_EQ(0u, wzc.Start());
    // The manager's own start-pending status comes first, without check point.
    SERVICE_STATUS_PROCESS pending;
    while ((pending = wzc.Status()).dwCurrentState == SERVICE_START_PENDING &&
           pending.dwCheckPoint == 0)
        Sleep(20);
    EXPECT_EQ((DWORD)SERVICE_START_PENDING, pending.dwCurrentState);
    EXPECT_EQ(30000u, pending.dwWaitHint);
    EXPECT_EQ((DWORD)SERVICE_RUNNING, wzc.Leaving(SERVICE_START_PENDING).dwCurrentState);
    EXPECT_EQ((DWORD)ERROR_SERVICE_ALREADY_RUNNING, wzc.Start());

    ASSERT_EQ(0u, wzc.Stop(&status));
    EXPECT_EQ((DWORD)SERVICE_STOP_PENDING, status.dwCurrentState);
    EXPECT_EQ(5000u, status.dwWaitHint);
    EXPECT_EQ((DWORD)SERVICE_STOPPED, wzc.Leaving(SERVICE_STOP_PENDING).dwCurrentState);

    // Nothing configured: running once started, stopped when the stop control returns.
    ASSERT_EQ(0, WriteXpServiceTiming({}));
    ASSERT_EQ(0u, wzc.Start());
    EXPECT_EQ((DWORD)SERVICE_RUNNING, wzc.Leaving(SERVICE_START_PENDING).dwCurrentState);
    ASSERT_EQ(0u, wzc.Stop(&status));
    EXPECT_EQ((DWORD)SERVICE_STOPPED, status.dwCurrentState);
    // Left running, as on the platform.
    EXPECT_EQ(0u, wzc.Start());
}

} // namespace
