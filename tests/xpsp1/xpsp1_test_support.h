// Records and lists for the XP SP1 layer's tests, named by one-letter SSIDs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "wzc_config_list.h"

// A stored record: SSID letter (length 1), every other byte a pattern of the letter, so that
// a record that does not travel byte for byte is seen.
WzcNetworkConfig Stored(char ssid);
// A record this program would create, whose SSID length field (7) differs from a stored one's.
WzcNetworkConfig Created(char ssid);
// The list blob of the letters: stored records, '*' for *added.
std::vector<uint8_t> BlobOf(const char* letters, const WzcNetworkConfig* added = nullptr);
// The records of that blob, one vector each.
std::vector<std::vector<uint8_t>> Records(const char* letters,
                                          const WzcNetworkConfig* added = nullptr);
std::vector<uint8_t> Bytes(const char* text);
// A list of stored records.
WzcConfigItem* ListOf(const char* letters);
// The letters of a list ('*' for *added, '?' for anything else); "broken" when a backward
// link does not match.
std::string ListText(const WzcConfigItem* head, const WzcNetworkConfig* added = nullptr);
