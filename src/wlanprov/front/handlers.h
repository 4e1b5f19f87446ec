// The add and delete handlers that main dispatches to. Each takes main's untouched argument
// count and vector and returns a Windows error code.
#pragma once

#include <windows.h>

DWORD WZC_Vista(int argc, char** argv);
DWORD WZCRemoveProfile_Vista(int argc, char** argv);
DWORD WZC_XP_SP2(int argc, char** argv);
DWORD WZCRemoveProfile_XP_SP2(int argc, char** argv);
DWORD WZC_XP_SP1(int argc, char** argv);
DWORD WZCRemoveProfile_XP_SP1(int argc, char** argv);

// Shows the modal help dialog (resource 114) and returns when it is closed.
DWORD ShowHelpDialog();
