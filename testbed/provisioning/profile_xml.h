// Loads a WirelessProfile document with MSXML 6 (DOMDocument60) and lists the children of its
// root for ReadWirelessProfile. COM is initialised on the calling thread by the caller.
#pragma once

#include <windows.h>

#include <vector>

#include "wireless_profile.h"

// The namespace of the XP wireless provisioning profile.
extern const wchar_t kWirelessProfileNamespace[];

// Returns PROFILE_SUCCESS; PROFILE_FAILED_TO_LOAD_XML for a document that is not well-formed;
// PROFILE_VALIDATION_FAILED when the root is not WirelessProfile in the namespace or holds
// character data of its own; PROFILE_INTERNAL_ERROR when MSXML fails (*hr says how).
uint32_t LoadProfileElements(const wchar_t* document, std::vector<ProfileElement>* elements,
                             HRESULT* hr);
