#include "wzc_config_list.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "../common/secret_wipe.h"

long g_bItemTrace = 0;

namespace {

const uint32_t kRecordBytes = sizeof(WzcNetworkConfig);

void PutWord(uint8_t* at, uint32_t value)
{
    memcpy(at, &value, sizeof(value));
}

// Links item in front of the head and makes it the head.
void MakeHead(WzcConfigItem** head, WzcConfigItem* item)
{
    if (*head)
        WZCConfigItemPrepend(*head, item);
    *head = item;
}

// Unlinks and frees item, moving the head on when it is the head.
void Drop(WzcConfigItem** head, WzcConfigItem* item)
{
    if (*head == item)
        *head = item->next;
    WZCConfigItemDelete(&item);
}

} // namespace

WzcConfigItem* WZCConfigItemNew(const WzcNetworkConfig* config)
{
    WzcConfigItem* item = static_cast<WzcConfigItem*>(calloc(1, sizeof(WzcConfigItem)));
    if (item)
        item->config = *config;
    return item;
}

uint32_t WZCConfigItemGet(WzcConfigItem* head, const uint8_t* ssid, WzcConfigItem** found)
{
    uint32_t result = WZC_NO_DATA;
    if (g_bItemTrace == 1)
        printf("WZCConfigItemGet\n");
    for (WzcConfigItem* item = head; item; item = item->next) {
        if (memcmp(item->config.ssid, ssid, WZC_SSID_BYTES) == 0) {
            *found = item;
            result = 0;
            break;
        }
    }
    if (g_bItemTrace == 1)
        printf("WZCConfigItemGet :: returning %d\n", (int)result);
    return result;
}

void WZCConfigItemDelete(WzcConfigItem** item)
{
    if (g_bItemTrace == 1)
        printf("WZCConfigItemDelete\n");
    WzcConfigItem* gone = *item;
    if (gone) {
        if (gone->next)
            gone->next->previous = gone->previous;
        if (gone->previous)
            gone->previous->next = gone->next;
        FreeSecret(gone, sizeof(*gone)); // its record holds the network's key
        *item = nullptr;
    }
    if (g_bItemTrace == 1)
        printf("WZCConfigItemDelete :: return\n");
}

uint32_t WZCConfigItemPrepend(WzcConfigItem* item, WzcConfigItem* newItem)
{
    if (!item || !newItem)
        return WZC_NO_DATA;
    newItem->previous = item->previous;
    newItem->next = item;
    if (item->previous)
        item->previous->next = newItem;
    item->previous = newItem;
    return 0;
}

uint32_t WZCConfigItemInsertAfter(WzcConfigItem* item, WzcConfigItem* newItem)
{
    if (!item || !newItem)
        return WZC_NO_DATA;
    newItem->previous = item;
    newItem->next = item->next;
    if (item->next)
        item->next->previous = newItem;
    item->next = newItem;
    return 0;
}

void WzcFreeConfigList(WzcConfigItem** head)
{
    WzcConfigItem* item = *head;
    while (item) {
        WzcConfigItem* next = item->next;
        FreeSecret(item, sizeof(*item));
        item = next;
    }
    *head = nullptr;
}

uint32_t WzcApplyAddRule(WzcConfigItem** head, const WzcNetworkConfig* config, bool replace,
                         bool atHead, bool* appended)
{
    *appended = false;
    WzcConfigItem* old = nullptr;
    if (WZCConfigItemGet(*head, config->ssid, &old) != 0) {
        WzcConfigItem* item = WZCConfigItemNew(config);
        if (!item)
            return WZC_NO_MEMORY;
        if (atHead || !*head) {
            MakeHead(head, item);
        } else {
            WZCConfigItemInsertAfter(*head, item);
            *appended = true;
        }
        return 0;
    }
    if (replace && !atHead) {
        old->config = *config;
    } else if (atHead) {
        // The new record, or the old one when it is kept, goes to the front.
        WzcConfigItem* item = WZCConfigItemNew(replace ? config : &old->config);
        if (!item)
            return WZC_NO_MEMORY;
        MakeHead(head, item);
        Drop(head, old);
    }
    return 0;
}

uint32_t WzcApplyRemoveRule(WzcConfigItem** head, const uint8_t* ssid)
{
    WzcConfigItem* found = nullptr;
    uint32_t result = WZCConfigItemGet(*head, ssid, &found);
    if (result == 0)
        Drop(head, found);
    return result;
}

uint32_t WzcPackConfigList(const WzcConfigItem* head, uint8_t** blob, uint32_t* length)
{
    uint32_t count = 0;
    for (const WzcConfigItem* item = head; item; item = item->next)
        ++count;
    if (count == 0) {
        *blob = nullptr;
        *length = 0;
        return 0;
    }
    // A list is at most a few dozen records; this bound only keeps the size from wrapping.
    if (count > (UINT32_MAX - WZC_CONFIG_LIST_HEADER) / kRecordBytes)
        return WZC_NO_MEMORY;
    uint32_t size = WZC_CONFIG_LIST_HEADER + kRecordBytes * count;
    uint8_t* packed = static_cast<uint8_t*>(malloc(size));
    if (!packed)
        return WZC_NO_MEMORY;
    PutWord(packed, count);
    PutWord(packed + 4, count);
    uint8_t* at = packed + WZC_CONFIG_LIST_HEADER;
    for (const WzcConfigItem* item = head; item; item = item->next, at += kRecordBytes)
        memcpy(at, &item->config, kRecordBytes);
    *blob = packed;
    *length = size;
    return 0;
}

uint32_t WzcReadConfigList(const uint8_t* blob, uint32_t length, WzcConfigItem** head)
{
    uint32_t count = 0;
    if (blob && length >= 4)
        memcpy(&count, blob, sizeof(count));
    if (count == 0)
        return WZC_NO_DATA;
    if (length < WZC_CONFIG_LIST_HEADER || count > (length - WZC_CONFIG_LIST_HEADER) / kRecordBytes)
        return WZC_INVALID_DATA;
    WzcConfigItem* first = nullptr;
    WzcConfigItem* last = nullptr;
    for (uint32_t i = 0; i < count; ++i) {
        WzcNetworkConfig record;
        memcpy(&record, blob + WZC_CONFIG_LIST_HEADER + kRecordBytes * i, kRecordBytes);
        WzcConfigItem* item = WZCConfigItemNew(&record);
        WipeSecret(&record, sizeof(record));
        if (!item) {
            WzcFreeConfigList(&first);
            return WZC_NO_MEMORY;
        }
        if (last)
            WZCConfigItemInsertAfter(last, item);
        else
            first = item;
        last = item;
    }
    *head = first;
    return 0;
}
