#include "trusted_roots.h"

#include <cstdio>
#include <cstring>

DWORD LookUpTrustedRoots(const OptionSet* o, const char* handlerName,
                         BYTE (*thumbprints)[CERT_THUMBPRINT_BYTES])
{
    memset(thumbprints, 0, MAX_TRUST_ROOT_CA * CERT_THUMBPRINT_BYTES);
    if (o->validateServerCert != 1)
        return 0;
    DWORD result = 0;
    for (LONG i = 0; i < o->trustRootCaCount && i < MAX_TRUST_ROOT_CA && result == 0; ++i) {
        DWORD length = 0;
        if (GetCertificate(o->trustRootCa[i], thumbprints[i], &length) != 0) {
            printf("%s :: Error looking for the certificate [%ls] in the sytem store.\n",
                   handlerName, o->trustRootCa[i]);
            result = ERROR_INVALID_DATA;
        }
    }
    ReleaseCertificateStore();
    return result;
}
