#include "certificate.h"

#include <wincrypt.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>

namespace {

// The ROOT store, open from the first lookup of a handler's run to its release.
HCERTSTORE g_rootStore = nullptr;

// Reads the hash of the matching certificate into the caller's destination.
DWORD CopyThumbprint(PCCERT_CONTEXT certificate, BYTE* thumbprint, DWORD* length)
{
    DWORD size = 0;
    if (!CertGetCertificateContextProperty(certificate, CERT_SHA1_HASH_PROP_ID, nullptr, &size)) {
        printf("GetCertificate :: Error getting certificate property.\n");
        return ERROR_CANTOPEN;
    }
    BYTE* hash = static_cast<BYTE*>(malloc(size ? size : 1));
    if (!hash) {
        printf("GetCertificate :: Error allocating memory.\n");
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    DWORD result = 0;
    // A hash that would not fit the destination is as unusable as one that cannot be read.
    if (!CertGetCertificateContextProperty(certificate, CERT_SHA1_HASH_PROP_ID, hash, &size) ||
        size > CERT_THUMBPRINT_BYTES) {
        printf("GetCertificate :: Error retrieving certificate HASH.\n");
        result = ERROR_CANTOPEN;
    } else {
        memcpy(thumbprint, hash, size);
        *length = size;
    }
    free(hash);
    return result;
}

} // namespace

DWORD GetCertificate(const wchar_t* name, BYTE thumbprint[CERT_THUMBPRINT_BYTES], DWORD* length)
{
    if (!g_rootStore)
        g_rootStore = CertOpenStore(CERT_STORE_PROV_SYSTEM_W,
                                    X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, 0,
                                    CERT_SYSTEM_STORE_LOCAL_MACHINE, L"ROOT");
    HCERTSTORE store = g_rootStore;
    if (!store) {
        printf("GetCertificate :: Error opening system store.\n");
        return ERROR_CANTOPEN;
    }
    DWORD result = 0;
    bool found = false;
    PCCERT_CONTEXT certificate = nullptr;
    while (!found && (certificate = CertEnumCertificatesInStore(store, certificate)) != nullptr) {
        DWORD characters = CertGetNameStringW(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0,
                                              nullptr, nullptr, 0);
        if (characters == 0) {
            result = ERROR_CANTOPEN;
            continue;
        }
        wchar_t* displayName = static_cast<wchar_t*>(malloc(characters * sizeof(wchar_t)));
        if (!displayName) {
            printf("GetCertificate :: Error allocating memory.\n");
            result = ERROR_NOT_ENOUGH_MEMORY;
            continue;
        }
        if (CertGetNameStringW(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, displayName,
                               characters) == 0) {
            printf("GetCertificate :: Error getting certificate name string.\n");
            result = ERROR_CANTOPEN;
        } else if (wcscmp(displayName, name) == 0) {
            found = true;
            // Failures met on earlier certificates do not matter once the CA itself is read.
            result = CopyThumbprint(certificate, thumbprint, length);
        }
        free(displayName);
    }
    if (!found) {
        printf("GetCertificate :: Error looking for the certificate in the system store.\n");
        result = ERROR_CANTOPEN;
    }
    if (certificate)
        CertFreeCertificateContext(certificate);
    return result;
}

void ReleaseCertificateStore()
{
    if (g_rootStore)
        CertCloseStore(g_rootStore, CERT_CLOSE_STORE_CHECK_FLAG);
    g_rootStore = nullptr;
}
