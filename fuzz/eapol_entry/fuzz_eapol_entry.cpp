// The EAPOL entry from any option set: EAP type and inner method texts, the layouts a writer
// allows, header version, flags, any SSID length and bytes, trusted roots. Checks: the layout
// the texts choose; refusals with the outputs untouched; otherwise the size of the layout, the
// 52-byte header, and the data items in order, each {type, size, record, 4 zero bytes}, the
// method record being the one its builder makes for the same input.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#include "../fuzz_check.h"
#include "eapol_entry.h"

namespace {

uint32_t ReadU32(const uint8_t* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24;
}

// A text of the EAP type or inner method: one of the known ones or bytes of the input.
std::wstring Text(const uint8_t*& data, size_t& size)
{
    static const wchar_t* const kKnown[] = {L"EAP-TLS",  L"PEAP", L"GTC", L"MSCHAPv2",
                                            L"SecureW2", L"",     L"peap"};
    uint8_t pick = size ? (--size, *data++) : 0;
    if (pick < 0xF0)
        return kKnown[pick % 7];
    std::wstring text;
    while (size && *data) {
        text += (wchar_t)*data++;
        --size;
    }
    if (size) {
        ++data;
        --size;
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    uint8_t flags = data[0], versionPick = data[1], ssidPick = data[2], countPick = data[3];
    data += 4;
    size -= 4;
    std::wstring eapType = Text(data, size), inner = Text(data, size);
    unsigned allowed = flags & 1 ? EAPOL_LAYOUTS_ALL : EAPOL_LAYOUTS_TLS_AND_PEAP;
    EapolLayout layout = EapolLayoutFor(eapType.c_str(), inner.c_str(), allowed);
    EapolLayout expected = eapType == L"EAP-TLS"                        ? EAPOL_LAYOUT_TLS
                           : eapType == L"PEAP" && inner == L"GTC"      ? EAPOL_LAYOUT_PEAP_GTC
                           : eapType == L"PEAP" && inner == L"MSCHAPv2" ? EAPOL_LAYOUT_PEAP_MSCHAPV2
                           : eapType == L"SecureW2" && (flags & 1)      ? EAPOL_LAYOUT_SECUREW2
                                                                        : EAPOL_LAYOUT_NONE;
    Check(layout == expected);

    uint8_t ssid[40] = {}, thumbprints[12][EAP_THUMBPRINT_BYTES] = {};
    uint32_t ssidLength = ssidPick % 36; // 0 and 33 to 35 are refused
    size_t take = size < sizeof(ssid) ? size : sizeof(ssid);
    memcpy(ssid, data, take);
    data += take;
    size -= take;
    memcpy(thumbprints, data, size < sizeof(thumbprints) ? size : sizeof(thumbprints));

    EapolEntryInput input = {};
    input.version = versionPick & 1 ? 3 : 5;
    input.layout = layout;
    input.machineAuth = flags & 2;
    input.guestAuth = flags & 4;
    input.ssid = ssid;
    input.ssidLength = ssidLength;
    input.record.thumbprints = thumbprints;
    input.record.count = countPick % 12;
    input.record.validateServerCert = flags & 8;
    input.record.enableFastReconnect = flags & 16;
    input.record.useWindowsLogonInfo = flags & 32;

    uint8_t* entry = reinterpret_cast<uint8_t*>(0xdeadbeef);
    uint32_t entrySize = 0xdeadbeef;
    uint32_t result = BuildEapolEntry(&input, &entry, &entrySize);
    bool usesRecord = layout != EAPOL_LAYOUT_SECUREW2;
    if (layout == EAPOL_LAYOUT_NONE || ssidLength < 1 || ssidLength > 32 ||
        (usesRecord && input.record.count > EAP_MAX_TRUSTED_ROOTS)) {
        Check(result == EAP_RECORD_INVALID_PARAMETER);
        Check(entry == reinterpret_cast<uint8_t*>(0xdeadbeef) && entrySize == 0xdeadbeef);
        return 0;
    }
    Check(result == 0);

    uint8_t* record = nullptr;
    uint32_t recordSize = 0;
    if (layout == EAPOL_LAYOUT_TLS)
        Check(BuildTlsRecord(&input.record, &record, &recordSize) == 0);
    else if (layout != EAPOL_LAYOUT_SECUREW2)
        Check(BuildPeapRecord(layout == EAPOL_LAYOUT_PEAP_GTC ? INNER_METHOD_GTC
                                                              : INNER_METHOD_MSCHAPV2,
                              &input.record, &record, &recordSize) == 0);
    uint32_t n = input.record.count;
    uint32_t expectedSize = layout == EAPOL_LAYOUT_TLS             ? (n < 2 ? 106 : 82 + 24 * n)
                            : layout == EAPOL_LAYOUT_PEAP_GTC      ? 170 + 24 * n
                            : layout == EAPOL_LAYOUT_PEAP_MSCHAPV2 ? 178 + 24 * n
                                                                   : 104;
    Check(entrySize == expectedSize);
    uint32_t headerType = layout == EAPOL_LAYOUT_TLS        ? 13
                          : layout == EAPOL_LAYOUT_SECUREW2 ? 21
                                                            : 25;
    uint32_t entryFlags = 0x80000000u | (input.machineAuth ? 0x40000000u : 0) |
                          (input.guestAuth ? 0x20000000u : 0);
    Check(ReadU32(entry) == input.version && ReadU32(entry + 4) == 0 &&
          ReadU32(entry + 8) == entryFlags);
    Check(ReadU32(entry + 12) == headerType && ReadU32(entry + 16) == ssidLength);
    Check(memcmp(entry + 20, ssid, ssidLength) == 0);
    for (uint32_t i = ssidLength; i < 32; ++i)
        Check(entry[20 + i] == 0);
    const uint8_t* item = entry + 52;
    if (layout != EAPOL_LAYOUT_TLS) {
        static const uint8_t kDefaultTls[40] = {0, 0, 0, 0, 40, 0, 0, 0, 5};
        Check(ReadU32(item) == 13 && ReadU32(item + 4) == 40 &&
              memcmp(item + 8, kDefaultTls, 40) == 0);
        Check(ReadU32(item + 48) == 0);
        item += 52;
    }
    if (record) {
        Check(ReadU32(item) == headerType && ReadU32(item + 4) == recordSize);
        Check(memcmp(item + 8, record, recordSize) == 0 && ReadU32(item + 8 + recordSize) == 0);
        item += 12 + recordSize;
    }
    Check(item == entry + entrySize);
    free(record);
    free(entry);
    return 0;
}
