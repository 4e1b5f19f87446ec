// Resource and control ids of wlanprov.
#pragma once

#define IDD_HELP 114
#define IDB_LOGO 116
#define IDC_HELP_LICENCE 1036
#define IDC_HELP_TITLE 1037
#define IDC_HELP_USAGE 1039
#define IDC_HELP_EXAMPLES 1040
#define IDC_HELP_EXAMPLES_GROUP 1042
#define IDC_HELP_USAGE_GROUP 1043
#define IDC_HELP_LOGO 1044
#define IDC_HELP_RIGHTS 1046
