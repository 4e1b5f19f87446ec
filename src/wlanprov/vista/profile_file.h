// A profile document saved for deployment tools instead of being set on an interface.
#pragma once

#include <windows.h>

// Writes document to path as UTF-8, replacing a file there, and prints where it went. Returns
// 0, or the platform's code after a line naming the file.
DWORD SaveProfileDocument(const wchar_t* path, const wchar_t* document);
