#include "interface_layout.h"

#include <cstring>

namespace {

uint32_t ReadWord(const uint8_t* at)
{
    uint32_t value;
    memcpy(&value, at, 4);
    return value;
}

void WriteWord(uint8_t* at, uint32_t value)
{
    memcpy(at, &value, 4);
}

} // namespace

InterfaceRecordLayout LayoutForBuild(uint32_t productVersionLS)
{
    if (productVersionLS < 0x0A28049D)
        return {76, -1, 60, 64};
    if (productVersionLS < 0x0A280884)
        return {80, 36, 64, 68};
    return {92, 44, 64, 68};
}

bool SplitPreferredList(const uint8_t* blob, uint32_t length,
                        std::vector<std::vector<uint8_t>>* records)
{
    records->clear();
    if (length < kListHeaderSize || (length - kListHeaderSize) % kNetworkRecordSize != 0)
        return false;
    uint32_t count = (length - kListHeaderSize) / kNetworkRecordSize;
    if (ReadWord(blob) != count)
        return false;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* record = blob + kListHeaderSize + i * kNetworkRecordSize;
        if (ReadWord(record) != kNetworkRecordSize) {
            records->clear();
            return false;
        }
        records->emplace_back(record, record + kNetworkRecordSize);
    }
    return true;
}

std::vector<uint8_t> JoinPreferredList(const std::vector<std::vector<uint8_t>>& records)
{
    std::vector<uint8_t> blob(kListHeaderSize);
    uint32_t count = 0;
    for (const std::vector<uint8_t>& record : records) {
        if (record.size() != kNetworkRecordSize)
            continue;
        blob.insert(blob.end(), record.begin(), record.end());
        ++count;
    }
    WriteWord(&blob[0], count);
    WriteWord(&blob[4], count);
    return blob;
}
