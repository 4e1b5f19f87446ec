#include "xpsp1_grammar.h"

#include "../xp/eapol_entry.h"
#include "../xp/xp_grammar.h"

namespace {

// The numbers are the network record's authentication modes.
const Choice kAuthentications[] = {
    {"Open", 0}, {"Shared", 1}, {"WPA", 3}, {"WPAPSK", 4}, {nullptr, 0}};

constexpr XpAddOptions kAddOptions = XpAddOptionsWith(kAuthentications, nullptr);

} // namespace

const HandlerGrammar kXpSp1AddGrammar = {
    kXpSp1AddName, kAddOptions.options, XP_ADD_OPTIONS, kXpAddEcho, XP_ADD_ECHO_LINES,
};
const HandlerGrammar kXpSp1RemoveGrammar = {
    kXpSp1RemoveName, kRemovalOptions, REMOVAL_OPTION_COUNT, kXpRemoveEcho, XP_REMOVE_ECHO_LINES,
};

XpSp1Codes XpSp1CodesOf(const OptionSet* o)
{
    XpSp1Codes codes;
    codes.authenticationCode = ChoiceNumber(o->authenticationChoice, 3);
    codes.encryptionCode = ChoiceNumber(o->encryptionChoice, 4);
    codes.eapTypeNumber = ChoiceNumber(o->eapTypeChoice, 13);
    codes.eapFlags = (o->ieee8021xEnabled == 1 ? EAPOL_FLAG_ENABLED : 0u) |
                     (o->machineAuth == 1 ? EAPOL_FLAG_MACHINE_AUTH : 0u) |
                     (o->guestAuth == 1 ? EAPOL_FLAG_GUEST_AUTH : 0u);
    return codes;
}
