// The Vista add handler's rules that relate one option to another.
#pragma once

#include "../common/option_grammar.h"

// Applies the rules in order. Returns 0, or 13 after printing the first broken rule's line.
DWORD CheckVistaRules(const OptionSet* options);
