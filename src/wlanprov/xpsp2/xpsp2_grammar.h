// The options of the two XP SP2 handlers.
#pragma once

#include "../common/option_grammar.h"

constexpr char kXpSp2AddName[] = "WZC_XP_SP2";
constexpr char kXpSp2RemoveName[] = "WZCRemoveProfile_XP_SP2";

extern const HandlerGrammar kXpSp2AddGrammar;
extern const HandlerGrammar kXpSp2RemoveGrammar;
