// The fault sweep's shared parts: heap totals of the process, and the positions at which a
// run calls each platform function.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class ImportFaults;

// Bytes in busy blocks of every heap of the process (the C runtime's included).
SIZE_T BusyHeapBytes();

// Runs run until one run leaves the busy heap bytes as they were, at most attempts times, and
// says whether one did. Wine and the C runtime set things up lazily (and its threads allocate at
// their own pace), so one run may grow the heap once; a leak grows it on every run.
bool HeapSteadyOver(const std::function<void()>& run, int attempts = 3);
// The least (or the most) growth of the busy heap bytes over that many runs (0 under Wine's
// heap checking).
SIZE_T LeastHeapGrowthOver(const std::function<void()>& run, int attempts = 3);
SIZE_T MostHeapGrowthOver(const std::function<void()>& run, int attempts = 3);

// One call to make fail: the position-th call (1-based) of a platform function in a run.
struct SweepPoint {
    std::wstring call;
    int position;
};

// The positions of every call of these functions in one clean run: each function gets an
// nth-call fault no run reaches (setNth), run is called once, counted gives its calls.
std::vector<SweepPoint> SweepPoints(const std::vector<std::wstring>& calls,
                                    const std::function<void(const wchar_t*, int, DWORD)>& setNth,
                                    const std::function<DWORD(const wchar_t*)>& counted,
                                    const std::function<void()>& run);

// Faults injected by this program so far, printed at its end ("faults injected: N").
void CountInjectedFault();

// Whether a sweep's table (rows with call and position) names every position of the clean run,
// in order; if not, the message lists the run's positions.
template <typename Row>
::testing::AssertionResult NamesEveryPosition(const std::vector<SweepPoint>& points,
                                              const std::vector<Row>& rows)
{
    bool same = points.size() == rows.size();
    std::string found;
    for (size_t i = 0; i < points.size(); ++i) {
        same = same && points[i].call == rows[i].call && points[i].position == rows[i].position;
        found += " " + std::string(points[i].call.begin(), points[i].call.end()) + "#" +
                 std::to_string(points[i].position);
    }
    if (same)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "positions of a clean run:" << found;
}

// The faults of one sweep: a call of the emulated platform goes to its nth-call store (set,
// counted, cleared through the functions given), a call named in import_faults.h to the
// patched imports of this program, into which the handlers are linked.
class SweepFaults {
public:
    SweepFaults(const std::function<LONG(const wchar_t*, int, DWORD)>& set,
                const std::function<DWORD(const wchar_t*)>& counted,
                const std::function<LONG()>& clear);
    ~SweepFaults();
    // The calls of one run from now on count; the position-th of call fails with error.
    void Set(const wchar_t* call, int position, DWORD error);
    // Every fault ends; an import fault releases what it holds (before the heap is measured).
    void Clear();
    // One faulted run: prepare, the position-th call of call failing with error, run, every
    // fault cleared; counted as an injected fault. Returns what run returned.
    template <typename Run>
    auto RunFaulted(const wchar_t* call, int position, DWORD error,
                    const std::function<void()>& prepare, Run run)
    {
        prepare();
        Set(call, position, error);
        CountInjectedFault();
        auto outcome = run();
        Clear();
        return outcome;
    }
    // SweepPoints over these calls.
    std::vector<SweepPoint> Points(const std::vector<std::wstring>& calls,
                                   const std::function<void()>& run);

private:
    std::function<LONG(const wchar_t*, int, DWORD)> set_;
    std::function<DWORD(const wchar_t*)> counted_;
    std::function<LONG()> clear_;
    std::unique_ptr<ImportFaults> imports_;
};
