// The XP SP2 add handler's rules that relate one option to another.
#pragma once

#include "../front/options.h"

// Applies the rules in order. Returns 0, or 13 after printing the first broken rule's line.
// The trusted roots are looked up afterwards, once every rule holds.
DWORD CheckXpSp2Rules(const OptionSet* options);
