// The rules of the add handlers that relate one option to another: one runner, and the rows
// about the 802.1X EAP method that every add handler applies.
#pragma once

#include <windows.h>

#include <cstddef>

#include "option_grammar.h"

// When broken is true, line (a printf format whose one %s is the handler's name) is printed
// and the handler stops.
struct OptionRule {
    bool broken;
    const char* line;
};

// Prints the first broken rule's line. Returns 13 then, or 0 when every rule holds.
DWORD FirstBrokenRule(const OptionRule* rules, size_t count, const char* handlerName);

// The EAP method rows, in this order: the inner method that PEAP needs and the others refuse,
// what EAP-TLS and SecureW2 leave out, what only PEAP or MSCHAPv2 takes, and the trusted roots
// that need server validation. A handler that cannot take SecureW2 never meets its rows.
DWORD CheckEapRules(const OptionSet* options, const char* handlerName);
