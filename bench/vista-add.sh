#!/usr/bin/env bash
# Wall time of wlanprov -add for an 802.1X profile with three trusted roots on five emulated
# interfaces, against four yardsticks started the same way in the same Wine prefix: an empty
# Win32 program; one that loads the same system libraries as wlanprov; one that also opens
# the local computer's ROOT store and reads every certificate's name once, which under Wine
# includes building that store (Wine's cost, not ours); and one that also makes the WLAN API
# calls of the run with the same document (the emulated platform's own cost: COM, MSXML 6,
# its state). Prints the medians (milliseconds) and the ratio against each; the last ratio is
# the headline: what wlanprov adds to the work that any program doing this -add must cause.
# Usage: bench/vista-add.sh [RUNS]
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runs="${1:-15}"
"$top/build" >&2
source "$top/scripts/wine-env"
export WLANPROV_TESTBED_STATE=bench_vista_add
vista="$BUILD_DIR/x86/machine/platforms/vista"
work="$(mktemp -d)"
trap 'rm -rf "$work"; wine "$vista/wlanstate.exe" reset >/dev/null 2>&1 || true' EXIT

# The empty program: returns at once.
printf 'int main(void) { return 0; }\n' > "$work/empty.c"
i686-w64-mingw32-gcc -O2 -static "$work/empty.c" -o "$work/empty.exe"

# The yardsticks beyond the empty program: wlanprov's system libraries (imported, so loaded
# at start), then the same and one scan of the ROOT store as the certificate lookup does it,
# then the same and the WLAN API's calls: "save DOCUMENT" keeps the profile the -add stored,
# "platform DOCUMENT" binds the emulated API as wlanprov does and sets that profile on every
# interface.
cat > "$work/yardstick.c" <<'C'
#include <windows.h>
#include <wincrypt.h>
#include <rpc.h>
#include <objbase.h>
#include <wlanapi.h>
#include <stdio.h>
typedef DWORD(WINAPI* OpenFn)(DWORD, PVOID, PDWORD, PHANDLE);
typedef DWORD(WINAPI* EnumFn)(HANDLE, PVOID, PWLAN_INTERFACE_INFO_LIST*);
typedef DWORD(WINAPI* GetFn)(HANDLE, const GUID*, LPCWSTR, PVOID, LPWSTR*, DWORD*, DWORD*);
typedef DWORD(WINAPI* SetFn)(HANDLE, const GUID*, DWORD, LPCWSTR, LPCWSTR, BOOL, PVOID, DWORD*);
typedef VOID(WINAPI* FreeFn)(PVOID);
typedef DWORD(WINAPI* CloseFn)(HANDLE, PVOID);
/* The profile named Bench of the first interface saved to (or set from) a file, on every
   interface: what the WLAN API does for the -add. */
static int Platform(const wchar_t* library, const wchar_t* file, int save)
{
    HMODULE wlan = LoadLibraryW(library);
    if (!wlan) return 1;
    OpenFn open = (OpenFn)GetProcAddress(wlan, "WlanOpenHandle");
    EnumFn enumerate = (EnumFn)GetProcAddress(wlan, "WlanEnumInterfaces");
    GetFn get = (GetFn)GetProcAddress(wlan, "WlanGetProfile");
    SetFn set = (SetFn)GetProcAddress(wlan, "WlanSetProfile");
    FreeFn release = (FreeFn)GetProcAddress(wlan, "WlanFreeMemory");
    CloseFn close = (CloseFn)GetProcAddress(wlan, "WlanCloseHandle");
    HANDLE h = NULL;
    DWORD version = 0, reason = 0, flags = 0, access = 0;
    PWLAN_INTERFACE_INFO_LIST list = NULL;
    if (open(2, NULL, &version, &h) || enumerate(h, NULL, &list) || !list->dwNumberOfItems) return 1;
    static wchar_t document[65536];
    FILE* f = _wfopen(file, save ? L"wb" : L"rb");
    if (!f) return 1;
    if (save) {
        LPWSTR xml = NULL;
        if (get(h, &list->InterfaceInfo[0].InterfaceGuid, L"Bench", NULL, &xml, &flags, &access)) return 1;
        fwrite(xml, sizeof(wchar_t), wcslen(xml), f);
        release(xml);
    } else {
        document[fread(document, sizeof(wchar_t), 65535, f)] = 0;
        for (DWORD i = 0; i < list->dwNumberOfItems; ++i)
            if (set(h, &list->InterfaceInfo[i].InterfaceGuid, 0, document, NULL, TRUE, NULL, &reason)) return 1;
    }
    fclose(f);
    release(list);
    close(h, NULL);
    FreeLibrary(wlan);
    return 0;
}
int wmain(int argc, wchar_t** argv)
{
    /* One call into each library wlanprov imports, so none is dropped by the linker. */
    volatile void* keep[] = {(void*)CertOpenStore, (void*)UuidToStringW, (void*)GetFileVersionInfoSizeW,
                             (void*)CoInitialize, (void*)SysAllocString, (void*)RegOpenKeyExW,
                             (void*)DialogBoxParamW, (void*)CreateFontW};
    (void)keep;
    if (argc < 2)
        return 0;
    if (wcscmp(argv[1], L"save") == 0)
        return Platform(argv[2], argv[3], 1);
    HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, 0,
                                     CERT_SYSTEM_STORE_LOCAL_MACHINE, L"ROOT");
    if (!store)
        return 1;
    PCCERT_CONTEXT c = NULL;
    wchar_t name[512];
    while ((c = CertEnumCertificatesInStore(store, c)) != NULL)
        CertGetNameStringW(c, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, NULL, name, 512);
    CertCloseStore(store, 0);
    return wcscmp(argv[1], L"platform") == 0 ? Platform(argv[2], argv[3], 0) : 0;
}
C
i686-w64-mingw32-gcc -O2 -static -municode "$work/yardstick.c" -o "$work/yardstick.exe" \
  -lcrypt32 -lrpcrt4 -lversion -lole32 -loleaut32 -ladvapi32 -luser32 -lgdi32

# Three trusted roots in the machine's store, made with the benchmark's own helper.
cat > "$work/roots.c" <<'C'
#include <windows.h>
#include <wincrypt.h>
#include <stdio.h>
int wmain(int argc, wchar_t** argv)
{
    HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_W, 0, 0,
                                     CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
    if (!store) return 1;
    for (int i = 2; i < argc; ++i) {
        wchar_t x500[300];
        BYTE encoded[512];
        DWORD size = sizeof(encoded);
        _snwprintf(x500, 300, L"CN=\"%ls\"", argv[i]);
        x500[299] = 0;
        if (!CertStrToNameW(X509_ASN_ENCODING, x500, CERT_X500_NAME_STR, NULL, encoded, &size, NULL))
            return 1;
        if (wcscmp(argv[1], L"add") == 0) {
            CERT_NAME_BLOB subject = {size, encoded};
            PCCERT_CONTEXT c = CertCreateSelfSignCertificate(0, &subject, 0, NULL, NULL, NULL, NULL, NULL);
            if (!c || !CertAddCertificateContextToStore(store, c, CERT_STORE_ADD_NEW, NULL)) return 1;
            CertFreeCertificateContext(c);
        } else {
            PCCERT_CONTEXT c;
            while ((c = CertFindCertificateInStore(store, X509_ASN_ENCODING, 0, CERT_FIND_SUBJECT_STR_W,
                                                   argv[i], NULL)) != NULL)
                CertDeleteCertificateFromStore(c);
        }
    }
    CertCloseStore(store, 0);
    return 0;
}
C
i686-w64-mingw32-gcc -O2 -static -municode "$work/roots.c" -o "$work/roots.exe" -lcrypt32
roots=("Wlanprov Bench Root One" "Wlanprov Bench Root Two" "Wlanprov Bench Root Three")
wine "$work/roots.exe" remove "${roots[@]}"
wine "$work/roots.exe" add "${roots[@]}"
trap 'wine "$work/roots.exe" remove "${roots[@]}"; rm -rf "$work"; wine "$vista/wlanstate.exe" reset >/dev/null 2>&1 || true' EXIT
wine "$vista/wlanstate.exe" reset 5
# A Windows session always has its desktop. Under Wine the first window of a process (COM's
# apartment window, in the emulated WLAN API) starts one when none runs, tens of milliseconds
# that no Windows run pays: a process holds one for the whole measurement, as ./run-tests does.
wine "$BUILD_DIR/x86/machine/dialogbridge.exe" hold-desktop >/dev/null 2>&1 </dev/null &
holder=$!
trap 'kill $holder 2>/dev/null; wine "$work/roots.exe" remove "${roots[@]}"; rm -rf "$work"; wine "$vista/wlanstate.exe" reset >/dev/null 2>&1 || true' EXIT

add=(wine "$vista/wlanprov.exe" -add /SSID:Bench /Authentication:WPA2 /Encryption:AES
     /EAPType:PEAP /InnerAuthentication:MSCHAPv2 /ValidateServerCert:TRUE
     /TrustRootCA:Wlanprov_Bench_Root_One /TrustRootCA:Wlanprov_Bench_Root_Two
     /TrustRootCA:Wlanprov_Bench_Root_Three)
"${add[@]}" | grep -c "WlanSetProfile succeeded" | grep -qx 5 || { echo "the -add did not reach five interfaces" >&2; exit 1; }
wlan_library="$(wine_path "$vista/wlanapi.dll")" document="$(wine_path "$work/profile.xml")"
wine "$work/yardstick.exe" save "$wlan_library" "$document" &&
  wine "$work/yardstick.exe" platform "$wlan_library" "$document" ||
  { echo "the WLAN API yardstick did not set the profile" >&2; exit 1; }

# Median wall time in milliseconds of RUNS runs of a command.
median_ms() {
  local times=()
  for _ in $(seq "$runs"); do
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1 </dev/null || true
    end=$(date +%s%N)
    times+=($(( (end - start) / 1000000 )))
  done
  printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'
}
empty_ms=$(median_ms wine "$work/empty.exe")
libraries_ms=$(median_ms wine "$work/yardstick.exe")
store_ms=$(median_ms wine "$work/yardstick.exe" scan)
platform_ms=$(median_ms wine "$work/yardstick.exe" platform "$wlan_library" "$document")
add_ms=$(median_ms "${add[@]}")
echo "wlanprov -add, 802.1X, 3 roots, 5 interfaces: ${add_ms} ms (median of $runs)"
for yardstick in "empty Win32 program:$empty_ms" "same system libraries:$libraries_ms" \
                 "same libraries + one ROOT store scan:$store_ms" \
                 "same + the WLAN API calls of the run:$platform_ms"; do
  awk -v a="$add_ms" -v name="${yardstick%:*}" -v y="${yardstick##*:}" \
    'BEGIN {printf "%-40s %6d ms   -add / yardstick: %.2f\n", name, y, a / y}'
done
