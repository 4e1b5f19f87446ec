// What the options put into the EAP records: the trusted roots (only when the server
// certificate is validated) and the three flags.
#pragma once

#include "certificate.h"
#include "eap_records.h"
#include "option_grammar.h"

EapRecordInput EapRecordInputOf(const OptionSet* options,
                                const BYTE (*thumbprints)[CERT_THUMBPRINT_BYTES]);
