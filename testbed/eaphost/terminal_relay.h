// A dialog shown on the terminal for a person at a machine without a display: the caption and
// texts are already logged; each edit field is asked for by its label (masked fields are read
// without echo), then OK or Cancel.
#pragma once

#include <windows.h>

#include "dialog_bridge.h"
#include "host_options.h"

void RelayDialogToTerminal(const BridgeDialog& dialog, HANDLE in, DialogAnswer* answer);

// One line typed by the person, without its end. Echo is turned off for masked input when in
// is a console. Returns false at the end of input.
bool ReadTerminalLine(HANDLE in, bool masked, std::wstring* line);
