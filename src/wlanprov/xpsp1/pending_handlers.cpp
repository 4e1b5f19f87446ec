// Placeholders until this platform's handlers are built.
#include "../front/handlers.h"
#include "../front/pending_handler.h"

DWORD WZC_XP_SP1(int argc, char** argv)
{
    return RunPendingHandler(argc, argv, HANDLER_ADD_XP_SP1);
}

DWORD WZCRemoveProfile_XP_SP1(int argc, char** argv)
{
    return RunPendingHandler(argc, argv, HANDLER_REMOVE_XP_SP1);
}
