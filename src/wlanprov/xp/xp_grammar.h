// What the option grammars of both XP back ends share: their encryption values and their echo
// layouts.
#pragma once

#include "../common/option_grammar.h"

extern const Choice kXpEncryptionChoices[]; // WEP 0, None 1, AES 6, TKIP 4

enum { XP_ADD_ECHO_LINES = 15, XP_REMOVE_ECHO_LINES = 1 };
extern const EchoLine kXpAddEcho[XP_ADD_ECHO_LINES];
extern const EchoLine kXpRemoveEcho[XP_REMOVE_ECHO_LINES];
