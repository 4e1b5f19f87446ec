#include "dispatch.h"

#include <cstdio>
#include <cstring>

#include "../common/handlers.h"
#include "help_dialog.h"

namespace {

struct PlatformHandlers {
    DWORD (*add)(int, char**);
    DWORD (*remove)(int, char**);
};

PlatformHandlers HandlersFor(WlanPlatform platform)
{
    switch (platform) {
    case PLATFORM_VISTA: return {WZC_Vista, WZCRemoveProfile_Vista};
    case PLATFORM_XP_SP2: return {WZC_XP_SP2, WZCRemoveProfile_XP_SP2};
    case PLATFORM_XP_SP1: return {WZC_XP_SP1, WZCRemoveProfile_XP_SP1};
    default: return {nullptr, nullptr};
    }
}

DWORD WrongInput()
{
    printf("main :: Wrong input parameters. Please use the option -help to check the usage "
           "information.\n");
    ShowHelpDialog();
    return ERROR_INVALID_DATA;
}

} // namespace

DWORD Dispatch(WlanPlatform platform, int argc, char** argv)
{
    if (argc < 2)
        return WrongInput();
    PlatformHandlers handlers = HandlersFor(platform);
    if (!handlers.add)
        return ERROR_NOT_SUPPORTED;
    // Exact and case-sensitive, terminating zero included.
    if (strcmp(argv[1], "-add") == 0)
        return handlers.add(argc, argv);
    if (strcmp(argv[1], "-delete") == 0)
        return handlers.remove(argc, argv);
    // "/?" and "-?" are the platform's usual way to ask a console program for its usage.
    if (argc == 2 && (strcmp(argv[1], "-help") == 0 || strcmp(argv[1], "/?") == 0 ||
                      strcmp(argv[1], "-?") == 0)) {
        ShowHelpDialog();
        return 0;
    }
    return WrongInput();
}
