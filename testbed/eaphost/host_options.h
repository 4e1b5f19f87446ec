// The host's command line: which plug-in, whose saved data, how the identity is obtained,
// the built-in server's script or stream mode, and the answers for the plug-in's dialogs.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "gtc_server.h"

struct DialogAnswer {
    std::vector<std::pair<int, std::wstring>> fields; // control id, text to type
    int button;                                       // IDOK or IDCANCEL
};

enum HostCommand {
    kCommandAuthenticate,
    kCommandForget,    // erase the user's saved data and stop
    kCommandShowSaved, // print the user's saved data as hex and stop
    kCommandHelp
};

struct HostOptions {
    HostCommand command = kCommandAuthenticate;
    std::wstring pluginPath;
    bool registered = false;   // the plug-in named by the method's registration ("Path")
    std::wstring dllDirectory; // the plug-in's file is loaded from here
    DWORD eapType = 6;
    std::wstring user;             // key of the saved data; empty: the account's name
    bool forgetFirst = false;      // --forget together with a plug-in
    DWORD flags = 0;               // RAS_EAP_FLAG_* for RasEapGetIdentity and RasEapBegin
    bool retryInteractive = false; // on 703, ask again allowing dialogs (as the platform does)
    bool identityGiven = false;    // --identity: skip RasEapGetIdentity, as with the
    std::wstring identity;         // platform's own user-name dialog
    std::wstring password;
    DWORD sendSize = 1500;
    bool stream = false;
    GtcServerScript script;
    std::vector<DialogAnswer> answers;
    bool relay = false;
};

// Reads argv[1..]. On failure returns false with a one-line reason in error.
bool ParseHostOptions(int argc, const wchar_t* const* argv, HostOptions* options,
                      std::string* error);

extern const char kHostUsage[];
