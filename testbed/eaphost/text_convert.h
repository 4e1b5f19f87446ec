// Conversions between the UTF-16 of Windows APIs and the byte texts that travel in packets.
#pragma once

#include <string>

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);
// The system ANSI code page, in which GTC peers of this platform answer.
std::string ToAnsi(const std::wstring& text);
