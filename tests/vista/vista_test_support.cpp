#include "vista_test_support.h"

#include <gtest/gtest.h>
#include <wlanapi.h>

#include "handlers.h"
#include "test_support.h"

namespace {

// The emulated API as the tests read it back; the test program keeps it loaded, so that its
// handle and memory counts outlive each handler's own load and release.
struct ReadBackApi {
    HMODULE library = LoadLibraryW(L"wlanapi.dll");
    template <typename F>
    F Get(const char* name)
    {
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(library, name)));
    }
};

ReadBackApi& Api()
{
    static ReadBackApi api;
    return api;
}

} // namespace

HandlerRun RunAdd(const std::vector<std::string>& options)
{
    return RunHandler(WZC_Vista, "-add", options);
}

HandlerRun RunDelete(const std::vector<std::string>& options)
{
    return RunHandler(WZCRemoveProfile_Vista, "-delete", options);
}

void UseMachine(const wchar_t* stateName, const std::vector<TestbedInterface>& interfaces)
{
    SetEnvironmentVariableW(L"WLANPROV_TESTBED_STATE", stateName);
    ASSERT_EQ(0, ResetTestbedState(interfaces));
    ASSERT_NE(nullptr, Api().library);
}

std::vector<TestbedInterface> Interfaces(int count)
{
    std::vector<TestbedInterface> interfaces;
    for (int i = 0; i < count; ++i) {
        TestbedInterface entry = DefaultTestbedInterfaces()[0];
        entry.guid.Data4[7] = (BYTE)(0x40 + i);
        entry.description = L"Test adapter " + std::to_wstring(i);
        interfaces.push_back(entry);
    }
    return interfaces;
}

std::vector<TestbedProfile> ReadBackProfiles(int interfaceIndex)
{
    std::vector<TestbedProfile> profiles;
    auto open = Api().Get<decltype(&WlanOpenHandle)>("WlanOpenHandle");
    auto close = Api().Get<decltype(&WlanCloseHandle)>("WlanCloseHandle");
    auto enumerate = Api().Get<decltype(&WlanEnumInterfaces)>("WlanEnumInterfaces");
    auto list = Api().Get<decltype(&WlanGetProfileList)>("WlanGetProfileList");
    auto get = Api().Get<decltype(&WlanGetProfile)>("WlanGetProfile");
    auto release = Api().Get<decltype(&WlanFreeMemory)>("WlanFreeMemory");
    HANDLE handle = nullptr;
    DWORD version = 0;
    EXPECT_EQ(0u, open(2, nullptr, &version, &handle));
    PWLAN_INTERFACE_INFO_LIST interfaces = nullptr;
    EXPECT_EQ(0u, enumerate(handle, nullptr, &interfaces));
    if (interfaces && (DWORD)interfaceIndex < interfaces->dwNumberOfItems) {
        const GUID& guid = interfaces->InterfaceInfo[interfaceIndex].InterfaceGuid;
        PWLAN_PROFILE_INFO_LIST names = nullptr;
        EXPECT_EQ(0u, list(handle, &guid, nullptr, &names));
        for (DWORD i = 0; names && i < names->dwNumberOfItems; ++i) {
            LPWSTR document = nullptr;
            const wchar_t* name = names->ProfileInfo[i].strProfileName;
            EXPECT_EQ(0u, get(handle, &guid, name, nullptr, &document, nullptr, nullptr));
            profiles.push_back({name, document ? document : L""});
            release(document);
        }
        release(names);
    }
    release(interfaces);
    close(handle, nullptr);
    return profiles;
}

DWORD OpenWlanHandles()
{
    return Api().Get<DWORD(WINAPI*)()>("TestbedWlanOpenHandleCount")();
}

DWORD LiveWlanBlocks()
{
    return Api().Get<DWORD(WINAPI*)()>("TestbedWlanLiveBlockCount")();
}

std::wstring Document(const std::wstring& ssid, const std::wstring& authentication,
                      const std::wstring& encryption, const std::wstring& useOneX,
                      const std::wstring& security)
{
    return L"<?xml version=\"1.0\"?><WLANProfile xmlns=\"http://www.microsoft.com/networking/WLAN/"
           L"profile/v1\"><name>" +
           ssid + L"</name><SSIDConfig><SSID><name>" + ssid +
           L"</name></SSID></SSIDConfig><connectionType>ESS</connectionType><connectionMode>auto"
           L"</connectionMode><MSM><security><authEncryption><authentication>" +
           authentication + L"</authentication><encryption>" + encryption +
           L"</encryption><useOneX>" + useOneX + L"</useOneX></authEncryption>" + security +
           L"</security></MSM></WLANProfile>";
}

std::wstring SharedKey(const std::wstring& type, const std::wstring& material)
{
    return L"<sharedKey><keyType>" + type + L"</keyType><protected>false</protected><keyMaterial>" +
           material + L"</keyMaterial></sharedKey>";
}

std::wstring OneX(int type, const std::wstring& blob)
{
    const std::wstring common = L" xmlns=\"http://www.microsoft.com/provisioning/EapCommon\">";
    return L"<OneX xmlns=\"http://www.microsoft.com/networking/OneX/v1\"><EAPConfig><EapHostConfig "
           L"xmlns=\"http://www.microsoft.com/provisioning/EapHostConfig\"><EapMethod><Type" +
           common + std::to_wstring(type) + L"</Type><VendorId" + common +
           L"0</VendorId><VendorType" + common + L"0</VendorType><AuthorId" + common +
           L"0</AuthorId></EapMethod><ConfigBlob>" + blob +
           L"</ConfigBlob></EapHostConfig></EAPConfig></OneX>";
}
