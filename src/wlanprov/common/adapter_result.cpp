#include "adapter_result.h"

void FoldAddResult(DWORD* result, DWORD adapterResult)
{
    if (adapterResult != 0)
        *result = adapterResult;
}

void FoldRemovalResult(RemovalResult* result, DWORD adapterResult, DWORD notFound)
{
    result->last = adapterResult;
    if (adapterResult == notFound)
        result->missed = notFound;
    else if (adapterResult != 0)
        result->lastHardFailure = adapterResult;
}

DWORD RemovalOutcome(const RemovalResult* result)
{
    return result->lastHardFailure != 0 ? result->lastHardFailure : result->last;
}

DWORD RemovalOutcomeIfAnyMissed(const RemovalResult* result)
{
    return result->lastHardFailure != 0 ? result->lastHardFailure : result->missed;
}
