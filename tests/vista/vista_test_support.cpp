#include "vista_test_support.h"

#include <gtest/gtest.h>
#include <wlanapi.h>

#include "globals.h"
#include "handlers.h"
#include "test_support.h"

namespace {

HandlerRun RunHandler(DWORD (*handler)(int, char**), const char* command,
                      const std::vector<std::string>& options)
{
    std::vector<std::string> args = {"wlanprov.exe", command};
    args.insert(args.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(&a[0]);
    g_bDebugLog = 0;
    StdoutCapture capture;
    HandlerRun run;
    run.result = handler((int)argv.size(), argv.data());
    run.output = capture.Text();
    return run;
}

// The emulated API as the tests read it back; the test program keeps it loaded, so that its
// handle and memory counts outlive each handler's own load and release.
struct ReadBackApi {
    HMODULE library = LoadLibraryW(L"wlanapi.dll");
    template <typename F> F Get(const char* name)
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

TrustedRoot::TrustedRoot(const std::wstring& commonName)
{
    std::wstring x500 = L"CN=\"" + commonName + L"\"";
    BYTE encoded[512];
    DWORD size = sizeof(encoded);
    EXPECT_TRUE(CertStrToNameW(X509_ASN_ENCODING, x500.c_str(), CERT_X500_NAME_STR, nullptr,
                               encoded, &size, nullptr));
    CERT_NAME_BLOB subject = {size, encoded};
    PCCERT_CONTEXT created = CertCreateSelfSignCertificate(0, &subject, 0, nullptr, nullptr,
                                                           nullptr, nullptr, nullptr);
    EXPECT_NE(nullptr, created);
    // Wine builds the machine's ROOT store once per process, and its registry store writes
    // its changes when it is closed: a certificate added and closed here reaches the
    // processes started afterwards.
    HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_W, 0, 0,
                                     CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
    EXPECT_NE(nullptr, store);
    if (created && store) {
        added_ = CertAddCertificateContextToStore(store, created, CERT_STORE_ADD_NEW, nullptr);
        EXPECT_TRUE(added_);
        DWORD length = sizeof(thumbprint_);
        EXPECT_TRUE(CertGetCertificateContextProperty(created, CERT_SHA1_HASH_PROP_ID,
                                                      thumbprint_, &length));
    }
    if (created)
        CertFreeCertificateContext(created);
    if (store)
        CertCloseStore(store, 0);
}

TrustedRoot::~TrustedRoot()
{
    if (!added_)
        return;
    HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_W, 0, 0,
                                     CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
    CRYPT_HASH_BLOB hash = {sizeof(thumbprint_), thumbprint_};
    PCCERT_CONTEXT found = store ? CertFindCertificateInStore(store, X509_ASN_ENCODING, 0,
                                                              CERT_FIND_SHA1_HASH, &hash, nullptr)
                                 : nullptr;
    EXPECT_NE(nullptr, found);
    if (found)
        CertDeleteCertificateFromStore(found);   // frees the context too
    if (store)
        CertCloseStore(store, 0);
}

void RemoveTrustedRoots(const wchar_t* namePart)
{
    HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_W, 0, 0,
                                     CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
    ASSERT_NE(nullptr, store);
    PCCERT_CONTEXT stale;
    while ((stale = CertFindCertificateInStore(store, X509_ASN_ENCODING, 0, CERT_FIND_SUBJECT_STR_W,
                                               namePart, nullptr)) != nullptr)
        CertDeleteCertificateFromStore(stale);
    CertCloseStore(store, 0);
}

std::string TrustedRoot::ThumbprintHex() const
{
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (BYTE b : thumbprint_) {
        hex += digits[b >> 4];
        hex += digits[b & 15];
    }
    return hex;
}

bool ComesFirstInRootStore(const TrustedRoot& a, const TrustedRoot& b)
{
    HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_W, 0, 0,
                                     CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
    bool aFirst = false;
    PCCERT_CONTEXT certificate = nullptr;
    while ((certificate = CertEnumCertificatesInStore(store, certificate)) != nullptr) {
        BYTE hash[20];
        DWORD length = sizeof(hash);
        if (!CertGetCertificateContextProperty(certificate, CERT_SHA1_HASH_PROP_ID, hash, &length))
            continue;
        if (memcmp(hash, a.Thumbprint(), 20) == 0 || memcmp(hash, b.Thumbprint(), 20) == 0) {
            aFirst = memcmp(hash, a.Thumbprint(), 20) == 0;
            CertFreeCertificateContext(certificate);
            break;
        }
    }
    CertCloseStore(store, 0);
    return aFirst;
}

std::string WideToUtf8(const std::wstring& text)
{
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), nullptr, 0,
                                   nullptr, nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), &out[0], size, nullptr,
                        nullptr);
    return out;
}
