// The platform's wireless provisioning service (XP SP2 on): takes a WirelessProfile document
// for one adapter and adds its network to the adapter's preferred list.
#pragma once

#include <windows.h>

enum { PROVISIONING_DUPLICATE_SSID = 27 }; // CreateProfile's status for a known SSID

// Initialises COM for the call, creates the service's object and hands it the document with
// the adapter's GUID (its text as the client library reports it). Prints the outcome lines.
// Returns 0; 110 when COM or the object cannot be had; 13 when CreateProfile refuses.
DWORD ProvisionAdapter(const wchar_t* document, const wchar_t* adapterGuidText);
