// The add and delete handlers that main dispatches to, one pair per back end. Each takes
// main's untouched argument count and vector and returns a Windows error code.
#pragma once

#include <windows.h>

DWORD WZC_Vista(int argc, char** argv);
DWORD WZCRemoveProfile_Vista(int argc, char** argv);
DWORD WZC_XP_SP2(int argc, char** argv);
DWORD WZCRemoveProfile_XP_SP2(int argc, char** argv);
DWORD WZC_XP_SP1(int argc, char** argv);
DWORD WZCRemoveProfile_XP_SP1(int argc, char** argv);
