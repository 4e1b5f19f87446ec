// The build classification of the XP client library (wzcsapi.dll): platform detection decides
// the platform from it, and the XP client layer picks its interface record layout by it.
// Free of windows.h so that it can be built and fuzzed natively.
#pragma once

#include <cstdint>

enum {
    WZC_BUILD_CLASS_1106 = 3,   // 2600.1106: the short interface record
    WZC_BUILD_CLASS_XP_SP2 = 6, // 2600.2180 and every later build
    WZC_BUILD_REFUSED = -1,
};

// Build class of a wzcsapi.dll from dwProductVersionLS of its fixed version information
// (build in the high word, revision in the low word): 0..6, or WZC_BUILD_REFUSED.
int32_t WzcBuildClass(uint32_t productVersionLS);
