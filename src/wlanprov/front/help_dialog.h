// The usage dialog that -help shows.
#pragma once

#include <windows.h>

// Shows the modal help dialog (resource 114) and returns when it is closed.
DWORD ShowHelpDialog();
