// One authentication played as the platform's EAP host plays it: identity from the plug-in
// (or given), RasEapBegin at the method's first Request, one RasEapMakeMessage per packet,
// the interactive UI when asked and the call after it, saving or erasing the user's data,
// RasEapEnd, and every block the plug-in handed out returned through RasEapFreeMemory.
#pragma once

#include <windows.h>

#include "authenticator_link.h"
#include "host_options.h"
#include "plugin_binding.h"

// Returns the authentication's result: 0, the method's dwAuthResultCode, the code a plug-in
// call failed with, ERROR_CANCELLED when the interactive UI was cancelled, or ERROR_TIMEOUT
// when the authenticator stopped talking before the method was done.
DWORD RunAuthentication(const HostOptions& options, const std::wstring& user,
                        const PluginBinding* plugin, AuthenticatorLink* link);
