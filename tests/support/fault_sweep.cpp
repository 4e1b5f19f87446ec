#include "fault_sweep.h"

#include <gtest/gtest.h>

#include <cstring>

SIZE_T BusyHeapBytes()
{
    SIZE_T total = 0;
    HANDLE heaps[64];
    DWORD count = GetProcessHeaps(64, heaps);
    for (DWORD i = 0; i < count && i < 64; ++i) {
        if (!HeapLock(heaps[i]))
            continue;
        PROCESS_HEAP_ENTRY entry = {};
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                total += entry.cbData;
        HeapUnlock(heaps[i]);
    }
    return total;
}

namespace {

// The least or the most growth of the busy heap bytes over that many runs; the least stops at 0.
SIZE_T HeapGrowthOver(const std::function<void()>& run, int attempts, bool most)
{
    // Under Wine's heap checking (WINEDEBUG with +heap) freed blocks are held back and still
    // walk as busy, so totals say nothing: the plain pass of the suite compares them.
    char debug[256] = "";
    GetEnvironmentVariableA("WINEDEBUG", debug, sizeof(debug));
    if (strstr(debug, "+heap")) {
        run();
        return 0;
    }
    SIZE_T least = (SIZE_T)-1, largest = 0;
    for (int i = 0; i < attempts && (most || least != 0); ++i) {
        SIZE_T before = BusyHeapBytes();
        run();
        SIZE_T after = BusyHeapBytes();
        SIZE_T growth = after > before ? after - before : 0;
        least = growth < least ? growth : least;
        largest = growth > largest ? growth : largest;
    }
    return most ? largest : least;
}

} // namespace

SIZE_T LeastHeapGrowthOver(const std::function<void()>& run, int attempts)
{
    return HeapGrowthOver(run, attempts, false);
}

SIZE_T MostHeapGrowthOver(const std::function<void()>& run, int attempts)
{
    return HeapGrowthOver(run, attempts, true);
}

bool HeapSteadyOver(const std::function<void()>& run, int attempts)
{
    return LeastHeapGrowthOver(run, attempts) == 0;
}

std::vector<SweepPoint> SweepPoints(const std::vector<std::wstring>& calls,
                                    const std::function<void(const wchar_t*, int, DWORD)>& setNth,
                                    const std::function<DWORD(const wchar_t*)>& counted,
                                    const std::function<void()>& run)
{
    const int kNever = 1000000;
    for (const std::wstring& call : calls)
        setNth(call.c_str(), kNever, ERROR_GEN_FAILURE);
    run();
    std::vector<SweepPoint> points;
    for (const std::wstring& call : calls)
        for (DWORD n = 1; n <= counted(call.c_str()); ++n)
            points.push_back({call, (int)n});
    return points;
}

namespace {

int g_injected = 0;

// Prints the program's total once every test ran.
class InjectedFaultReport : public ::testing::EmptyTestEventListener {
    void OnTestProgramEnd(const ::testing::UnitTest&) override
    {
        printf("faults injected: %d\n", g_injected);
    }
};

} // namespace

void CountInjectedFault()
{
    static bool listening = false;
    if (!listening) {
        ::testing::UnitTest::GetInstance()->listeners().Append(new InjectedFaultReport);
        listening = true;
    }
    ++g_injected;
}
