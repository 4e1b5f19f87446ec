// Answers the plug-in's dialogs while the host waits in a plug-in call: a second thread finds
// each dialog of this process, logs what it shows, and types the next scripted answer and
// presses OK or Cancel. Once the answers are used up, a dialog is relayed to the terminal for a
// person to answer (when asked to, or when the terminal is a console), else cancelled.
#pragma once

#include <windows.h>

#include <vector>

#include "host_options.h"

struct DialogAutomation {
    std::vector<DialogAnswer> answers;
    size_t nextAnswer;
    bool relay;
    HANDLE terminalIn; // where the relay reads what the person types
    HANDLE thread;
    volatile LONG stopping;
};

// Starts the watching thread. Returns false when the thread cannot be started.
bool StartDialogAutomation(DialogAutomation* automation, const std::vector<DialogAnswer>& answers,
                           bool relay, HANDLE terminalIn);
void StopDialogAutomation(DialogAutomation* automation);
