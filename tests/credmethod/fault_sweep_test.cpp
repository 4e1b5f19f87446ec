// Each LocalAlloc of one whole authentication (begin, a GTC Request answered with the password,
// Success, end) made to fail once, at each position: the entry point that fails and its code,
// the host's session ended there, every block obtained released, the heap as before.
#include <gtest/gtest.h>

#include "exchange_driver.h"
#include "fault_sweep.h"

namespace {

struct SweepRow {
    int position;
    const char* failingStep;  // "" when the run still succeeds
    DWORD status;
};

// The session as the host runs it, ended at the first failing step; returns that step.
class AllocationSweep : public ExchangeTest {
protected:
    const char* Session(DWORD* status)
    {
        PPP_EAP_INPUT input = {};
        input.dwSizeInBytes = sizeof(input);
        input.pwszIdentity = (WCHAR*)L"alice";
        input.pwszPassword = (WCHAR*)L"pw";
        input_ = input;
        const char* failed = "";
        *status = table_.RasEapBegin(&work_, &input_);
        if (*status != 0) {
            work_ = nullptr;
            return "RasEapBegin";
        }
        const Bytes packets[] = {RawPacket(1, 2, 13, Bytes{6, 'P', 'w', 'd', ':', ' ', ' ', ' ', ' '}),
                                 RawPacket(3, 2, 4)};
        for (const Bytes& packet : packets) {
            MessageResult result = Receive(packet);
            ReturnBlocks(result.out);
            EXPECT_TRUE(result.guardIntact);
            if (result.status != 0) {
                *status = result.status;
                failed = "RasEapMakeMessage";
                break;
            }
        }
        DWORD ended = table_.RasEapEnd(work_);
        work_ = nullptr;
        if (!*failed && ended != 0) {
            *status = ended;
            failed = "RasEapEnd";
        }
        return failed;
    }
};

TEST_F(AllocationSweep, EveryAllocationOfAnAuthentication)
{
    int allocations = 0;
    {
        AllocatorProbe count(plugin_, 0, 0);
        DWORD status = 0xdeadbeef;
        EXPECT_STREQ("", Session(&status));
        EXPECT_EQ(0u, status);
        allocations = count.Allocations();
    }
    const SweepRow rows[] = {
        {1, "RasEapBegin", 8},
        {2, "RasEapMakeMessage", ERROR_OUTOFMEMORY},
    };
    ASSERT_EQ((int)(sizeof(rows) / sizeof(rows[0])), allocations);
    for (const SweepRow& row : rows) {
        SCOPED_TRACE(testing::Message() << "allocation " << row.position);
        EXPECT_TRUE(HeapSteadyOver([&] {
            AllocatorProbe probe(plugin_, row.position, ERROR_OUTOFMEMORY);
            CountInjectedFault();
            DWORD status = 0xdeadbeef;
            EXPECT_STREQ(row.failingStep, Session(&status));
            EXPECT_EQ(row.status, status);
        }));
    }
}

} // namespace
