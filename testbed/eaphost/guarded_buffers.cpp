#include "guarded_buffers.h"

bool MakeGuardedCopy(const BYTE* data, SIZE_T size, GuardedBlock* block)
{
    *block = GuardedBlock();
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    SIZE_T page = system.dwPageSize;
    SIZE_T dataPages = (size + page - 1) / page;
    SIZE_T total = (dataPages + 1) * page;
    BYTE* region = static_cast<BYTE*>(
        VirtualAlloc(nullptr, total, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!region)
        return false;
    DWORD old = 0;
    if (!VirtualProtect(region + dataPages * page, page, PAGE_NOACCESS, &old)) {
        VirtualFree(region, 0, MEM_RELEASE);
        return false;
    }
    block->region = region;
    block->bytes = region + dataPages * page - size;
    block->size = size;
    if (size)
        memcpy(block->bytes, data, size);
    return true;
}

void FreeGuardedCopy(GuardedBlock* block)
{
    if (block->region)
        VirtualFree(block->region, 0, MEM_RELEASE);
    *block = GuardedBlock();
}

void ResetSendBuffer(SendBuffer* buffer, DWORD size)
{
    buffer->size = size;
    buffer->storage.assign(static_cast<size_t>(size) + kSendGuardSize, kSendGuardByte);
}

bool SendGuardIntact(const SendBuffer& buffer)
{
    for (size_t i = buffer.size; i < buffer.storage.size(); ++i)
        if (buffer.storage[i] != kSendGuardByte)
            return false;
    return true;
}
