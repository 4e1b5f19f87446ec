// WZC_XP_SP1: -add on XP SP1, with or without the WPA update or rollup. There is no
// provisioning service on these systems: the network record goes straight to the head of
// every adapter's preferred list, with the SSID's EAPOL parameters, and an 802.1X network
// gets its EAPOL registry entry.
#include <cstdio>
#include <cstring>
#include <cwchar>

#include "../common/adapter_result.h"
#include "../common/globals.h"
#include "../common/handlers.h"
#include "../common/option_grammar.h"
#include "../common/secret_wipe.h"
#include "../common/trusted_roots.h"
#include "../xp/eapol_entry.h"
#include "../xp/eapol_registry.h"
#include "../xp/preferred_list.h"
#include "../xp/service_control.h"
#include "../xp/wzc_binding.h"
#include "../xp/xp_rules.h"
#include "network_record.h"
#include "passphrase_key.h"
#include "xpsp1_grammar.h"

namespace {

// The entry of an SSID is the first value that holds it, else the first free name: no upper
// bound. Header version 3; no SecureW2 layout on these systems.
const EapolEntryWriter kEapolWriter = {
    kXpSp1AddName,
    3,
    EAPOL_LAYOUTS_TLS_AND_PEAP,
    {L"%lu", 1, 0, true},
    {"%s :: Opened eap entry : %ls, entry size: %ld\n", "%s :: pcSSIDValue : %.*s\n"},
    "%s :: Setting entry %ls\n",
    false,
};

// Room for the SSID as UTF-16 text (two units per byte at most).
enum { SSID_TEXT_CHARACTERS = 66 };

// A WEP key of 10 or 26 characters, or a WPAPSK key of 64, is read as hexadecimal digits:
// anything else in it would be stored as wrong key bytes.
DWORD CheckHexKey(const NetworkRecordInput* input)
{
    if (ChooseKeyForm(input) == KEY_FORM_HEX && !IsHexDigits(input->key, input->keyLength)) {
        printf("%s :: [NetworkKey] : invalid input\n", kXpSp1AddName);
        return ERROR_INVALID_DATA;
    }
    return 0;
}

// Builds the network record. Returns 0, or the key derivation's error.
DWORD BuildRecord(const OptionSet* o, const NetworkRecordInput* input, WzcNetworkConfig* record)
{
    BYTE derived[PASSPHRASE_KEY_BYTES] = {};
    NetworkKeyForm form = ChooseKeyForm(input);
    if (form == KEY_FORM_DERIVED) {
        DWORD result = DerivePassphraseKey(input->key, input->keyLength, input->ssid,
                                           input->ssidLength, derived);
        if (result != 0)
            return result;
        printf("%s :: the pass phrase is stored as its 256-bit key\n", kXpSp1AddName);
    } else if (form == KEY_FORM_HEX) {
        printf("%s :: the key is entered as hexadecimal digits\n", kXpSp1AddName);
    }
    FillNetworkRecord(input, derived, record);
    WipeSecret(derived, sizeof(derived));
    return 0;
}

// The adapter's list and EAPOL-parameter steps. Returns this adapter's code.
DWORD AddToAdapter(const WzcBinding* binding, const wchar_t* guid, const OptionSet* o,
                   const XpSp1Codes* codes, const WzcNetworkConfig* record)
{
    DWORD result = WZCAddPreferedConfig(binding, guid, *record, 1, 1);
    if (result != 0)
        return result;
    wchar_t ssid[SSID_TEXT_CHARACTERS] = L"";
    if (MultiByteToWideChar(CP_ACP, 0, o->ssid, -1, ssid, SSID_TEXT_CHARACTERS) > 1)
        result = WZCSetConfigEapData1(binding, guid, ssid, (DWORD)codes->eapTypeNumber,
                                      codes->eapFlags, nullptr, 0);
    return result;
}

} // namespace

DWORD WZC_XP_SP1(int argc, char** argv)
{
    OptionSet options;
    XpSp1Codes codes = {};
    BYTE thumbprints[MAX_TRUST_ROOT_CA][CERT_THUMBPRINT_BYTES];
    char key[MAX_NETWORK_KEY * 2 + 1] = "";
    NetworkRecordInput input = {};
    WzcNetworkConfig record = {};
    WzcBinding* binding = nullptr;
    WzcAdapterList adapters = {};
    int keyLength = 0;

    DWORD result = ParseOptions(argc, argv, &kXpSp1AddGrammar, &options);
    if (result != 0)
        goto done;
    codes = XpSp1CodesOf(&options);
    // The key bytes are the key's characters in the ANSI code page, as typed.
    keyLength = WideCharToMultiByte(CP_ACP, 0, options.networkKey, -1, key, sizeof(key), nullptr,
                                    nullptr);
    input.ssid = reinterpret_cast<const uint8_t*>(options.ssid);
    input.ssidLength = (uint32_t)strlen(options.ssid);
    input.privacy = (uint32_t)codes.encryptionCode;
    input.authenticationMode = (uint32_t)codes.authenticationCode;
    input.wep = wcscmp(options.encryption, L"WEP") == 0;
    input.wpaPsk = wcscmp(options.authentication, L"WPAPSK") == 0;
    input.keyProvidedAutomatically = options.keyProvidedAutomatically == 1;
    input.key = reinterpret_cast<const uint8_t*>(key);
    input.keyLength = keyLength > 0 ? (uint32_t)keyLength - 1 : 0;
    input.keyIndex = options.keyIndex;

    if ((result = CheckXpRules(&options, kXpSp1AddName)) != 0 ||
        (result = CheckHexKey(&input)) != 0)
        goto done;
    if ((result = LookUpTrustedRoots(&options, kXpSp1AddName, thumbprints)) != 0)
        goto done;
    EchoOptions(&options, &kXpSp1AddGrammar);
    if ((result = BuildRecord(&options, &input, &record)) != 0)
        goto done;

    if ((result = WZCInit(&binding)) != 0)
        goto done;
    if ((result = WZCEnumAdapters(binding, &adapters)) != 0)
        goto done;
    DebugPrint("%s :: NumAdapters=%d\n", kXpSp1AddName, (int)adapters.count);
    for (DWORD i = 0; i < adapters.count; ++i) {
        const wchar_t* guid = adapters.guids[i];
        DebugPrint("%s :: Adapter[%d] : %ls\n", kXpSp1AddName, (int)i, guid);
        if (codes.authenticationCode == 3 || codes.authenticationCode == 4) {
            if (!WZCQueryWPAState(binding, guid)) {
                printf("%s :: ERROR!! WPA is not supported\n", kXpSp1AddName);
                result = ERROR_NOT_SUPPORTED;
                goto done;
            }
            printf("%s :: WPA is supported\n", kXpSp1AddName);
        }
        DWORD adapterResult = AddToAdapter(binding, guid, &options, &codes, &record);
        FoldAddResult(&result, adapterResult);
        if (options.ieee8021xEnabled == 1) {
            printf("%s :: Modify the registry to setup EAP entry\n", kXpSp1AddName);
            EapolStepOutcome eapol = UpdateEapolEntry(&kEapolWriter, adapterResult != 0, guid,
                                                      &options, thumbprints);
            if (eapol.endsHandler) {
                result = eapol.code;
                goto done;
            }
            FoldAddResult(&result, eapol.code);
        }
    }

done:
    WipeSecret(key, sizeof(key));
    WipeSecret(&record, sizeof(record));
    WipeSecret(&options, sizeof(options));
    if (binding)
        WZCUninit(binding);
    DebugPrint("%s :: returning %ld\n", kXpSp1AddName, (long)result);
    return result;
}
