// WZC_Vista: -add on Vista. Builds one WLAN profile document from the options and hands it to
// the WLAN API for every wireless interface, as an all-user profile that replaces one of the
// same name.
#include <rpc.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>

#include "../common/adapter_result.h"
#include "../common/certificate.h"
#include "../common/eap_record_options.h"
#include "../common/globals.h"
#include "../common/handlers.h"
#include "../common/hex_text.h"
#include "../common/last_error.h"
#include "../common/option_grammar.h"
#include "../common/secret_wipe.h"
#include "../common/trusted_roots.h"
#include "profile_document.h"
#include "profile_file.h"
#include "ssid_bytes.h"
#include "vista_grammar.h"
#include "vista_rules.h"
#include "wlan_binding.h"

namespace {

// Room for the text of a WLAN reason code.
enum { REASON_TEXT_CHARACTERS = 256 };

bool IsHexDigit(wchar_t c)
{
    return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F') || (c >= L'a' && c <= L'f');
}

bool IsPreSharedKey(const wchar_t* key)
{
    size_t length = 0;
    for (; key[length]; ++length)
        if (!IsHexDigit(key[length]))
            return false;
    return length == 64;
}

ProfileKind KindOf(const OptionSet* o)
{
    const wchar_t* a = o->authentication;
    bool psk = wcscmp(a, L"WPAPSK") == 0 || wcscmp(a, L"WPA2PSK") == 0;
    // 64 hexadecimal digits are the pre-shared key itself, never a pass phrase (8 to 63).
    if (psk && IsPreSharedKey(o->networkKey))
        return PROFILE_PRE_SHARED_KEY;
    if (psk || wcscmp(a, L"WPA3SAE") == 0)
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
    DWORD result = api->WlanSetProfile(handle, interfaceGuid, 0, document, nullptr, TRUE, nullptr,
                                       &reason);
    if (result == 0) {
        printf("%s :: WlanSetProfile succeeded\n", kVistaAddName);
        return 0;
    }
    printf("%s :: ERROR!! WlanSetProfile failed and returned code [%ld]\n", kVistaAddName,
           (long)result);
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

// The document and what it was built from, released together.
struct ProfileBuild {
    wchar_t ssid[MAX_SSID_BYTES + 1];
    wchar_t* ssidHex;
    wchar_t* configBlob;
    wchar_t* document;
    size_t documentBytes;
};

void FreeProfileBuild(ProfileBuild* build)
{
    FreeSecretText(build->document);
    free(build->configBlob);
    free(build->ssidHex);
}

ProfileSwitch SwitchOf(const OptionSet* o, OptionId id, LONG value)
{
    if (!o->given[id])
        return SWITCH_ABSENT;
    return value == 1 ? SWITCH_TRUE : SWITCH_FALSE;
}

// Builds the profile document of the options. Returns 0, 8, or the conversion's code.
DWORD BuildProfile(const OptionSet* o, const BYTE (*thumbprints)[CERT_THUMBPRINT_BYTES],
                   ProfileBuild* build)
{
    DWORD result;
    ProfileKind kind = KindOf(o);
    ProfileValues values = {};
    if (!ConvertAnsiText(o->ssid, build->ssid, MAX_SSID_BYTES + 1))
        return LastErrorOr(ERROR_NO_UNICODE_TRANSLATION);
    // An SSID outside ASCII is named by its UTF-8 bytes: the platform would turn its name into
    // other bytes. An ASCII SSID keeps the document it always had.
    if (!SsidIsAscii(o)) {
        BYTE bytes[SSID_UTF8_ROOM];
        int count = SsidUtf8Bytes(o, bytes);
        if (count < 0)
            return LastErrorOr(ERROR_NO_UNICODE_TRANSLATION);
        if ((result = ConvertToHexString(bytes, (size_t)count, &build->ssidHex)) != 0)
            return result;
    }
    if (kind == PROFILE_ONEX && (result = BuildConfigBlob(o, thumbprints, &build->configBlob)) != 0)
        return result;
    values.ssid = build->ssid;
    values.authentication = o->authentication;
    values.encryption = o->encryption;
    values.useOneX = VistaUseOneX(o);
    values.networkKey = o->networkKey;
    values.keyIndex = o->keyIndex;
    values.eapTypeNumber = VistaEapTypeNumber(o);
    values.configBlob = build->configBlob;
    values.ssidHex = build->ssidHex;
    values.connectionMode = o->given[OPT_CONNECTION_MODE] ? o->connectionMode : nullptr;
    values.nonBroadcast = SwitchOf(o, OPT_NON_BROADCAST, o->nonBroadcast);
    values.autoSwitch = SwitchOf(o, OPT_AUTO_SWITCH, o->autoSwitch);
    values.transitionMode = SwitchOf(o, OPT_TRANSITION_MODE, o->transitionMode);
    values.macRandomization = static_cast<ProfileMacRandomization>(
        ChoiceNumber(o->macRandomizationChoice, MAC_RANDOMIZATION_ABSENT));
    if ((result = BuildProfileDocument(kind, &values, &build->document, &build->documentBytes)) !=
        0)
        return result;
    DebugPrint("%s :: allocated %ld bytes for pwcXMLTemplate\n", kVistaAddName,
               (long)build->documentBytes);
    DebugPrint("%s :: pwcXMLTemplate : %ls\n", kVistaAddName, build->document);
    return 0;
}

} // namespace

DWORD WZC_Vista(int argc, char** argv)
{
    OptionSet options;
    BYTE thumbprints[MAX_TRUST_ROOT_CA][CERT_THUMBPRINT_BYTES];
    WlanSession wlan = {};
    ProfileBuild build = {};

    DWORD result = ParseOptions(argc, argv, &kVistaAddGrammar, &options);
    if (result == 0)
        result = CheckVistaRules(&options);
    if (result == 0)
        result = LookUpTrustedRoots(&options, kVistaAddName, thumbprints);
    if (result != 0)
        goto done;
    EchoOptions(&options, &kVistaAddGrammar);

    // A profile saved for deployment tools goes to its file only, never to an interface.
    if (options.given[OPT_SAVE_PROFILE]) {
        if ((result = BuildProfile(&options, thumbprints, &build)) == 0)
            result = SaveProfileDocument(options.profilePath, build.document);
        goto done;
    }

    if ((result = OpenWlanSession(&wlan)) != 0)
        goto done;
    PrintInterfaces(wlan.interfaces);
    // With no wireless interface there is nowhere to send a document: the run fails as the
    // XP handlers' runs without an adapter do.
    if (wlan.interfaces->dwNumberOfItems == 0) {
        result = ERROR_NO_DATA;
        goto done;
    }
    if ((result = BuildProfile(&options, thumbprints, &build)) != 0)
        goto done;

    for (DWORD i = 0; i < wlan.interfaces->dwNumberOfItems; ++i)
        FoldAddResult(&result, SubmitProfile(&wlan.api, wlan.handle,
                                             &wlan.interfaces->InterfaceInfo[i].InterfaceGuid,
                                             build.document));

done:
    FreeProfileBuild(&build);
    WipeSecret(&options, sizeof(options));
    CloseWlanSession(&wlan);
    DebugPrint("%s :: returning %ld\n", kVistaAddName, (long)result);
    return result;
}
