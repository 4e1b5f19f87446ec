// A fuzz target's property check: a broken property ends the run as a finding, as a crash
// would, so libFuzzer keeps the input.
#pragma once

#include <cstdlib>

inline void Check(bool condition)
{
    if (!condition)
        abort();
}
