// What the emulated WlanSetProfile accepts: a well-formed document in the WLAN profile v1
// namespace whose name, SSIDConfig, connectionType, connectionMode and MSM/security are present
// and consistent, including the key material and the 802.1X EAP configuration.
#pragma once

#include <windows.h>

#include <string>

// Returns 0 and the profile's name, or the WLAN reason code of the first problem.
DWORD CheckProfileDocument(const std::wstring& document, std::wstring* profileName);
