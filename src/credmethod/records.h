// The plug-in's work buffer and the three records that travel between its entry points
// through the EAP host. The host tells the records apart by their byte size alone, and it keeps
// ENCRYPTED_USER_IDENTITY between sessions, so every layout here is fixed on both architectures.
#pragma once

#include <windows.h>

#include <cstddef>

// EAP type of the Generic Token Card method.
constexpr int EAP_TYPE_GTC = 6;

// Field capacities, in characters including the terminator.
constexpr int NAME_FIELD_CHARS = 257;   // user name, password, domain, user input
constexpr int PROMPT_FIELD_CHARS = 261; // dialog title or server prompt
constexpr int PROTECTED_BLOB_MAX = 512; // protected password bytes kept in the stored record

// Values of dwUIType in EAP_NAME_DIALOG and EAP_UI_CONTEXT.
enum {
    UI_TYPE_CREDENTIALS = 0, // credentials dialog: user name, password, domain
    UI_TYPE_TOKEN = 1,       // token dialog: one typed code under the server's prompt
};

// Output of the credentials and token dialogs; UTF-16 text, each field zero-terminated.
typedef struct _EAP_NAME_DIALOG {
    WCHAR awszIdentity[NAME_FIELD_CHARS]; // "domain\user" once the dialog joined them
    WCHAR awszPassword[NAME_FIELD_CHARS];
    WCHAR awszDomain[NAME_FIELD_CHARS];
    WCHAR awszTitle[PROMPT_FIELD_CHARS];   // caption or prompt carried by the UI request
    WCHAR awszUserInput[NAME_FIELD_CHARS]; // the token code typed in the token dialog
    WORD wReserved;
    DWORD dwUIType;
} EAP_NAME_DIALOG;

// Stored credentials, kept by the host per user: ANSI name and the DPAPI-protected password.
typedef struct _ENCRYPTED_USER_IDENTITY {
    char aszIdentity[NAME_FIELD_CHARS];
    BYTE abReserved[3];
    DWORD dwSizeOfProtectedPassword; // 0 to PROTECTED_BLOB_MAX
    BYTE abProtectedPassword[PROTECTED_BLOB_MAX];
} ENCRYPTED_USER_IDENTITY;

// What the message routine hands the host when it wants the interactive UI shown.
typedef struct _EAP_UI_CONTEXT {
    DWORD dwUIType;
    WCHAR awszPrompt[PROMPT_FIELD_CHARS];
    WORD wReserved;
} EAP_UI_CONTEXT;

// States of EAPCB.EapState.
enum {
    EAP_STATE_INITIAL = 0,
    EAP_STATE_PASSWORD_SENT = 4,
    EAP_STATE_USER_INPUT_SENT = 5,
};

// Work buffer of one authentication, from RasEapBegin to RasEapEnd. ANSI text (system code page).
typedef struct _EAPCB {
    LONG EapState;
    char aszIdentity[NAME_FIELD_CHARS];
    char aszPassword[NAME_FIELD_CHARS];
    BYTE* pDataFromInteractiveUI; // owned; released by RasEapEnd
    DWORD dwSizeOfDataFromInteractiveUI;
    BYTE bRecvPacketId; // Request that led to the interactive UI; the next Response answers it
} EAPCB;

constexpr size_t SIZE_OF_EAP_NAME_DIALOG = 2584;
constexpr size_t SIZE_OF_ENCRYPTED_USER_IDENTITY = 776;
constexpr size_t SIZE_OF_EAP_UI_CONTEXT = 528;

static_assert(sizeof(EAP_NAME_DIALOG) == SIZE_OF_EAP_NAME_DIALOG, "EAP_NAME_DIALOG size");
static_assert(offsetof(EAP_NAME_DIALOG, awszPassword) == 514, "EAP_NAME_DIALOG layout");
static_assert(offsetof(EAP_NAME_DIALOG, awszDomain) == 1028, "EAP_NAME_DIALOG layout");
static_assert(offsetof(EAP_NAME_DIALOG, awszTitle) == 1542, "EAP_NAME_DIALOG layout");
static_assert(offsetof(EAP_NAME_DIALOG, awszUserInput) == 2064, "EAP_NAME_DIALOG layout");
static_assert(offsetof(EAP_NAME_DIALOG, wReserved) == 2578, "EAP_NAME_DIALOG layout");
static_assert(offsetof(EAP_NAME_DIALOG, dwUIType) == 2580, "EAP_NAME_DIALOG layout");

static_assert(sizeof(ENCRYPTED_USER_IDENTITY) == SIZE_OF_ENCRYPTED_USER_IDENTITY,
              "stored record size");
static_assert(offsetof(ENCRYPTED_USER_IDENTITY, abReserved) == 257, "stored record layout");
static_assert(offsetof(ENCRYPTED_USER_IDENTITY, dwSizeOfProtectedPassword) == 260,
              "stored record layout");
static_assert(offsetof(ENCRYPTED_USER_IDENTITY, abProtectedPassword) == 264,
              "stored record layout");

static_assert(sizeof(EAP_UI_CONTEXT) == SIZE_OF_EAP_UI_CONTEXT, "EAP_UI_CONTEXT size");
static_assert(offsetof(EAP_UI_CONTEXT, awszPrompt) == 4, "EAP_UI_CONTEXT layout");
static_assert(offsetof(EAP_UI_CONTEXT, wReserved) == 526, "EAP_UI_CONTEXT layout");

static_assert(offsetof(EAPCB, aszIdentity) == 4, "EAPCB layout");
static_assert(offsetof(EAPCB, aszPassword) == 261, "EAPCB layout");
static_assert(offsetof(EAPCB, pDataFromInteractiveUI) == 520, "EAPCB layout");
#ifdef _WIN64
static_assert(offsetof(EAPCB, dwSizeOfDataFromInteractiveUI) == 528, "EAPCB layout");
static_assert(offsetof(EAPCB, bRecvPacketId) == 532, "EAPCB layout");
static_assert(sizeof(EAPCB) == 536, "EAPCB size");
#else
static_assert(offsetof(EAPCB, dwSizeOfDataFromInteractiveUI) == 524, "EAPCB layout");
static_assert(offsetof(EAPCB, bRecvPacketId) == 528, "EAPCB layout");
static_assert(sizeof(EAPCB) == 532, "EAPCB size");
#endif
