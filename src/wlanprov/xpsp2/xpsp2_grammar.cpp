#include "xpsp2_grammar.h"

#include "../xp/xp_grammar.h"

namespace {

// The provisioning service's WirelessProfile values; it takes WPA2 and SecureW2 too.
const Choice kAuthentications[] = {{"Open", 0}, {"Shared", 1},  {"WPA", 3},  {"WPAPSK", 4},
                                   {"WPA2", 6}, {"WPA2PSK", 7}, {nullptr, 0}};
const Choice kEapTypes[] = {{"PEAP", 25}, {"EAP-TLS", 13}, {"SecureW2", 0}, {nullptr, 0}};

constexpr XpAddOptions kAddOptions = XpAddOptionsWith(kAuthentications, kEapTypes);

} // namespace

const HandlerGrammar kXpSp2AddGrammar = {
    kXpSp2AddName, kAddOptions.options, XP_ADD_OPTIONS, kXpAddEcho, XP_ADD_ECHO_LINES,
};
const HandlerGrammar kXpSp2RemoveGrammar = {
    kXpSp2RemoveName, kRemovalOptions, REMOVAL_OPTION_COUNT, kXpRemoveEcho, XP_REMOVE_ECHO_LINES,
};
