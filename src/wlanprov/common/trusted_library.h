// Where wlanprov takes the libraries it loads at run time from: its own folder, then the
// system folder. Never the current directory or a PATH folder, where anyone may leave a
// wzcsapi.dll that would decide the platform and run elevated inside this program.
#pragma once

#include <windows.h>

// Restricts the process's own library search to those two folders: SetDefaultDllDirectories
// where kernel32 has it, else (XP) SetDllDirectoryW naming the program's folder, which takes
// at least the current directory out. main calls it before anything loads.
void RestrictLibrarySearch();

// Loads name ("wzcsapi.dll") from the program's folder or else the system folder: through
// LoadLibraryExW's search flags where the platform has them, else by full path. Null with the
// loader's last error when neither folder holds a library that loads.
HMODULE LoadTrustedLibrary(const wchar_t* name);

// The full-path route of LoadTrustedLibrary, for platforms without the search flags: the file
// beside the program when there is one (even when it refuses to load, as the loader's own
// search would stop there), else the one in the system folder.
HMODULE LoadTrustedLibraryByPath(const wchar_t* name);
