#include "xpsp1_test_support.h"

#include <cstring>

WzcNetworkConfig Stored(char ssid)
{
    WzcNetworkConfig record;
    uint8_t* bytes = reinterpret_cast<uint8_t*>(&record);
    for (size_t i = 0; i < sizeof(record); ++i)
        bytes[i] = (uint8_t)(ssid * 7 + i);
    record.length = sizeof(record);
    record.ssidLength = 1;
    memset(record.ssid, 0, sizeof(record.ssid));
    record.ssid[0] = (uint8_t)ssid;
    return record;
}

WzcNetworkConfig Created(char ssid)
{
    WzcNetworkConfig record = {};
    record.length = sizeof(record);
    record.ssidLength = 7;
    record.ssid[0] = (uint8_t)ssid;
    record.privacy = 4;
    return record;
}

std::vector<uint8_t> BlobOf(const char* letters, const WzcNetworkConfig* added)
{
    uint32_t count = (uint32_t)strlen(letters);
    std::vector<uint8_t> blob(8);
    memcpy(&blob[0], &count, 4);
    memcpy(&blob[4], &count, 4);
    for (const char* c = letters; *c; ++c) {
        WzcNetworkConfig record = *c == '*' ? *added : Stored(*c);
        const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&record);
        blob.insert(blob.end(), bytes, bytes + sizeof(record));
    }
    return count ? blob : std::vector<uint8_t>();
}

std::vector<std::vector<uint8_t>> Records(const char* letters, const WzcNetworkConfig* added)
{
    std::vector<uint8_t> blob = BlobOf(letters, added);
    std::vector<std::vector<uint8_t>> records;
    for (size_t at = 8; at < blob.size(); at += sizeof(WzcNetworkConfig))
        records.emplace_back(blob.begin() + at, blob.begin() + at + sizeof(WzcNetworkConfig));
    return records;
}

std::vector<uint8_t> Bytes(const char* text)
{
    return std::vector<uint8_t>(text, text + strlen(text));
}

WzcConfigItem* ListOf(const char* letters)
{
    std::vector<uint8_t> blob = BlobOf(letters);
    WzcConfigItem* head = nullptr;
    WzcReadConfigList(blob.data(), (uint32_t)blob.size(), &head);
    return head;
}

std::string ListText(const WzcConfigItem* head, const WzcNetworkConfig* added)
{
    std::string text;
    const WzcConfigItem* previous = nullptr;
    for (const WzcConfigItem* item = head; item; previous = item, item = item->next) {
        if (item->previous != previous)
            return "broken";
        WzcNetworkConfig stored = Stored((char)item->config.ssid[0]);
        if (added && memcmp(&item->config, added, sizeof(*added)) == 0)
            text += '*';
        else
            text += memcmp(&item->config, &stored, sizeof(stored)) == 0 ? (char)stored.ssid[0] : '?';
    }
    return text;
}
