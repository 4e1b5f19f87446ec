#include "create_profile.h"

#include <string>
#include <utility>
#include <vector>

#include "profile_xml.h"
#include "wireless_profile.h"
#include "xp_testbed_state.h"

namespace {

// "Static#0000" to "Static#0031".
const size_t kMaxPreferredNetworks = 32;
const int kMaxEapolName = 31;

typedef std::vector<std::pair<std::wstring, std::vector<uint8_t>>> EapolValues;

// The HRESULT of a refused document: MSXML's own failure, no memory, or a bad argument.
HRESULT DocumentResult(uint32_t status, HRESULT xmlResult)
{
    if (status == PROFILE_INTERNAL_ERROR)
        return FAILED(xmlResult) ? xmlResult : E_FAIL;
    return status == PROFILE_MEMORY_ALLOCATION ? E_OUTOFMEMORY : E_INVALIDARG;
}

uint32_t ReadDocument(const wchar_t* document, WirelessNetwork* network, HRESULT* hr)
{
    std::vector<ProfileElement> elements;
    HRESULT xmlResult = S_OK;
    uint32_t status = LoadProfileElements(document, &elements, &xmlResult);
    if (status == PROFILE_SUCCESS)
        status = ReadWirelessProfile(elements, network);
    *hr = status == PROFILE_SUCCESS ? S_OK : DocumentResult(status, xmlResult);
    return status;
}

bool ListHoldsNetwork(const std::vector<std::vector<uint8_t>>& records, const std::string& ssid)
{
    for (const std::vector<uint8_t>& record : records) {
        if (RecordNamesNetwork(record, ssid))
            return true;
    }
    return false;
}

// The value for this SSID: the one that holds it already, else the lowest free name 1..31.
// Empty when every name is taken by another SSID.
std::wstring ChooseEapolName(const EapolValues& values, const std::string& ssid)
{
    bool taken[kMaxEapolName + 1] = {};
    for (const auto& value : values) {
        if (EapolValueNamesNetwork(value.second, ssid))
            return value.first;
        int number = _wtoi(value.first.c_str());
        if (number >= 1 && number <= kMaxEapolName && value.first == std::to_wstring(number))
            taken[number] = true;
    }
    for (int number = 1; number <= kMaxEapolName; ++number) {
        if (!taken[number])
            return std::to_wstring(number);
    }
    return std::wstring();
}

// Writes the network and, for 802.1X, its EAPOL value; *status says which step failed.
HRESULT StoreNetwork(const wchar_t* adapter, const WirelessNetwork& network, ULONG* status)
{
    std::vector<std::vector<uint8_t>> records;
    EapolValues eapolValues;
    std::wstring eapolName;
    LONG error = ReadPreferredList(adapter, &records);
    if (error != ERROR_SUCCESS) {
        *status = PROFILE_WRITING_WZC_CONFIG;
        return HRESULT_FROM_WIN32(error);
    }
    if (ListHoldsNetwork(records, network.ssid)) {
        *status = PROFILE_DUPLICATE_NETWORK;
        return E_FAIL;
    }
    if (records.size() >= kMaxPreferredNetworks) {
        *status = PROFILE_WRITING_WZC_CONFIG;
        return E_FAIL;
    }
    // The EAPOL name is settled before anything is written.
    if (network.oneXEnabled) {
        if ((error = ReadEapolValues(adapter, &eapolValues)) != ERROR_SUCCESS) {
            *status = PROFILE_READING_ONEX_CONFIG;
            return HRESULT_FROM_WIN32(error);
        }
        eapolName = ChooseEapolName(eapolValues, network.ssid);
        if (eapolName.empty()) {
            *status = PROFILE_WRITING_ONEX_CONFIG;
            return E_FAIL;
        }
    }
    records.push_back(BuildNetworkRecord(network));
    if ((error = WritePreferredList(adapter, records)) != ERROR_SUCCESS) {
        *status = PROFILE_WRITING_WZC_CONFIG;
        return HRESULT_FROM_WIN32(error);
    }
    if (network.oneXEnabled &&
        (error = WriteEapolValue(adapter, eapolName.c_str(),
                                 BuildEapolHeader(network.ssid, network.eapType))) !=
            ERROR_SUCCESS) {
        *status = PROFILE_WRITING_ONEX_CONFIG;
        return HRESULT_FROM_WIN32(error);
    }
    return S_OK;
}

} // namespace

HRESULT CreateWirelessProfile(const wchar_t* document, const wchar_t* connectionDocument,
                              const GUID* adapterGuid, ULONG* status)
{
    wchar_t adapter[40] = L"";
    WirelessNetwork network;
    HRESULT hr = S_OK;
    int adapterIndex = -1;
    if (!status)
        return E_POINTER;
    *status = PROFILE_SUCCESS;
    if (!document || !adapterGuid)
        return E_INVALIDARG;
    if (connectionDocument && *connectionDocument) {
        *status = PROFILE_NOT_SUPPORTED;
        return E_NOTIMPL;
    }
    StringFromGUID2(*adapterGuid, adapter, ARRAYSIZE(adapter));
    if ((adapterIndex = FindXpAdapter(adapter)) < 0)
        return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    if (DWORD fault = XpFaultFor(L"CreateProfile", adapterIndex))
        return HRESULT_FROM_WIN32(fault);
    *status = ReadDocument(document, &network, &hr);
    if (*status != PROFILE_SUCCESS)
        return hr;
    return StoreNetwork(adapter, network, status);
}
