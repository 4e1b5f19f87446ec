#include "profile_document.h"

#include <cstdlib>
#include <cwchar>

#include "../common/secret_wipe.h"
#include "../common/xml_escape.h"

namespace {

const wchar_t kHead[] =
    L"<?xml version=\"1.0\"?>"
    L"<WLANProfile xmlns=\"http://www.microsoft.com/networking/WLAN/profile/v1\"><name>";
const wchar_t kAfterName[] = L"</name><SSIDConfig><SSID>";
const wchar_t kSsidNameHead[] = L"<name>";
const wchar_t kAfterSsid[] = L"</name></SSID>";
const wchar_t kAfterSsidConfig[] = L"</SSIDConfig><connectionType>";
const wchar_t kAfterType[] = L"</connectionType><connectionMode>";
const wchar_t kAfterMode[] = L"</connectionMode>";
const wchar_t kSecurityHead[] = L"<MSM><security><authEncryption><authentication>";
const wchar_t kAfterAuthentication[] = L"</authentication><encryption>";
const wchar_t kAfterEncryption[] = L"</encryption><useOneX>";
const wchar_t kAfterUseOneX[] = L"</useOneX>";
const wchar_t kAfterAuthEncryption[] = L"</authEncryption>";
const wchar_t kAfterSecurity[] = L"</security></MSM>";
const wchar_t kTail[] = L"</WLANProfile>";

// The elements written only when asked for: open tag, value, close tag.
struct OptionalElement {
    const wchar_t* open;
    const wchar_t* close;
};
const OptionalElement kSsidHex = {L"<hex>", L"</hex>"};
const OptionalElement kNonBroadcast = {L"<nonBroadcast>", L"</nonBroadcast>"};
const OptionalElement kAutoSwitch = {L"<autoSwitch>", L"</autoSwitch>"};
const OptionalElement kTransitionMode = {
    L"<transitionMode xmlns=\"http://www.microsoft.com/networking/WLAN/profile/v4\">",
    L"</transitionMode>"};
const OptionalElement kMacRandomization = {
    L"<MacRandomization xmlns=\"http://www.microsoft.com/networking/WLAN/profile/v3\">"
    L"<enableRandomization>",
    L"</MacRandomization>"};
const wchar_t kAfterEnableRandomization[] = L"</enableRandomization>";
const wchar_t kEveryDay[] = L"<randomizeEveryday>true</randomizeEveryday>";

// Writes the element when present, its value escaped; returns its length in characters (0 when
// absent).
size_t PutOptional(XmlWriter* w, const OptionalElement& element, const wchar_t* value)
{
    if (!value)
        return 0;
    if (w) {
        XmlPutText(w, element.open);
        XmlPutEscaped(w, value);
        XmlPutText(w, element.close);
    }
    return wcslen(element.open) + XmlEscapedLength(value) + wcslen(element.close);
}

// The value of a boolean element, or null when it is absent.
const wchar_t* SwitchValue(ProfileSwitch value)
{
    if (value == SWITCH_ABSENT)
        return nullptr;
    return value == SWITCH_TRUE ? L"true" : L"false";
}

size_t PutMacRandomization(XmlWriter* w, ProfileMacRandomization value)
{
    if (value == MAC_RANDOMIZATION_ABSENT)
        return 0;
    const wchar_t* enabled = value == MAC_RANDOMIZATION_OFF ? L"false" : L"true";
    const wchar_t* daily = value == MAC_RANDOMIZATION_DAILY ? kEveryDay : L"";
    if (w) {
        XmlPutText(w, kMacRandomization.open);
        XmlPutText(w, enabled);
        XmlPutText(w, kAfterEnableRandomization);
        XmlPutText(w, daily);
        XmlPutText(w, kMacRandomization.close);
    }
    return wcslen(kMacRandomization.open) + wcslen(enabled) + wcslen(kAfterEnableRandomization) +
           wcslen(daily) + wcslen(kMacRandomization.close);
}

// Where the elements written only when asked for go, in document order.
enum AskedForPlace {
    IN_SSID,
    IN_SSID_CONFIG,
    AFTER_CONNECTION_MODE,
    IN_AUTH_ENCRYPTION,
    AFTER_MSM,
    ASKED_FOR_PLACES
};

// Writes (w not null) or only measures the element of a place.
size_t PutAskedFor(XmlWriter* w, const ProfileValues* v, int place)
{
    switch (place) {
    case IN_SSID: return PutOptional(w, kSsidHex, v->ssidHex);
    case IN_SSID_CONFIG: return PutOptional(w, kNonBroadcast, SwitchValue(v->nonBroadcast));
    case AFTER_CONNECTION_MODE: return PutOptional(w, kAutoSwitch, SwitchValue(v->autoSwitch));
    case IN_AUTH_ENCRYPTION: return PutOptional(w, kTransitionMode, SwitchValue(v->transitionMode));
    default: return PutMacRandomization(w, v->macRandomization);
    }
}

const wchar_t* ConnectionModeOf(const ProfileValues* v)
{
    return v->connectionMode ? v->connectionMode : L"auto";
}

const wchar_t kNetworkKeyHead[] =
    L"<sharedKey><keyType>networkKey</keyType><protected>false</protected><keyMaterial>";
const wchar_t kPassPhraseHead[] =
    L"<sharedKey><keyType>passPhrase</keyType><protected>false</protected><keyMaterial>";
const wchar_t kKeyTail[] = L"</keyMaterial></sharedKey>";
const wchar_t kKeyIndexHead[] = L"<keyIndex>";
const wchar_t kKeyIndexTail[] = L"</keyIndex>";

const wchar_t kOneXHead[] =
    L"<OneX xmlns=\"http://www.microsoft.com/networking/OneX/v1\"><EAPConfig>"
    L"<EapHostConfig xmlns=\"http://www.microsoft.com/provisioning/EapHostConfig\"><EapMethod>"
    L"<Type xmlns=\"http://www.microsoft.com/provisioning/EapCommon\">";
const wchar_t kOneXAfterType[] =
    L"</Type><VendorId xmlns=\"http://www.microsoft.com/provisioning/EapCommon\">0</VendorId>"
    L"<VendorType xmlns=\"http://www.microsoft.com/provisioning/EapCommon\">0</VendorType>"
    L"<AuthorId xmlns=\"http://www.microsoft.com/provisioning/EapCommon\">0</AuthorId>"
    L"</EapMethod><ConfigBlob>";
const wchar_t kOneXTail[] = L"</ConfigBlob></EapHostConfig></EAPConfig></OneX>";

const wchar_t kConnectionType[] = L"ESS";

void FormatDocument(ProfileKind kind, const ProfileValues* v, XmlWriter* w)
{
    XmlPutText(w, kHead);
    XmlPutEscaped(w, v->ssid);
    XmlPutText(w, kAfterName);
    PutAskedFor(w, v, IN_SSID);
    XmlPutText(w, kSsidNameHead);
    XmlPutEscaped(w, v->ssid);
    XmlPutText(w, kAfterSsid);
    PutAskedFor(w, v, IN_SSID_CONFIG);
    XmlPutText(w, kAfterSsidConfig);
    XmlPutText(w, kConnectionType);
    XmlPutText(w, kAfterType);
    XmlPutText(w, ConnectionModeOf(v));
    XmlPutText(w, kAfterMode);
    PutAskedFor(w, v, AFTER_CONNECTION_MODE);
    XmlPutText(w, kSecurityHead);
    XmlPutEscaped(w, v->authentication);
    XmlPutText(w, kAfterAuthentication);
    XmlPutEscaped(w, v->encryption);
    XmlPutText(w, kAfterEncryption);
    XmlPutEscaped(w, v->useOneX);
    XmlPutText(w, kAfterUseOneX);
    PutAskedFor(w, v, IN_AUTH_ENCRYPTION);
    XmlPutText(w, kAfterAuthEncryption);
    switch (kind) {
    case PROFILE_WITHOUT_KEY: break;
    case PROFILE_NETWORK_KEY:
        XmlPutText(w, kNetworkKeyHead);
        XmlPutEscaped(w, v->networkKey);
        XmlPutText(w, kKeyTail);
        XmlPutText(w, kKeyIndexHead);
        XmlPutNumber(w, v->keyIndex - 1);
        XmlPutText(w, kKeyIndexTail);
        break;
    case PROFILE_PRE_SHARED_KEY:
        XmlPutText(w, kNetworkKeyHead);
        XmlPutEscaped(w, v->networkKey);
        XmlPutText(w, kKeyTail);
        break;
    case PROFILE_PASS_PHRASE:
        XmlPutText(w, kPassPhraseHead);
        XmlPutEscaped(w, v->networkKey);
        XmlPutText(w, kKeyTail);
        break;
    case PROFILE_ONEX:
        XmlPutText(w, kOneXHead);
        XmlPutNumber(w, v->eapTypeNumber);
        XmlPutText(w, kOneXAfterType);
        XmlPutEscaped(w, v->configBlob);
        XmlPutText(w, kOneXTail);
        break;
    }
    XmlPutText(w, kAfterSecurity);
    PutAskedFor(w, v, AFTER_MSM);
    XmlPutText(w, kTail);
}

} // namespace

size_t ProfileFixedBytes(ProfileKind kind)
{
    switch (kind) {
    case PROFILE_ONEX: return 1836;
    case PROFILE_NETWORK_KEY: return 1024;
    case PROFILE_WITHOUT_KEY: return 762;
    case PROFILE_PASS_PHRASE:
    case PROFILE_PRE_SHARED_KEY: // "networkKey" is as long as "passPhrase"
        return 976;
    }
    return 0;
}

size_t ProfileDocumentBytes(ProfileKind kind, const ProfileValues* v)
{
    size_t characters = 2 * XmlEscapedLength(v->ssid) + wcslen(kConnectionType) +
                        wcslen(ConnectionModeOf(v)) + XmlEscapedLength(v->authentication) +
                        XmlEscapedLength(v->encryption) + XmlEscapedLength(v->useOneX);
    for (int place = 0; place < ASKED_FOR_PLACES; ++place)
        characters += PutAskedFor(nullptr, v, place);
    if (kind == PROFILE_NETWORK_KEY || kind == PROFILE_PASS_PHRASE ||
        kind == PROFILE_PRE_SHARED_KEY)
        characters += XmlEscapedLength(v->networkKey);
    if (kind == PROFILE_ONEX)
        characters += XmlEscapedLength(v->configBlob);
    return 2 * characters + ProfileFixedBytes(kind);
}

uint32_t BuildProfileDocument(ProfileKind kind, const ProfileValues* values, wchar_t** document,
                              size_t* bytes)
{
    size_t size = ProfileDocumentBytes(kind, values);
    wchar_t* buffer = static_cast<wchar_t*>(calloc(1, size));
    if (!buffer)
        return 8;
    XmlWriter writer = XmlWriterOver(buffer, size / sizeof(wchar_t));
    FormatDocument(kind, values, &writer);
    // The fixed sizes cover every template; a document is never handed out cut short.
    if (writer.overflow) {
        FreeSecret(buffer, size);
        return 8;
    }
    *document = buffer;
    *bytes = size;
    return 0;
}
