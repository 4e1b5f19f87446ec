// The preferred-list blob of the XP wireless service, read from any bytes, edited by the add
// and remove rules and packed again: torn blobs are refused with the list untouched, a read
// list packs back to the bytes it came from, and every edit keeps the list's links and its
// count as the rule says.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "../fuzz_check.h"
#include "wzc_config_list.h"

namespace {

uint32_t CountOf(const WzcConfigItem* head)
{
    uint32_t count = 0;
    const WzcConfigItem* previous = nullptr;
    for (const WzcConfigItem* item = head; item; previous = item, item = item->next, ++count)
        Check(item->previous == previous);
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 + sizeof(WzcNetworkConfig))
        return 0;
    bool replace = data[0] & 1, atHead = data[0] & 2;
    WzcNetworkConfig added;
    memcpy(&added, data + 1, sizeof(added));
    const uint8_t* blob = data + 1 + sizeof(added);
    uint32_t length = (uint32_t)(size - 1 - sizeof(added));

    WzcConfigItem* head = reinterpret_cast<WzcConfigItem*>(0xdeadbeef);
    uint32_t result = WzcReadConfigList(blob, length, &head);
    if (result != 0) {
        Check(result == WZC_NO_DATA || result == WZC_INVALID_DATA);
        Check(head == reinterpret_cast<WzcConfigItem*>(0xdeadbeef));
        return 0;
    }
    uint32_t count = CountOf(head);
    uint8_t* packed = nullptr;
    uint32_t packedLength = 0;
    Check(WzcPackConfigList(head, &packed, &packedLength) == 0);
    Check(packedLength == 8 + 160 * count && memcmp(packed, blob, 4) == 0);
    Check(memcmp(packed + 4, blob, 4) == 0 && memcmp(packed + 8, blob + 8, 160 * count) == 0);
    free(packed);

    WzcConfigItem* found = nullptr;
    bool present = WZCConfigItemGet(head, added.ssid, &found) == 0;
    bool appended = false;
    Check(WzcApplyAddRule(&head, &added, replace, atHead, &appended) == 0);
    Check(CountOf(head) == count + (present ? 0 : 1) && appended == (!present && !atHead));
    if (atHead)
        Check(memcmp(head->config.ssid, added.ssid, WZC_SSID_BYTES) == 0);
    Check(WzcApplyRemoveRule(&head, added.ssid) == 0);
    Check(CountOf(head) == count - (present ? 1 : 0));
    WzcFreeConfigList(&head);
    return 0;
}
