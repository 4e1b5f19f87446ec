// Placeholders until this platform's handlers are built.
#include "../front/handlers.h"
#include "../front/pending_handler.h"

DWORD WZC_Vista(int argc, char** argv)
{
    return RunPendingHandler(argc, argv, HANDLER_ADD_VISTA);
}

DWORD WZCRemoveProfile_Vista(int argc, char** argv)
{
    return RunPendingHandler(argc, argv, HANDLER_REMOVE_VISTA);
}
