// WZC_Vista: -add on Vista. Builds one WLAN profile document from the options and hands it to
// the WLAN API for every wireless interface, as an all-user profile that replaces one of the
// same name.
#include <rpc.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>

#include "../front/adapter_result.h"
#include "../front/certificate.h"
#include "../front/trusted_roots.h"
#include "../front/globals.h"
#include "../front/handlers.h"
#include "../front/hex_text.h"
#include "../front/options.h"
#include "../front/secret_wipe.h"
#include "../front/trusted_roots.h"
#include "eap_record_options.h"
#include "profile_document.h"
#include "vista_rules.h"
#include "wlan_binding.h"

namespace {

// Room for the text of a WLAN reason code.
enum { REASON_TEXT_CHARACTERS = 256 };

ProfileKind KindOf(const OptionSet* o)
{
    const wchar_t* a = o->authentication;
    if (wcscmp(a, L"WPAPSK") == 0 || wcscmp(a, L"WPA2PSK") == 0 || wcscmp(a, L"WPA3SAE") == 0)
        return PROFILE_PASS_PHRASE;
    if (wcscmp(o->useOneX, L"true") == 0)
        return PROFILE_ONEX;
    // Enhanced Open, like open and shared without WEP, has no key.
    return wcscmp(o->encryption, L"WEP") == 0 ? PROFILE_NETWORK_KEY : PROFILE_WITHOUT_KEY;
}

// The EAP record of the options' method as hex text (caller frees). Returns 0 or 8.
DWORD BuildConfigBlob(const OptionSet* o, const BYTE (*thumbprints)[CERT_THUMBPRINT_BYTES],
                      wchar_t** blob)
{
    EapRecordInput input = EapRecordInputOf(o, thumbprints);
    uint8_t* record = nullptr;
    uint32_t size = 0;
    DWORD result;
    if (wcscmp(o->eapType, L"EAP-TLS") == 0)
        result = BuildTlsRecord(&input, &record, &size);
    else if (wcscmp(o->innerMethod, L"GTC") == 0)
        result = BuildPeapRecord(INNER_METHOD_GTC, &input, &record, &size);
    else
        result = BuildPeapRecord(INNER_METHOD_MSCHAPV2, &input, &record, &size);
    if (result == 0) {
        result = ConvertToHexString(record, size, blob);
        free(record);
    }
    return result;
}

void PrintInterfaces(const WLAN_INTERFACE_INFO_LIST* list)
{
    if (g_bDebugLog != 1)
        return;
    printf("WZC_Vista :: NumAdapters=%d\n", (int)list->dwNumberOfItems);
    for (DWORD i = 0; i < list->dwNumberOfItems; ++i) {
        const WLAN_INTERFACE_INFO& info = list->InterfaceInfo[i];
        printf("WZC_Vista :: Interface [%d] : \n", (int)i);
        RPC_WSTR text = nullptr;
        if (UuidToStringW(const_cast<GUID*>(&info.InterfaceGuid), &text) == RPC_S_OK) {
            printf("WZC_Vista :: GUID : %ls\n", reinterpret_cast<wchar_t*>(text));
            RpcStringFreeW(&text);
        }
        printf("WZC_Vista :: Description: %ls\n", info.strInterfaceDescription);
    }
}

// Hands the document to one interface and reports the outcome. Returns the API's code.
DWORD SubmitProfile(const WlanBinding* api, HANDLE handle, const GUID* interfaceGuid,
                    const wchar_t* document)
{
    DWORD reason = 0;
    DWORD result = api->WlanSetProfile(handle, interfaceGuid, 0, document, nullptr, TRUE,
                                       nullptr, &reason);
    if (result == 0) {
        printf("WZC_Vista :: WlanSetProfile succeeded\n");
        return 0;
    }
    printf("WZC_Vista :: ERROR!! WlanSetProfile failed and returned code [%ld]\n", (long)result);
    if (result == ERROR_BAD_PROFILE) {
        printf("WZC_Vista :: The specified profile is not valid\n");
        wchar_t text[REASON_TEXT_CHARACTERS] = L"";
        if (api->WlanReasonCodeToString(reason, REASON_TEXT_CHARACTERS, text, nullptr) == 0)
            printf("WZC_Vista :: Reason : %ls\n", text);
        else
            printf("WZC_Vista :: Reason code: %ld\n", (long)reason);
    }
    return result;
}

} // namespace

DWORD WZC_Vista(int argc, char** argv)
{
    OptionSet options;
    BYTE thumbprints[MAX_TRUST_ROOT_CA][CERT_THUMBPRINT_BYTES];
    wchar_t ssid[MAX_SSID_BYTES + 1] = L"";
    WlanSession wlan = {};
    wchar_t* configBlob = nullptr;
    wchar_t* document = nullptr;
    size_t documentBytes = 0;
    ProfileKind kind;
    ProfileValues values = {};

    DWORD result = ParseOptions(argc, argv, HANDLER_ADD_VISTA, &options);
    if (result == 0)
        result = CheckVistaRules(&options);
    if (result == 0)
        result = LookUpTrustedRoots(&options, "WZC_Vista", thumbprints);
    if (result != 0)
        goto done;
    EchoOptions(&options, HANDLER_ADD_VISTA);

    if ((result = OpenWlanSession(&wlan)) != 0)
        goto done;
    PrintInterfaces(wlan.interfaces);
    // With no wireless interface there is nowhere to send a document: the run fails as the
    // XP handlers' runs without an adapter do.
    if (wlan.interfaces->dwNumberOfItems == 0) {
        result = ERROR_NO_DATA;
        goto done;
    }

    if (MultiByteToWideChar(CP_ACP, 0, options.ssid, -1, ssid, MAX_SSID_BYTES + 1) == 0) {
        result = GetLastError();
        goto done;
    }
    kind = KindOf(&options);
    if (kind == PROFILE_ONEX && (result = BuildConfigBlob(&options, thumbprints, &configBlob)) != 0)
        goto done;
    values.ssid = ssid;
    values.authentication = options.authentication;
    values.encryption = options.encryption;
    values.useOneX = options.useOneX;
    values.networkKey = options.networkKey;
    values.keyIndex = options.keyIndex;
    values.eapTypeNumber = options.eapTypeNumber;
    values.configBlob = configBlob;
    if ((result = BuildProfileDocument(kind, &values, &document, &documentBytes)) != 0)
        goto done;
    DebugPrint("WZC_Vista :: allocated %ld bytes for pwcXMLTemplate\n", (long)documentBytes);
    DebugPrint("WZC_Vista :: pwcXMLTemplate : %ls\n", document);

    for (DWORD i = 0; i < wlan.interfaces->dwNumberOfItems; ++i)
        FoldAddResult(&result, SubmitProfile(&wlan.api, wlan.handle,
                                             &wlan.interfaces->InterfaceInfo[i].InterfaceGuid,
                                             document));

done:
    FreeSecretText(document);
    WipeSecret(&options, sizeof(options));
    free(configBlob);
    CloseWlanSession(&wlan);
    DebugPrint("WZC_Vista :: returning %ld\n", (long)result);
    return result;
}
