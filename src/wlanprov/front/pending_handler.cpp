#include "pending_handler.h"

#include <cstdio>

#include "globals.h"

DWORD RunPendingHandler(int argc, char** argv, HandlerKind kind)
{
    OptionSet options;
    DWORD result = ParseOptions(argc, argv, kind, &options);
    if (result == 0) {
        printf("%s :: this platform's provisioning is not built yet\n", HandlerName(kind));
        result = ERROR_NOT_SUPPORTED;
    }
    if (g_bDebugLog == 1)
        printf("%s :: returning %ld\n", HandlerName(kind), (long)result);
    return result;
}
