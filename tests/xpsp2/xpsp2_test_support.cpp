#include "xpsp2_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>


void UseXpMachine(const wchar_t* stateName, int count)
{
    SetEnvironmentVariableW(L"WLANPROV_TESTBED_STATE", stateName);
    ASSERT_EQ(0, ResetXpState(XpAdaptersFor(count)));
}

std::wstring AdapterGuid(int adapter)
{
    std::vector<XpAdapter> adapters;
    EXPECT_EQ(0, ReadXpAdapters(&adapters));
    return adapter < (int)adapters.size() ? adapters[adapter].guid : std::wstring();
}

std::vector<std::string> StoredSsids(int adapter)
{
    std::vector<Bytes> records;
    EXPECT_EQ(0, ReadPreferredList(AdapterGuid(adapter).c_str(), &records));
    std::vector<std::string> ssids;
    for (const Bytes& record : records) {
        uint32_t length = record.size() >= 20 ? record[16] : 0;
        ssids.push_back(length <= 32 && record.size() >= 20 + length
                            ? std::string(record.begin() + 20, record.begin() + 20 + length)
                            : "?");
    }
    return ssids;
}

Bytes EapolValue(int adapter, const wchar_t* name)
{
    std::vector<std::pair<std::wstring, Bytes>> values;
    EXPECT_EQ(0, ReadEapolValues(AdapterGuid(adapter).c_str(), &values));
    for (const auto& value : values)
        if (value.first == name)
            return value.second;
    return Bytes();
}

size_t EapolValueCount(int adapter)
{
    std::vector<std::pair<std::wstring, Bytes>> values;
    EXPECT_EQ(0, ReadEapolValues(AdapterGuid(adapter).c_str(), &values));
    return values.size();
}

namespace {

Bytes NamedRecord(size_t size, uint32_t length, const std::string& ssid)
{
    Bytes record(size, 0);
    record[0] = (uint8_t)length;
    record[16] = (uint8_t)ssid.size();
    std::copy(ssid.begin(), ssid.end(), record.begin() + 20);
    return record;
}

} // namespace

Bytes NetworkRecord(const std::string& ssid)
{
    Bytes record = NamedRecord(160, 160, ssid);
    record[96] = 1;   // infrastructure
    return record;
}

Bytes EapolHeader(const std::string& ssid, uint32_t eapType)
{
    Bytes header = NamedRecord(52, 5, ssid);
    header[11] = 0x80;
    header[12] = (uint8_t)eapType;
    return header;
}

Bytes Entry(EapolLayout layout, const std::string& ssid, EapRecordInput record, bool machine,
            bool guest)
{
    EapolEntryInput input = {5, layout, machine, guest, (const uint8_t*)ssid.data(),
                             (uint32_t)ssid.size(), record};
    uint8_t* entry = nullptr;
    uint32_t size = 0;
    EXPECT_EQ(0u, BuildEapolEntry(&input, &entry, &size));
    Bytes bytes(entry, entry + size);
    free(entry);
    return bytes;
}

std::string MaskLastErrors(const std::string& output)
{
    static const std::regex lastError("(interfaces key: |CoInitialize FAILED -?[0-9]+, )[0-9]+");
    return std::regex_replace(output, lastError, "$1#");
}

std::string AfterEcho(const std::string& output)
{
    size_t at = output.rfind(" :: input parameter: ");
    return at == std::string::npos ? output : output.substr(output.find('\n', at) + 1);
}
