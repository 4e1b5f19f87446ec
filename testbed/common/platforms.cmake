# The emulated platforms: name, the product version of its wzcsapi.dll and what its
# wlanapi.dll is ("-" for none). Each platform is a folder TESTBED_DIR/platforms/NAME holding
# those libraries and a copy of wlanprov.exe: the loader looks beside the program first, so
# the platform's libraries win over Wine's own. Where a platform has no WLAN API, a wlanapi.dll
# that refuses to load stands in for the missing library (Wine would otherwise supply its own).
#   wlanapi: a version a.b.c.d, "absent", or "noversion" (loads, but has no version resource)
# An optional fourth word names a wzcsapi.dll variant: "no-querycontext" (lacks that export).
set(TESTBED_PLATFORMS
  "vista - 6.0.6000.16386"
  "win2000-sp3-hotfix 5.0.2195.6034 absent"
  "win2000-sp4 5.0.2195.6604 absent"
  "xp-sp0 5.1.2600.0 absent"
  "xpsp1-1106 5.1.2600.1106 absent"
  "xpsp1-1181 5.1.2600.1181 absent"
  "xpsp1-no-querycontext 5.1.2600.1181 absent no-querycontext"
  "xp-1200 5.1.2600.1200 absent"
  "xpsp1-1276 5.1.2600.1276 absent"
  "xpsp2 5.1.2600.2180 absent"
  "xpsp3 5.1.2600.5512 absent"
  "server2003 5.2.3790.0 absent"
  "xpsp2-and-wlanapi 5.1.2600.2180 6.0.6000.16386"
  "none - absent"
  "wlanapi-without-version - noversion")

