// Trusted-root lookup: a CA's display name to the SHA-1 thumbprint that the EAP records carry.
#pragma once

#include <windows.h>

enum { CERT_THUMBPRINT_BYTES = 20 };

// Looks name up (whole, case-sensitive) among the local computer's ROOT certificates, first
// match in the store's order. On success copies the SHA-1 hash into thumbprint and its size
// into *length and returns 0, even when an earlier certificate of the walk could not be read.
// Otherwise returns 1011 (not found or unreadable) or 8 (no memory) after printing the reason.
// The store is opened by the first call and kept for the calls after it, until
// ReleaseCertificateStore: opening the machine's ROOT store is far dearer than a lookup.
DWORD GetCertificate(const wchar_t* name, BYTE thumbprint[CERT_THUMBPRINT_BYTES], DWORD* length);
// Closes the store that GetCertificate opened, if it did; the next call opens it again.
void ReleaseCertificateStore();
