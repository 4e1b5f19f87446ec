// The thumbprints of the trusted roots named on the command line, looked up by every add
// handler once its rules hold.
#pragma once

#include "certificate.h"
#include "options.h"

// Zeroes the ten slots, then looks each stored CA name up in order into the slot of its
// index. Returns 0, or 13 after printing "<handlerName> :: Error looking for the certificate
// [name] in the sytem store." for the first name that could not be had.
DWORD LookUpTrustedRoots(const OptionSet* options, const char* handlerName,
                         BYTE (*thumbprints)[CERT_THUMBPRINT_BYTES]);
