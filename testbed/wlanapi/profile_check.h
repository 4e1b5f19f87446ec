// What the emulated WlanSetProfile accepts: a well-formed document (MSXML 6 decides) in the
// WLAN profile v1 namespace that follows the profile schema (known elements in their order,
// no attribute but namespace declarations, text only in text elements), whose name, SSIDConfig,
// connectionType, connectionMode and MSM/security are present and consistent, including the
// authentication and encryption pair, the key material and the 802.1X EAP configuration; the
// later schemas' transitionMode (v4) and MacRandomization (v3) in their places.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Returns 0, the profile's name and the SSID bytes it connects to (when asked), or the WLAN
// reason code of the first problem.
DWORD CheckProfileDocument(const std::wstring& document, std::wstring* profileName,
                           std::vector<uint8_t>* ssidBytes = nullptr);
