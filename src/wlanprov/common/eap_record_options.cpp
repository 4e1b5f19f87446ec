#include "eap_record_options.h"

EapRecordInput EapRecordInputOf(const OptionSet* o,
                                const BYTE (*thumbprints)[CERT_THUMBPRINT_BYTES])
{
    EapRecordInput input = {};
    input.thumbprints = thumbprints;
    input.count = o->validateServerCert == 1 ? (uint32_t)o->trustRootCaCount : 0;
    input.validateServerCert = o->validateServerCert == 1;
    input.enableFastReconnect = o->enableFastReconnect == 1;
    input.useWindowsLogonInfo = o->useWindowsLogonInfo == 1;
    return input;
}
