#include "handed_blocks.h"

#include <cstring>
#include <map>

namespace {

struct HandedBlock {
    SIZE_T size; // with the tag
    ULONGLONG tag;
};

CRITICAL_SECTION g_lock;
std::map<void*, HandedBlock>* g_blocks;
ULONGLONG g_lastTag = 0x5A3C0000D15EA5E5ull;

// The process heap's blocks in use and their sizes, found by walking it: asking the heap about
// an address the client may have freed already would itself be a use after free (Wine's heap
// checking reports it). Under that checking a freed block stays listed until its memory is
// reused, filled with a pattern: the tag tells it apart.
std::map<void*, SIZE_T> BusyBlocks()
{
    std::map<void*, SIZE_T> busy;
    HANDLE heap = GetProcessHeap();
    if (!HeapLock(heap))
        return busy;
    PROCESS_HEAP_ENTRY entry = {};
    while (HeapWalk(heap, &entry))
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
            busy[entry.lpData] = entry.cbData;
    HeapUnlock(heap);
    return busy;
}

bool StillHeld(void* address, const HandedBlock& block, const std::map<void*, SIZE_T>& busy)
{
    auto found = busy.find(address);
    if (found == busy.end() || found->second != block.size)
        return false;
    ULONGLONG tag;
    memcpy(&tag, static_cast<BYTE*>(address) + block.size - sizeof(tag), sizeof(tag));
    return tag == block.tag;
}

} // namespace

void* HandOutBlock(size_t size)
{
    HandedBlock block = {size + sizeof(ULONGLONG), 0};
    void* address = LocalAlloc(LPTR, block.size);
    if (!address)
        return nullptr;
    EnterCriticalSection(&g_lock);
    block.tag = ++g_lastTag ^ (ULONG_PTR)address;
    memcpy(static_cast<BYTE*>(address) + size, &block.tag, sizeof(block.tag));
    (*g_blocks)[address] = block;
    LeaveCriticalSection(&g_lock);
    return address;
}

DWORD LiveHandedBlocks()
{
    EnterCriticalSection(&g_lock);
    std::map<void*, SIZE_T> busy = BusyBlocks();
    for (auto at = g_blocks->begin(); at != g_blocks->end();)
        at = StillHeld(at->first, at->second, busy) ? std::next(at) : g_blocks->erase(at);
    DWORD live = (DWORD)g_blocks->size();
    LeaveCriticalSection(&g_lock);
    return live;
}

void StartHandedBlocks()
{
    InitializeCriticalSection(&g_lock);
    g_blocks = new std::map<void*, HandedBlock>;
}

void StopHandedBlocks()
{
    delete g_blocks;
    DeleteCriticalSection(&g_lock);
}
