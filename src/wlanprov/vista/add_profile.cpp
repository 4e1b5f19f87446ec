// WZC_Vista: -add on Vista. Builds one WLAN profile document from the options and hands it to
// the WLAN API for every wireless interface, as an all-user profile that replaces one of the
// same name.
#include <rpc.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>

#include "../common/adapter_result.h"
#include "../common/certificate.h"
#include "../common/trusted_roots.h"
#include "../common/globals.h"
#include "../common/handlers.h"
#include "../common/hex_text.h"
#include "../common/option_grammar.h"
#include "../common/secret_wipe.h"
#include "../common/trusted_roots.h"
#include "../common/eap_record_options.h"
#include "profile_document.h"
#include "vista_grammar.h"
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
    if (wcscmp(VistaUseOneX(o), L"true") == 0)
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
    printf("%s :: NumAdapters=%d\n", kVistaAddName, (int)list->dwNumberOfItems);
    for (DWORD i = 0; i < list->dwNumberOfItems; ++i) {
        const WLAN_INTERFACE_INFO& info = list->InterfaceInfo[i];
        printf("%s :: Interface [%d] : \n", kVistaAddName, (int)i);
        RPC_WSTR text = nullptr;
        if (UuidToStringW(const_cast<GUID*>(&info.InterfaceGuid), &text) == RPC_S_OK) {
            printf("%s :: GUID : %ls\n", kVistaAddName, reinterpret_cast<wchar_t*>(text));
            RpcStringFreeW(&text);
        }
        printf("%s :: Description: %ls\n", kVistaAddName, info.strInterfaceDescription);
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
        printf("%s :: WlanSetProfile succeeded\n", kVistaAddName);
        return 0;
    }
    printf("%s :: ERROR!! WlanSetProfile failed and returned code [%ld]\n", kVistaAddName, (long)result);
    if (result == ERROR_BAD_PROFILE) {
        printf("%s :: The specified profile is not valid\n", kVistaAddName);
        wchar_t text[REASON_TEXT_CHARACTERS] = L"";
        if (api->WlanReasonCodeToString(reason, REASON_TEXT_CHARACTERS, text, nullptr) == 0)
            printf("%s :: Reason : %ls\n", kVistaAddName, text);
        else
            printf("%s :: Reason code: %ld\n", kVistaAddName, (long)reason);
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

    DWORD result = ParseOptions(argc, argv, &kVistaAddGrammar, &options);
    if (result == 0)
        result = CheckVistaRules(&options);
    if (result == 0)
        result = LookUpTrustedRoots(&options, kVistaAddName, thumbprints);
    if (result != 0)
        goto done;
    EchoOptions(&options, &kVistaAddGrammar);

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
    values.useOneX = VistaUseOneX(&options);
    values.networkKey = options.networkKey;
    values.keyIndex = options.keyIndex;
    values.eapTypeNumber = VistaEapTypeNumber(&options);
    values.configBlob = configBlob;
    if ((result = BuildProfileDocument(kind, &values, &document, &documentBytes)) != 0)
        goto done;
    DebugPrint("%s :: allocated %ld bytes for pwcXMLTemplate\n", kVistaAddName, (long)documentBytes);
    DebugPrint("%s :: pwcXMLTemplate : %ls\n", kVistaAddName, document);

    for (DWORD i = 0; i < wlan.interfaces->dwNumberOfItems; ++i)
        FoldAddResult(&result, SubmitProfile(&wlan.api, wlan.handle,
                                             &wlan.interfaces->InterfaceInfo[i].InterfaceGuid,
                                             document));

done:
    FreeSecretText(document);
    WipeSecret(&options, sizeof(options));
    free(configBlob);
    CloseWlanSession(&wlan);
    DebugPrint("%s :: returning %ld\n", kVistaAddName, (long)result);
    return result;
}
