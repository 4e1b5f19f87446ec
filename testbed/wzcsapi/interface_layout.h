// The interface record and preferred-list blob of the XP wireless client library, as each
// build lays them out (32-bit process: pointers are 4 bytes). Byte format only, no windows.h.
#pragma once

#include <cstdint>
#include <vector>

struct InterfaceRecordLayout {
    uint32_t size;
    int32_t capabilities; // offset of dwCapabilities, -1 where the build has none
    uint32_t listLength;  // byte length of the preferred-list blob
    uint32_t listPointer; // its address
};

const uint32_t kSelectPreferredList = 0x00040000;
const uint32_t kSelectCapabilities = 0x00080000;
const uint32_t kNetworkRecordSize = 160;
const uint32_t kListHeaderSize = 8; // count, index

// productVersionLS: build number in the high 16 bits, revision in the low ones. Builds before
// 2600.1181 have the 76-byte record, those before 2600.2180 the 80-byte one, later ones 92.
InterfaceRecordLayout LayoutForBuild(uint32_t productVersionLS);

// The records of a blob as the set call takes it: false (refused) unless its length is
// 8 + 160 x count, its count word says the same and each record starts with its length 160.
bool SplitPreferredList(const uint8_t* blob, uint32_t length,
                        std::vector<std::vector<uint8_t>>* records);
// The blob of these records (count and index both n); records not 160 bytes long are left out.
std::vector<uint8_t> JoinPreferredList(const std::vector<std::vector<uint8_t>>& records);
