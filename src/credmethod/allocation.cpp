#include "allocation.h"

DWORD AllocationError()
{
    DWORD status = GetLastError();
    return status != NO_ERROR ? status : ERROR_NOT_ENOUGH_MEMORY;
}
