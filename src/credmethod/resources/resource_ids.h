// Resource ids of credmethod.dll. The companion library methodres.dll uses the same dialog ids.
#pragma once

#define IDD_CREDENTIALS 1086
#define IDD_PROPERTIES 1090
#define IDD_TOKEN 1092
#define IDB_BANNER 103
