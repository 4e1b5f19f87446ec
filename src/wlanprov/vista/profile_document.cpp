#include "profile_document.h"

#include <cstdlib>
#include <cwchar>

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

// Writes into a buffer of fixed capacity and never past it.
struct Writer {
    wchar_t* at;
    size_t room;   // characters left, terminator excluded
    bool overflow;
};

void Put(Writer* w, const wchar_t* text, size_t length)
{
    if (length > w->room) {
        w->overflow = true;
        return;
    }
    wmemcpy(w->at, text, length);
    w->at += length;
    w->room -= length;
}

void PutText(Writer* w, const wchar_t* text)
{
    Put(w, text, wcslen(text));
}

const wchar_t* EntityOf(wchar_t c)
{
    switch (c) {
    case L'&': return L"&amp;";
    case L'<': return L"&lt;";
    case L'>': return L"&gt;";
    case L'"': return L"&quot;";
    case L'\'': return L"&apos;";
    default: return nullptr;
    }
}

void PutEscaped(Writer* w, const wchar_t* text)
{
    for (; *text; ++text) {
        if (const wchar_t* entity = EntityOf(*text))
            PutText(w, entity);
        else
            Put(w, text, 1);
    }
}

void PutNumber(Writer* w, int32_t number)
{
    wchar_t digits[16];
    swprintf(digits, sizeof(digits) / sizeof(digits[0]), L"%ld", (long)number);
    PutText(w, digits);
}

const wchar_t* OrEmpty(const wchar_t* text)
{
    return text ? text : L"";
}

void FormatDocument(ProfileKind kind, const ProfileValues* v, Writer* w)
{
    PutText(w, kHead);
    PutEscaped(w, OrEmpty(v->ssid));
    PutText(w, kAfterName);
    PutEscaped(w, OrEmpty(v->ssid));
    PutText(w, kAfterSsid);
    PutText(w, kConnectionType);
    PutText(w, kAfterType);
    PutText(w, kConnectionMode);
    PutText(w, kAfterMode);
    PutEscaped(w, OrEmpty(v->authentication));
    PutText(w, kAfterAuthentication);
    PutEscaped(w, OrEmpty(v->encryption));
    PutText(w, kAfterEncryption);
    PutEscaped(w, OrEmpty(v->useOneX));
    PutText(w, kAfterUseOneX);
    switch (kind) {
    case PROFILE_WITHOUT_KEY:
        break;
    case PROFILE_NETWORK_KEY:
        PutText(w, kNetworkKeyHead);
        PutEscaped(w, OrEmpty(v->networkKey));
        PutText(w, kKeyTail);
        PutText(w, kKeyIndexHead);
        PutNumber(w, v->keyIndex - 1);
        PutText(w, kKeyIndexTail);
        break;
    case PROFILE_PASS_PHRASE:
        PutText(w, kPassPhraseHead);
        PutEscaped(w, OrEmpty(v->networkKey));
        PutText(w, kKeyTail);
        break;
    case PROFILE_ONEX:
        PutText(w, kOneXHead);
        PutNumber(w, v->eapTypeNumber);
        PutText(w, kOneXAfterType);
        PutEscaped(w, OrEmpty(v->configBlob));
        PutText(w, kOneXTail);
        break;
    }
    PutText(w, kTail);
}

} // namespace

size_t XmlEscapedLength(const wchar_t* text)
{
    size_t length = 0;
    for (; text && *text; ++text) {
        const wchar_t* entity = EntityOf(*text);
        length += entity ? wcslen(entity) : 1;
    }
    return length;
}

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
    Writer writer = {buffer, size / sizeof(wchar_t) - 1, false};
    FormatDocument(kind, values, &writer);
    // The fixed sizes cover every template; a document is never handed out cut short.
    if (writer.overflow) {
        free(buffer);
        return 8;
    }
    *document = buffer;
    *bytes = size;
    return 0;
}
