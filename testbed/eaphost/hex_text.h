// Packets as text lines of hexadecimal digits, the form in which stream mode exchanges them.
// Free of windows.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Upper-case digits, two per byte, no separators.
std::string BytesToHex(const uint8_t* bytes, size_t size);

// Reads pairs of hex digits; blanks and tabs between pairs are allowed, as is a trailing CR.
// Returns false (out untouched) for an odd digit count or any other character.
bool HexToBytes(const std::string& line, std::vector<uint8_t>* out);
