// Records of the fake method plug-in that the host's tests load. They only need to survive a
// trip through the host; the tests read the saved one back.
#pragma once

#include <windows.h>

enum FakeRecordKind : DWORD {
    kFakeSaved = 1,       // credentials handed out for saving after a Success
    kFakeCredentials = 2, // output of the credentials dialog
    kFakeTokenInput = 3,  // output of the token dialog
};

struct FakeRecord {
    DWORD kind;
    WCHAR user[64];
    WCHAR password[64];
    WCHAR input[64];
};

struct FakeUiContext {
    DWORD kind;
    WCHAR prompt[128];
};

// Dialog and control ids of the fake's resources.
enum {
    kFakeCredentialsDialog = 1086,
    kFakeUserEdit = 1087,
    kFakePasswordEdit = 1088,
    kFakeDomainEdit = 1089,
    kFakeTokenDialog = 1092,
    kFakeTokenEdit = 1001,
    kFakePromptText = 1003,
};
