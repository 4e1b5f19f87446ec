// Corrupts the heap on purpose: writes past the end of a block into the header of the next
// one, then frees both. Under Wine's heap checking the second free reports the damaged block.
#include <windows.h>

int main()
{
    HANDLE heap = GetProcessHeap();
    volatile BYTE* block = (volatile BYTE*)HeapAlloc(heap, 0, 24);
    void* next = HeapAlloc(heap, 0, 24);
    if (!block || !next)
        return 1;
    for (int i = 24; i < 64; i++)
        block[i] = 0x5A;
    HeapFree(heap, 0, (void*)block);
    HeapFree(heap, 0, next);
    return 0;
}
