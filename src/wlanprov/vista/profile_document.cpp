#include "profile_document.h"

#include <cstdlib>
#include <cwchar>

#include "../common/secret_wipe.h"
#include "../common/xml_escape.h"

namespace {

const wchar_t kHead[] =
    L"<?xml version=\"1.0\"?>"
    L"<WLANProfile xmlns=\"http://www.microsoft.com/networking/WLAN/profile/v1\"><name>";
const wchar_t kAfterName[] = L"</name><SSIDConfig><SSID><name>";
const wchar_t kAfterSsid[] = L"</name></SSID></SSIDConfig><connectionType>";
const wchar_t kAfterType[] = L"</connectionType><connectionMode>";
const wchar_t kAfterMode[] =
    L"</connectionMode><MSM><security><authEncryption><authentication>";
const wchar_t kAfterAuthentication[] = L"</authentication><encryption>";
const wchar_t kAfterEncryption[] = L"</encryption><useOneX>";
const wchar_t kAfterUseOneX[] = L"</useOneX></authEncryption>";
const wchar_t kTail[] = L"</security></MSM></WLANProfile>";

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
const wchar_t kConnectionMode[] = L"auto";

void FormatDocument(ProfileKind kind, const ProfileValues* v, XmlWriter* w)
{
    XmlPutText(w, kHead);
    XmlPutEscaped(w, v->ssid);
    XmlPutText(w, kAfterName);
    XmlPutEscaped(w, v->ssid);
    XmlPutText(w, kAfterSsid);
    XmlPutText(w, kConnectionType);
    XmlPutText(w, kAfterType);
    XmlPutText(w, kConnectionMode);
    XmlPutText(w, kAfterMode);
    XmlPutEscaped(w, v->authentication);
    XmlPutText(w, kAfterAuthentication);
    XmlPutEscaped(w, v->encryption);
    XmlPutText(w, kAfterEncryption);
    XmlPutEscaped(w, v->useOneX);
    XmlPutText(w, kAfterUseOneX);
    switch (kind) {
    case PROFILE_WITHOUT_KEY:
        break;
    case PROFILE_NETWORK_KEY:
        XmlPutText(w, kNetworkKeyHead);
        XmlPutEscaped(w, v->networkKey);
        XmlPutText(w, kKeyTail);
        XmlPutText(w, kKeyIndexHead);
        XmlPutNumber(w, v->keyIndex - 1);
        XmlPutText(w, kKeyIndexTail);
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
    XmlPutText(w, kTail);
}

} // namespace

size_t ProfileFixedBytes(ProfileKind kind)
{
    switch (kind) {
    case PROFILE_ONEX: return 1836;
    case PROFILE_NETWORK_KEY: return 1024;
    case PROFILE_WITHOUT_KEY: return 762;
    case PROFILE_PASS_PHRASE: return 976;
    }
    return 0;
}

size_t ProfileDocumentBytes(ProfileKind kind, const ProfileValues* v)
{
    size_t characters = 2 * XmlEscapedLength(v->ssid) + wcslen(kConnectionType) +
                        wcslen(kConnectionMode) + XmlEscapedLength(v->authentication) +
                        XmlEscapedLength(v->encryption) + XmlEscapedLength(v->useOneX);
    if (kind == PROFILE_NETWORK_KEY || kind == PROFILE_PASS_PHRASE)
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
