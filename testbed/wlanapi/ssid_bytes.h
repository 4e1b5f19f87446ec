// The bytes of the network a profile connects to, from its SSID element, and their display.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The hex element: 1 to 32 bytes as pairs of hexadecimal digits of either case.
bool SsidFromHex(const std::wstring& hex, std::vector<uint8_t>* bytes);

// The name element, when there is no hex, through the platform's Unicode to ASCII conversion:
// ASCII characters as they are, others through the ANSI code page. False when a character has
// no byte there or the SSID would be longer than 32 bytes.
bool SsidFromName(const std::wstring& name, std::vector<uint8_t>* bytes);

// Upper-case hexadecimal bytes apart: "43 61 66 C3 A9".
std::wstring SsidText(const std::vector<uint8_t>& bytes);
