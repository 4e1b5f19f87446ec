// The user data that a method asks its host to save (PPP_EAP_OUTPUT fSaveUserData), kept per
// user and EAP type between runs, as the platform's host keeps it in the user's profile:
// HKCU\Software\EapHostTestbed\UserData\<type>, one binary value per user.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The name under which the running account's data is kept when no --user was given.
std::wstring CurrentAccountName();

// ERROR_FILE_NOT_FOUND when nothing is saved; data is untouched on any failure.
DWORD LoadUserData(const std::wstring& user, DWORD eapType, std::vector<BYTE>* data);
DWORD SaveUserData(const std::wstring& user, DWORD eapType, const BYTE* data, DWORD size);
// Erasing what does not exist succeeds.
DWORD EraseUserData(const std::wstring& user, DWORD eapType);
