// Decides which wireless configuration interface the running Windows offers.
#pragma once

#include <windows.h>

enum WlanPlatform {
    PLATFORM_NONE,
    PLATFORM_VISTA,
    PLATFORM_XP_SP2,
    PLATFORM_XP_SP1,
};

// What a wzcsapi.dll product version (dwProductVersionLS) means. line is the platform line
// main prints, or null when the version is not recognised; refused platforms have a line and
// PLATFORM_NONE.
struct WzcVersionClass {
    WlanPlatform platform;
    const char* line;
};
WzcVersionClass ClassifyWzcVersion(DWORD productVersionLS);

// Prints the version and platform lines and decides the platform. Returns 0 with *platform
// set, or the exit code of a refusal (8, 50, or the code of a failed version read).
DWORD DetectPlatform(WlanPlatform* platform);
