// Resource and control ids of credmethod.dll. The companion library methodres.dll offers dialogs
// 1086 and 1092 with the same control ids.
#pragma once

#define IDD_CREDENTIALS 1086
#define IDD_PROPERTIES 1090
#define IDD_TOKEN 1092
#define IDB_BANNER 103

// Credentials dialog.
#define IDC_USERNAME 1087
#define IDC_PASSWORD 1088
#define IDC_DOMAIN 1089
// Token dialog.
#define IDC_USER_INPUT 1001
#define IDC_PROMPT 1003
// Properties dialog.
#define IDC_USE_WINLOGON 1091

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
