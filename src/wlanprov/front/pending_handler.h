// A handler whose platform work is not built yet: it parses its options like every handler,
// then reports that it cannot provision and returns 50 (never success).
#pragma once

#include "options.h"

DWORD RunPendingHandler(int argc, char** argv, HandlerKind kind);
