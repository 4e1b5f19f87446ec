// The rules of the XP add handlers that relate one option to another. Both XP handlers apply
// the same rules with their own name in the lines; the XP SP1 option set cannot hold WPA2,
// WPA2PSK or SecureW2, so the rules about those never apply there.
#pragma once

#include "../common/option_grammar.h"

// Applies the rules in order. Returns 0, or 13 after printing the first broken rule's line
// with handlerName as its prefix. The trusted roots are looked up afterwards, once every
// rule holds.
DWORD CheckXpRules(const OptionSet* options, const char* handlerName);
