// Conversions between the UTF-16 of Windows APIs and the byte texts that travel in packets.
#pragma once

#include <string>

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);
// The system ANSI code page, in which GTC peers of this platform answer.
std::string ToAnsi(const std::wstring& text);
// UTF-8 for a terminal: C0 and C1 control characters and DEL (a server's prompt may carry
// them, e.g. escape sequences) become \xNN, and a backslash \\, so nothing reaches the
// terminal raw and every shown text reads back unambiguously.
std::string ToPrintableUtf8(const std::wstring& text);
