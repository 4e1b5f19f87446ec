# The emulated platforms: name, the wireless library that defines it, and that library's
# product version. Each has a folder TESTBED_DIR/platforms/NAME holding the library and a copy
# of wlanprov.exe, so that the loader finds the library beside the program before Wine's own.
set(TESTBED_PLATFORMS
  "vista wlanapi 6.0.6000.16386"
  "win2000-sp3-hotfix wzcsapi 5.0.2195.6034"
  "win2000-sp4 wzcsapi 5.0.2195.6604"
  "xp-sp0 wzcsapi 5.1.2600.0"
  "xpsp1-1106 wzcsapi 5.1.2600.1106"
  "xpsp1-1181 wzcsapi 5.1.2600.1181"
  "xp-1200 wzcsapi 5.1.2600.1200"
  "xpsp1-1276 wzcsapi 5.1.2600.1276"
  "xpsp2 wzcsapi 5.1.2600.2180"
  "xpsp3 wzcsapi 5.1.2600.5512"
  "server2003 wzcsapi 5.2.3790.0"
  "none none 0.0.0.0")
