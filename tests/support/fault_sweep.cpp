#include "fault_sweep.h"

#include <gtest/gtest.h>

#include <cstring>

#include "import_faults.h"

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

SweepFaults::SweepFaults(const std::function<LONG(const wchar_t*, int, DWORD)>& set,
                         const std::function<DWORD(const wchar_t*)>& counted,
                         const std::function<LONG()>& clear)
    : set_(set), counted_(counted), clear_(clear)
{
}

SweepFaults::~SweepFaults()
{
    Clear();
}

void SweepFaults::Set(const wchar_t* call, int position, DWORD error)
{
    SweptCall swept = SweptCallNamed(call);
    if (swept == kSweptCallCount) {
        EXPECT_EQ(0, set_(call, position, error));
        return;
    }
    imports_.reset(); // its patches go before the next one's are made
    imports_.reset(new ImportFaults(GetModuleHandleW(nullptr), swept, position, "", error));
}

void SweepFaults::Clear()
{
    clear_();
    imports_.reset();
}

std::vector<SweepPoint> SweepFaults::Points(const std::vector<std::wstring>& calls,
                                            const std::function<void()>& run)
{
    // Every import fault set here is the last one: it counts all the swept imports.
    std::vector<SweepPoint> points = SweepPoints(
        calls,
        [this](const wchar_t* call, int position, DWORD error) { Set(call, position, error); },
        [this](const wchar_t* call) {
            SweptCall swept = SweptCallNamed(call);
            return swept == kSweptCallCount ? counted_(call) : (DWORD)imports_->Calls(swept);
        },
        run);
    Clear();
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
