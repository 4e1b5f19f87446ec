#include "trusted_root.h"

#include <gtest/gtest.h>

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
        EXPECT_TRUE(CertGetCertificateContextProperty(created, CERT_SHA1_HASH_PROP_ID, thumbprint_,
                                                      &length));
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
        CertDeleteCertificateFromStore(found); // frees the context too
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
