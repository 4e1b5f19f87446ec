// The bytes an SSID goes on the air with on the WLAN API path: the UTF-8 form of its text.
// The platform turns a profile's SSID name into bytes with a Unicode-to-ASCII conversion, so
// an SSID with any character outside ASCII must be written with these bytes as hex.
#pragma once

#include <windows.h>

#include "../common/option_grammar.h"

// An ANSI byte is at most 3 UTF-8 bytes; one more for the terminator.
enum { SSID_UTF8_ROOM = 3 * MAX_SSID_BYTES + 1 };

// The UTF-8 bytes of the option's SSID (converted from the ANSI code page first) into out.
// Returns their count, or -1 (with the thread's last error set) when the SSID does not convert.
int SsidUtf8Bytes(const OptionSet* options, BYTE (&out)[SSID_UTF8_ROOM]);

// Whether every byte of the SSID as given is ASCII.
bool SsidIsAscii(const OptionSet* options);
