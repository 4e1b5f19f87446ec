// The options of the two XP SP1 handlers, and the codes the add handler derives from them for
// the wireless service's records.
#pragma once

#include "../common/option_grammar.h"

constexpr char kXpSp1AddName[] = "WZC_XP_SP1";
constexpr char kXpSp1RemoveName[] = "WZCRemoveProfile_XP_SP1";

extern const HandlerGrammar kXpSp1AddGrammar;
extern const HandlerGrammar kXpSp1RemoveGrammar;

struct XpSp1Codes {
    LONG authenticationCode; // the network record's mode; WPA (3) unless given
    LONG encryptionCode;     // its privacy value; TKIP (4) unless given
    LONG eapTypeNumber;      // the EAPOL parameters' type; EAP-TLS (13) unless given
    DWORD eapFlags;          // EAPOL_FLAG_* of the 802.1X, machine and guest options
};
XpSp1Codes XpSp1CodesOf(const OptionSet* options);
