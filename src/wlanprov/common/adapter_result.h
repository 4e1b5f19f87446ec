// How a handler folds the outcome of each adapter (interface) it works on into its result.
// A handler that touches several adapters must never report success when one of them failed:
// an administrator reads the exit code, not every line.
#pragma once

#include <windows.h>

// Adding: 0 only when every adapter succeeded; otherwise the code of the last failure, which
// a later success never resets.
void FoldAddResult(DWORD* result, DWORD adapterResult);

// Removing: a network that an adapter does not hold is a soft failure (notFound). The result
// is the last adapter's code, so a network present on some adapters ends with 0 and one
// present nowhere with notFound; but any other failure of any adapter is kept, and a later
// success or notFound never hides it.
struct RemovalResult {
    DWORD last;            // the last adapter's code
    DWORD lastHardFailure; // the last code that was neither 0 nor notFound
    DWORD missed;          // notFound once any adapter lacked the network, else 0
};
void FoldRemovalResult(RemovalResult* result, DWORD adapterResult, DWORD notFound);
DWORD RemovalOutcome(const RemovalResult* result);
// The stricter outcome of a back end that reports a network any adapter lacks: a hard
// failure, else notFound if any adapter lacked it, else 0.
DWORD RemovalOutcomeIfAnyMissed(const RemovalResult* result);
