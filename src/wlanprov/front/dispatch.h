// Maps the command word to exactly one handler of the detected platform.
#pragma once

#include "platform.h"

// Returns the process exit code: the handler's result for -add and -delete, 0 for -help
// alone, 13 (after the wrong-input line and the help dialog) for anything else.
DWORD Dispatch(WlanPlatform platform, int argc, char** argv);
