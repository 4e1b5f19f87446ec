// CreateProfile of the emulated wireless provisioning service, for one adapter: the argument
// checks, the adapter, an injected fault, the document, and then the network appended to the
// adapter's preferred list, with the SSID's EAPOL value for an 802.1X network. COM is
// initialised on the calling thread by the caller.
//
// Results (HRESULT, status word):
//   S_OK, 0                                    the network is stored
//   E_POINTER                                  no status word (nothing else is touched)
//   E_INVALIDARG, 0                            no document or no adapter GUID
//   E_NOTIMPL, 32                              a connection document (not emulated)
//   HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), 0  the adapter is not one of the machine's
//   HRESULT_FROM_WIN32(code), 0                an injected fault "CreateProfile" (a code that
//                                              is already an HRESULT passes unchanged)
//   E_INVALIDARG, 1..24, 33, 35                the document is refused (wireless_profile.h)
//   MSXML's failure (else E_FAIL), 36 / E_OUTOFMEMORY, 28   the document could not be read
//   E_FAIL, 27                                 the SSID is in the adapter's preferred list
//   E_FAIL, 31 / 30                            the list holds 32 networks / EAPOL names 1..31 taken
//   HRESULT_FROM_WIN32(code), 29 / 30 / 31     reading the EAPOL values, writing them, or reading
//                                              or writing the list failed
#pragma once

#include <windows.h>

HRESULT CreateWirelessProfile(const wchar_t* document, const wchar_t* connectionDocument,
                              const GUID* adapterGuid, ULONG* status);
