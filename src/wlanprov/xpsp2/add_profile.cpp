// WZC_XP_SP2: -add on XP SP2 and later. Builds one WirelessProfile document from the options,
// hands it to the provisioning service for every wireless adapter and, for 802.1X networks,
// gives the adapter's EAPOL entry of the SSID this tool's EAP settings.
#include <cstdio>
#include <cstdlib>
#include <cwchar>

#include "../common/adapter_result.h"
#include "../common/globals.h"
#include "../common/handlers.h"
#include "../common/option_grammar.h"
#include "../common/secret_wipe.h"
#include "../common/trusted_roots.h"
#include "../xp/eapol_entry.h"
#include "../xp/eapol_registry.h"
#include "../xp/wzc_query_binding.h"
#include "../xp/xp_rules.h"
#include "provisioning_call.h"
#include "wireless_profile.h"
#include "xpsp2_grammar.h"

namespace {

// This handler overwrites the entry the provisioning service made for the SSID among the
// values "1" to "31", and never makes one itself.
const EapolEntryWriter kEapolWriter = {
    kXpSp2AddName,
    5,
    EAPOL_LAYOUTS_ALL,
    {L"%lu", 1, 31, false},
    {nullptr, nullptr},
    "%s :: setting entry %ls\n",
    true,
};

bool Is(const wchar_t* value, const wchar_t* text)
{
    return wcscmp(value, text) == 0;
}

// The document for the options; the SecureW2 method is provisioned as PEAP.
DWORD BuildDocument(const OptionSet* o, const wchar_t* ssid, wchar_t** document)
{
    WirelessProfileValues values = {};
    values.ssid = ssid;
    values.authentication = o->authentication;
    values.encryption = o->encryption;
    values.networkKey = o->networkKey;
    values.keyIndex = o->keyIndex;
    values.keyProvidedAutomatically = o->keyProvidedAutomatically;
    values.ieee8021xEnabled = o->ieee8021xEnabled;
    values.eapMethod = Is(o->eapType, L"SecureW2") ? L"PEAP" : o->eapType;
    size_t bytes = 0;
    return BuildWirelessProfile(&values, document, &bytes);
}

// Whether the adapter can take the network. Prints the WPA2 lines; returns 0 or 50.
DWORD CheckAdapter(const WzcQueryBinding* binding, const OptionSet* o, const wchar_t* guid)
{
    DWORD result = 0;
    if (Is(o->authentication, L"WPA2") || Is(o->authentication, L"WPA2PSK")) {
        if (WZCQueryWPA2State(binding, guid) == 1) {
            printf("%s :: WPA2 is supported\n", kXpSp2AddName);
        } else {
            printf("%s :: ERROR!! WPA2 is not supported\n", kXpSp2AddName);
            result = ERROR_NOT_SUPPORTED;
        }
    }
    return result;
}

} // namespace

DWORD WZC_XP_SP2(int argc, char** argv)
{
    OptionSet options;
    BYTE thumbprints[MAX_TRUST_ROOT_CA][CERT_THUMBPRINT_BYTES] = {};
    wchar_t ssid[MAX_SSID_BYTES + 1] = L"";
    WzcQueryBinding* binding = nullptr;
    WzcAdapterList adapters = {};
    wchar_t* document = nullptr;

    DWORD result = ParseOptions(argc, argv, &kXpSp2AddGrammar, &options);
    if (result == 0)
        result = CheckXpRules(&options, kXpSp2AddName);
    if (result == 0)
        result = LookUpTrustedRoots(&options, kXpSp2AddName, thumbprints);
    if (result != 0)
        goto done;
    EchoOptions(&options, &kXpSp2AddGrammar);

    if ((result = WZCInit_XP_SP2(&binding)) != 0)
        goto done;
    if ((result = WZCEnumAdapters_XP_SP2(binding, &adapters)) != 0)
        goto done;
    DebugPrint("%s :: NumAdapters=%d\n", kXpSp2AddName, (int)adapters.count);
    if (MultiByteToWideChar(CP_ACP, 0, options.ssid, -1, ssid, MAX_SSID_BYTES + 1) == 0) {
        result = ERROR_NOT_ENOUGH_MEMORY;
        goto done;
    }
    if ((result = BuildDocument(&options, ssid, &document)) != 0)
        goto done;

    for (DWORD j = 0; j < adapters.count; ++j) {
        const wchar_t* guid = adapters.guids[j];
        DebugPrint("%s :: Adapter[%d] : %ls\n", kXpSp2AddName, (int)j, guid);
        DWORD adapterResult = CheckAdapter(binding, &options, guid);
        if (binding->buildClass < WZC_BUILD_CLASS_XP_SP2) {
            FoldAddResult(&result, ERROR_NOT_SUPPORTED);
            continue;
        }
        DWORD provisioned = ProvisionAdapter(document, guid);
        if (provisioned != 0)
            adapterResult = provisioned;
        FoldAddResult(&result, adapterResult);

        // Only this adapter's own failure keeps its EAPOL entry as it is.
        if (adapterResult == 0 && options.ieee8021xEnabled == 0) {
            printf("%s :: do not need to add EAP Entry\n", kXpSp2AddName);
            continue;
        }
        if (adapterResult == 0)
            printf("%s :: adding EAP Entry\n", kXpSp2AddName);
        EapolStepOutcome eapol = UpdateEapolEntry(&kEapolWriter, adapterResult != 0, guid, &options,
                                                  thumbprints);
        if (eapol.endsHandler) {
            result = eapol.code;
            goto done;
        }
        FoldAddResult(&result, eapol.code);
    }

done:
    FreeSecretText(document);
    WipeSecret(&options, sizeof(options));
    if (binding)
        WZCUninit(binding);
    DebugPrint("%s :: returning %ld\n", kXpSp2AddName, (long)result);
    return result;
}
