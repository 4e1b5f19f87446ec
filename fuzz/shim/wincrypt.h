// Native stand-in for the data protection calls: "protection" copies the bytes and adds
// ShimProtectionOverhead() bytes, as DPAPI's own header would; a negative overhead fails.
#pragma once

#include "windows.h"

typedef struct _CRYPTOAPI_BLOB {
    DWORD cbData;
    BYTE* pbData;
} DATA_BLOB;

inline int& ShimProtectionOverhead()
{
    static int overhead;
    return overhead;
}

inline BOOL CryptProtectData(DATA_BLOB* in, const WCHAR*, DATA_BLOB*, void*, void*, DWORD,
                             DATA_BLOB* out)
{
    if (ShimProtectionOverhead() < 0)
        return FALSE;
    DWORD size = in->cbData + (DWORD)ShimProtectionOverhead();
    BYTE* block = (BYTE*)LocalAlloc(LPTR, size);
    if (!block)
        return FALSE;
    memcpy(block + ShimProtectionOverhead(), in->pbData, in->cbData);
    out->cbData = size;
    out->pbData = block;
    return TRUE;
}

inline BOOL CryptUnprotectData(DATA_BLOB* in, WCHAR**, DATA_BLOB*, void*, void*, DWORD,
                               DATA_BLOB* out)
{
    BYTE* block = (BYTE*)LocalAlloc(LPTR, in->cbData);
    if (!block)
        return FALSE;
    memcpy(block, in->pbData, in->cbData);
    out->cbData = in->cbData;
    out->pbData = block;
    return TRUE;
}
