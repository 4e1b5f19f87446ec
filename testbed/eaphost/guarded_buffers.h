// Buffers that make a method's out-of-bounds access visible: a received packet is placed so
// that its last byte is followed by an inaccessible page (any read past it faults at once), and
// the send buffer is followed by a guard pattern that is checked after every call.
#pragma once

#include <windows.h>

#include <vector>

struct GuardedBlock {
    BYTE* region; // VirtualAlloc'ed: the pages holding the bytes, then one no-access page
    BYTE* bytes;  // the copy, ending right before the no-access page
    SIZE_T size;
};

// Copies size bytes; returns false (block empty) when memory cannot be had.
bool MakeGuardedCopy(const BYTE* data, SIZE_T size, GuardedBlock* block);
void FreeGuardedCopy(GuardedBlock* block);

const DWORD kSendGuardSize = 64;
const BYTE kSendGuardByte = 0xA5;

struct SendBuffer {
    std::vector<BYTE> storage; // size usable bytes, then kSendGuardSize guard bytes
    DWORD size;
};

void ResetSendBuffer(SendBuffer* buffer, DWORD size);
// True when every guard byte after the usable size is as it was.
bool SendGuardIntact(const SendBuffer& buffer);
