// The thumbprints of the trusted roots named on the command line, as every add handler looks
// them up.
#pragma once

#include <windows.h>

#include "certificate.h"
#include "option_grammar.h"

// With ValidateServerCert 1 and CA names given, zero-fills the slots and looks each name up in
// order into the slot of its index. Returns 0, or 13 after the "<handler> :: Error looking for
// the certificate [name] in the sytem store." line of the first lookup that failed (which
// has printed its own line first). The certificate store is released before returning.
DWORD LookUpTrustedRoots(const OptionSet* options, const char* handlerName,
                         BYTE (*thumbprints)[CERT_THUMBPRINT_BYTES]);
