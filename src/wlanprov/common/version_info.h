// Reads the product version of a loaded library from its version resource.
#pragma once

#include <windows.h>

enum VersionReadResult {
    VERSION_READ_OK,
    VERSION_NO_MEMORY,    // the version-information buffer could not be allocated
    VERSION_READ_FAILED,  // GetFileVersionInfoW failed; lastError holds its code
    VERSION_QUERY_FAILED, // the root block could not be queried
};

// Reads dwProductVersionLS (build in the high word, revision in the low word) of the file
// behind module. The buffer is allocated and released here.
VersionReadResult ReadProductVersionLS(HMODULE module, DWORD* productVersionLS, DWORD* lastError);
