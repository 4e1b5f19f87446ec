#include "credential_protection.h"

#include <wincrypt.h>

#include "allocation.h"
#include "text_convert.h"
#include "tracing.h"

namespace {

// The stored name as text, or false when it is not text of the code page (a record moved from a
// machine of another code page, or damaged).
bool IdentityConverts(const ENCRYPTED_USER_IDENTITY* record)
{
    int length = static_cast<int>(strnlen(record->aszIdentity, sizeof(record->aszIdentity)));
    return length == 0 || MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, record->aszIdentity,
                                              length, static_cast<WCHAR*>(nullptr), 0) > 0;
}

// Unprotects the record's password into decrypted (the caller wipes and frees it).
bool UnprotectPassword(const ENCRYPTED_USER_IDENTITY* record, DATA_BLOB* decrypted)
{
    // A length beyond the record's blob field is damage, not something to read past.
    DATA_BLOB blob = {record->dwSizeOfProtectedPassword,
                      const_cast<BYTE*>(record->abProtectedPassword)};
    return blob.cbData <= PROTECTED_BLOB_MAX &&
           CryptUnprotectData(&blob, nullptr, nullptr, nullptr, nullptr, 0, decrypted);
}

void ReleaseDecrypted(DATA_BLOB* decrypted)
{
    if (decrypted->pbData) {
        SecureZeroMemory(decrypted->pbData, decrypted->cbData);
        LocalFree(decrypted->pbData);
    }
    decrypted->pbData = nullptr;
}

} // namespace

bool StoredCredentialsReadable(const BYTE* data, DWORD size)
{
    if (!data || size != sizeof(ENCRYPTED_USER_IDENTITY))
        return false;
    const ENCRYPTED_USER_IDENTITY* record = reinterpret_cast<const ENCRYPTED_USER_IDENTITY*>(data);
    DATA_BLOB decrypted = {0, nullptr};
    bool readable = IdentityConverts(record) && UnprotectPassword(record, &decrypted);
    ReleaseDecrypted(&decrypted);
    if (!readable)
        LogTrace(LOG_DETAIL, "StoredCredentials :: the saved credentials cannot be read");
    return readable;
}

DWORD DecryptData(EAPCB* pwb, const PPP_EAP_INPUT* pEapInput, void** ppWorkBuffer)
{
    DWORD status = NO_ERROR;
    DATA_BLOB decrypted = {0, nullptr};
    ENCRYPTED_USER_IDENTITY* record = static_cast<ENCRYPTED_USER_IDENTITY*>(
        LocalAlloc(LPTR, sizeof(ENCRYPTED_USER_IDENTITY)));
    if (!record) {
        status = AllocationError();
        LogTrace(LOG_ERROR, "RasEapBegin :: Out of memory");
        goto done;
    }
    memcpy(record, pEapInput->pUserData, sizeof(ENCRYPTED_USER_IDENTITY));

    if (!IdentityConverts(record) || !UnprotectPassword(record, &decrypted)) {
        LogTrace(LOG_DETAIL, "DecryptData :: decryption failed");
        status = ERROR_INVALID_DATA;
        goto done;
    }
    LogTrace(LOG_DETAIL, "DecryptData :: decryption succeeded");
    LogTrace(LOG_SECRET, "DecryptData :: decrypted data : %s", decrypted.pbData);
    LogTrace(LOG_DETAIL, "DecryptData :: size of the decrypted data : %d", decrypted.cbData);
    CopyAnsiBounded(reinterpret_cast<const char*>(decrypted.pbData), decrypted.cbData,
                    pwb->aszPassword, sizeof(pwb->aszPassword));
    CopyAnsiBounded(record->aszIdentity, sizeof(record->aszIdentity), pwb->aszIdentity,
                    sizeof(pwb->aszIdentity));
    LogTrace(LOG_DETAIL, "RasEapBegin :: username : %s", pwb->aszIdentity);
    LogTrace(LOG_SECRET, "RasEapBegin :: password : %s", pwb->aszPassword);
    *ppWorkBuffer = pwb;

done:
    ReleaseDecrypted(&decrypted);
    if (record) {
        SecureZeroMemory(record, sizeof(*record));
        LocalFree(record);
    }
    return status;
}

DWORD EncryptData(const EAPCB* pwb, PPP_EAP_OUTPUT* out)
{
    DWORD status = NO_ERROR;
    DATA_BLOB protectedBlob = {0, nullptr};
    ENCRYPTED_USER_IDENTITY* record = static_cast<ENCRYPTED_USER_IDENTITY*>(
        LocalAlloc(LPTR, sizeof(ENCRYPTED_USER_IDENTITY)));
    if (!record) {
        status = AllocationError();
        LogTrace(LOG_ERROR, "RasEapMakeMessage :: Out of memory");
        goto done;
    }

    {
        // The terminating zero is protected too: DecryptData hands the result out as text.
        DATA_BLOB password = {
            static_cast<DWORD>(strnlen(pwb->aszPassword, sizeof(pwb->aszPassword) - 1)) + 1,
            reinterpret_cast<BYTE*>(const_cast<char*>(pwb->aszPassword))};
        if (!CryptProtectData(&password, nullptr, nullptr, nullptr, nullptr, 0, &protectedBlob)) {
            // A record without a usable password would only fail later: save nothing.
            protectedBlob.pbData = nullptr;
            LogTrace(LOG_DETAIL, "EncryptData :: encryption failed");
            goto done;
        }
    }
    LogTrace(LOG_DETAIL, "EncryptData :: encryption succeeded");
    LogTrace(LOG_DETAIL, "EncryptData :: size of the encrypted data : %d", protectedBlob.cbData);
    LogHexDump(LOG_DETAIL, protectedBlob.pbData, protectedBlob.cbData);
    if (protectedBlob.cbData > PROTECTED_BLOB_MAX) {
        status = ERROR_NOT_ENOUGH_MEMORY;
        goto done;
    }
    memcpy(record->abProtectedPassword, protectedBlob.pbData, protectedBlob.cbData);
    record->dwSizeOfProtectedPassword = protectedBlob.cbData;
    CopyAnsiBounded(pwb->aszIdentity, sizeof(pwb->aszIdentity), record->aszIdentity,
                    sizeof(record->aszIdentity));
    out->fSaveUserData = TRUE;
    out->pUserData = reinterpret_cast<BYTE*>(record);
    out->dwSizeOfUserData = sizeof(*record);
    record = nullptr; // the host's now

done:
    if (protectedBlob.pbData)
        LocalFree(protectedBlob.pbData);
    if (record)
        LocalFree(record);
    return status;
}
