// A preferred-network list in memory (a doubly linked list of network records), its edits,
// and its conversion from and to the list blob the wireless service exchanges. Free of
// windows.h so that it can be built and fuzzed natively. Results are Windows error codes.
#pragma once

#include <cstdint>

#include "wzc_records.h"

// Trace switch of WZCConfigItemGet and WZCConfigItemDelete; no option sets it.
extern long g_bItemTrace;

// One list node owning a copy of its record. A list is named by its head item and owns all
// its items; both links are null at the ends.
struct WzcConfigItem {
    WzcConfigItem* previous;
    WzcConfigItem* next;
    WzcNetworkConfig config;
};

// A new unlinked item holding a copy of config, or null when memory is short.
WzcConfigItem* WZCConfigItemNew(const WzcNetworkConfig* config);
// The first item from head on whose 32 SSID bytes equal ssid: 0, or 232 (none, null head).
uint32_t WZCConfigItemGet(WzcConfigItem* head, const uint8_t* ssid, WzcConfigItem** found);
// Unlinks and frees *item and clears the reference. The caller moves its head first.
void WZCConfigItemDelete(WzcConfigItem** item);
// Link newItem directly in front of / behind item: 0, or 232 when either is null.
uint32_t WZCConfigItemPrepend(WzcConfigItem* item, WzcConfigItem* newItem);
uint32_t WZCConfigItemInsertAfter(WzcConfigItem* item, WzcConfigItem* newItem);
// Frees every item of the list and clears the head.
void WzcFreeConfigList(WzcConfigItem** head);

// Adds config to the list (head may be null) by the replace and at-head switches:
//   SSID new:     at head, or directly behind the head (*appended set);
//   SSID present: replace + at head: config becomes the head, the old item goes;
//                 replace only: the old record is overwritten in place;
//                 at head only: the old record moves to the head;
//                 neither: nothing changes.
// Returns 0, or 8 with the list as it was.
uint32_t WzcApplyAddRule(WzcConfigItem** head, const WzcNetworkConfig* config, bool replace,
                         bool atHead, bool* appended);
// Removes the first item with the SSID bytes; a removed head's successor becomes the head.
// Returns 0, or 232 when no item has them.
uint32_t WzcApplyRemoveRule(WzcConfigItem** head, const uint8_t* ssid);

// The list blob of the list (8 + 160 n bytes, both header words n), allocated with malloc
// and holding the networks' keys: the caller releases it with FreeSecret (secret_wipe.h);
// a null head gives a null blob of length 0. Returns 0 or 8.
uint32_t WzcPackConfigList(const WzcConfigItem* head, uint8_t** blob, uint32_t* length);
// A new list with the blob's records in its order. Returns 0 with *head set; 232 for an
// empty blob (length 0, null, or a count of 0); 13 when the count does not fit the length;
// 8. *head is untouched on failure.
uint32_t WzcReadConfigList(const uint8_t* blob, uint32_t length, WzcConfigItem** head);
