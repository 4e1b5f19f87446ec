// Drives RasEapMakeMessage as the host does: each received packet in a buffer of exactly its
// bytes against an inaccessible page, the send buffer followed by guard bytes.
#pragma once

#include <windows.h>
#include <raseapif.h>

#include <string>
#include <vector>

#include "eap_packet.h"
#include "plugin_harness.h"
#include "records.h"

struct MessageResult {
    DWORD status;
    PPP_EAP_OUTPUT out;
    Bytes sent;       // the send buffer's usable bytes
    bool guardIntact; // nothing written past the declared send-buffer size
};

// A packet whose Length field says declared, holding the header and body only.
Bytes RawPacket(BYTE code, BYTE id, WORD declared, const Bytes& body = Bytes());
Bytes Text(const std::string& text);
// An unused send buffer reads as this byte.
const BYTE kUnwritten = 0xA5;

// The dialog record the host hands back after RasEapInvokeInteractiveUI.
EAP_NAME_DIALOG TokenAnswer(const wchar_t* typed);
EAP_NAME_DIALOG CredentialsAnswer(const wchar_t* identity, const wchar_t* password);

// Fixture: the plug-in loaded, one authentication begun with identity and password.
class ExchangeTest : public PluginTest {
protected:
    void SetUp() override;
    void TearDown() override;
    void Begin(const wchar_t* identity, const wchar_t* password);
    EAPCB* Work() { return (EAPCB*)work_; }
    // One call; packet null for the call after the interactive UI. out starts as outInit.
    MessageResult Message(const Bytes* packet, DWORD sendSize = 1500,
                          PPP_EAP_INPUT* input = nullptr, const PPP_EAP_OUTPUT* outInit = nullptr);
    MessageResult Receive(const Bytes& packet, DWORD sendSize = 1500)
    {
        return Message(&packet, sendSize);
    }
    // The call after the dialog: record null for a cancelled dialog.
    MessageResult AfterDialog(const EAP_NAME_DIALOG* record, DWORD sendSize = 1500,
                              DWORD recordSize = 0);
    // Releases the blocks an output handed to the host.
    void ReturnBlocks(const PPP_EAP_OUTPUT& out);

    PPP_EAP_INFO table_ = {};
    void* work_ = nullptr;
    PPP_EAP_INPUT input_ = {};
};
