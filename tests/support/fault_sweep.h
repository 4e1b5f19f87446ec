// The fault sweep's shared parts: heap totals of the process, and the positions at which a
// run calls each platform function.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

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
