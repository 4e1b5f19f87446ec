// The options of the two WLAN API handlers, and what the add handler derives from them.
#pragma once

#include <cstdint>

#include "../common/option_grammar.h"

constexpr char kVistaAddName[] = "WZC_Vista";
constexpr char kVistaRemoveName[] = "WZCRemoveProfile_Vista";

extern const HandlerGrammar kVistaAddGrammar;
extern const HandlerGrammar kVistaRemoveGrammar;

// The profile's useOneX text: "true" for the authentications whose profile carries 802.1X
// settings, else "false".
const wchar_t* VistaUseOneX(const OptionSet* options);

// The EAP type of the 802.1X settings: 25 (PEAP) unless EAP-TLS is given.
int32_t VistaEapTypeNumber(const OptionSet* options);
