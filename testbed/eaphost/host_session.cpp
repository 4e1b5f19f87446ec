#include "host_session.h"

#include <raserror.h>

#include <string>
#include <vector>

#include "guarded_buffers.h"
#include "host_log.h"
#include "text_convert.h"
#include "user_data_store.h"

namespace {

struct Session {
    const HostOptions* options;
    const std::wstring* user;
    const PluginBinding* plugin;
    AuthenticatorLink* link;
    PPP_EAP_INPUT input;
    void* workBuffer;
    bool begun;
    SendBuffer send;
};

const char* ActionName(PPP_EAP_ACTION action)
{
    static const char* const names[] = {"NoAction",
                                        "Authenticate",
                                        "Done",
                                        "SendAndDone",
                                        "Send",
                                        "SendWithTimeout",
                                        "SendWithTimeoutInteractive",
                                        "IndicateTLV",
                                        "IndicateIdentity"};
    return static_cast<unsigned>(action) < sizeof(names) / sizeof(names[0]) ? names[action]
                                                                            : "unknown";
}

// What one RasEapMakeMessage call left the host to do.
struct Turn {
    bool finished; // the authentication is over with result
    DWORD result;
};

void ApplyUserData(Session* session, const PPP_EAP_OUTPUT& output)
{
    if (!output.fSaveUserData)
        return;
    DWORD type = session->options->eapType;
    if (output.pUserData && output.dwSizeOfUserData) {
        DWORD status = SaveUserData(*session->user, type, output.pUserData,
                                    output.dwSizeOfUserData);
        HostLog("eaphost :: saved %lu bytes of user data (status %lu)", output.dwSizeOfUserData,
                status);
    } else {
        DWORD status = EraseUserData(*session->user, type);
        HostLog("eaphost :: erased the saved user data (status %lu)", status);
    }
}

bool SendPacket(Session* session)
{
    const BYTE* packet = session->send.storage.data();
    EapPacketView view = ReadEapPacket(packet, session->send.size);
    if (!view.wellFormed) {
        HostLog("eaphost :: the method's packet is malformed: %s",
                DescribeEapPacket(packet, session->send.size).c_str());
        return false;
    }
    HostLog("eaphost :: sending %s", DescribeEapPacket(packet, view.length).c_str());
    SendToAuthenticator(session->link, packet, view.length);
    return true;
}

Turn AfterMakeMessage(Session* session, DWORD status, const PPP_EAP_OUTPUT& output);

// One RasEapMakeMessage call with the received packet (null after the interactive UI), placed
// against an inaccessible page; then whatever the output asks of the host.
Turn MakeMessage(Session* session, const Bytes* received)
{
    GuardedBlock packet = {};
    if (received && !MakeGuardedCopy(received->data(), received->size(), &packet))
        return Turn{true, ERROR_NOT_ENOUGH_MEMORY};
    ResetSendBuffer(&session->send, session->options->sendSize);
    PPP_EAP_OUTPUT output = {};
    output.dwSizeInBytes = sizeof(output);
    DWORD status = session->plugin->info.RasEapMakeMessage(
        session->workBuffer, reinterpret_cast<PPP_EAP_PACKET*>(packet.bytes),
        reinterpret_cast<PPP_EAP_PACKET*>(session->send.storage.data()), session->send.size,
        &output, &session->input);
    FreeGuardedCopy(&packet);
    HostLog("eaphost :: RasEapMakeMessage returned %lu, action %s, result code %lu", status,
            ActionName(output.Action), output.dwAuthResultCode);
    return AfterMakeMessage(session, status, output);
}

Turn RunInteractiveUI(Session* session, BYTE* context, DWORD contextSize)
{
    const PluginBinding* plugin = session->plugin;
    if (!plugin->invokeInteractiveUI) {
        HostLog("eaphost :: the plug-in asks for interactive UI but does not export "
                "RasEapInvokeInteractiveUI");
        return Turn{true, ERROR_PROC_NOT_FOUND};
    }
    BYTE* data = nullptr;
    DWORD dataSize = 0;
    DWORD status = plugin->invokeInteractiveUI(session->options->eapType, nullptr, context,
                                               contextSize, &data, &dataSize);
    HostLog("eaphost :: RasEapInvokeInteractiveUI returned %lu with %lu bytes", status,
            data ? dataSize : 0);
    if (status != ERROR_SUCCESS)
        return Turn{true, status};
    session->input.fDataReceivedFromInteractiveUI = TRUE;
    session->input.pDataFromInteractiveUI = data;
    session->input.dwSizeOfDataFromInteractiveUI = data ? dataSize : 0;
    Turn turn = MakeMessage(session, nullptr);
    session->input.fDataReceivedFromInteractiveUI = FALSE;
    session->input.pDataFromInteractiveUI = nullptr;
    session->input.dwSizeOfDataFromInteractiveUI = 0;
    ReturnBlock(plugin, data);
    if (!data && !turn.finished) {
        HostLog("eaphost :: the interactive UI was cancelled");
        return Turn{true, ERROR_CANCELLED};
    }
    return turn;
}

Turn AfterMakeMessage(Session* session, DWORD status, const PPP_EAP_OUTPUT& output)
{
    Turn turn = {false, ERROR_SUCCESS};
    bool overrun = !SendGuardIntact(session->send);
    ApplyUserData(session, output);
    ReturnBlock(session->plugin, output.pUserData);
    ReturnBlock(session->plugin, output.pConnectionData);
    if (overrun) {
        HostLog("eaphost :: RasEapMakeMessage wrote past the %lu-byte send buffer",
                session->send.size);
        turn = Turn{true, ERROR_BUFFER_OVERFLOW};
    } else if (status != ERROR_SUCCESS) {
        turn = Turn{true, status};
    } else if (output.fInvokeInteractiveUI) {
        turn = RunInteractiveUI(session, output.pUIContextData, output.dwSizeOfUIContextData);
    } else {
        switch (output.Action) {
        case EAPACTION_NoAction: break;
        case EAPACTION_Send:
            if (!SendPacket(session))
                turn = Turn{true, ERROR_PPP_INVALID_PACKET};
            break;
        case EAPACTION_SendAndDone:
            if (!SendPacket(session))
                turn = Turn{true, ERROR_PPP_INVALID_PACKET};
            else
                turn = Turn{true, output.dwAuthResultCode};
            break;
        case EAPACTION_Done: turn = Turn{true, output.dwAuthResultCode}; break;
        default:
            HostLog("eaphost :: action %s is not supported here", ActionName(output.Action));
            turn = Turn{true, ERROR_NOT_SUPPORTED};
            break;
        }
    }
    ReturnBlock(session->plugin, output.pUIContextData);
    return turn;
}

// Identity and Notification Requests are the host's to answer; Requests for another method
// get a legacy Nak naming ours.
bool AnsweredByHost(Session* session, const Bytes& packet, const std::wstring& identity)
{
    EapPacketView view = ReadEapPacket(packet.data(), packet.size());
    if (!view.wellFormed || view.code != kEapRequest || !view.hasType)
        return false;
    Bytes reply;
    if (view.type == kEapTypeIdentity) {
        std::string text = ToUtf8(identity);
        reply = MakeEapTyped(kEapResponse, view.id, kEapTypeIdentity,
                             Bytes(text.begin(), text.end()));
    } else if (view.type == kEapTypeNotification) {
        reply = MakeEapTyped(kEapResponse, view.id, kEapTypeNotification, Bytes());
    } else if (view.type != session->options->eapType) {
        reply = MakeEapTyped(kEapResponse, view.id, kEapTypeNak,
                             Bytes{static_cast<uint8_t>(session->options->eapType)});
    } else {
        return false;
    }
    HostLog("eaphost :: answering %s itself",
            DescribeEapPacket(packet.data(), packet.size()).c_str());
    SendToAuthenticator(session->link, reply.data(), reply.size());
    return true;
}

DWORD Converse(Session* session, const std::wstring& identity)
{
    Bytes packet;
    for (;;) {
        if (!NextPacketFromAuthenticator(session->link, &packet)) {
            HostLog("eaphost :: the authenticator has nothing more to send");
            return ERROR_TIMEOUT;
        }
        HostLog("eaphost :: received %s", DescribeEapPacket(packet.data(), packet.size()).c_str());
        // As the platform's host does (RFC 3748, 4): a packet without a whole header, or with
        // fewer bytes than its Length, is dropped unseen; the method never gets it.
        EapPacketView view = ReadEapPacket(packet.data(), packet.size());
        if (packet.size() < kEapHeaderSize || view.length > packet.size()) {
            HostLog("eaphost :: discarded: fewer bytes than a header or than its Length");
            continue;
        }
        if (AnsweredByHost(session, packet, identity))
            continue;
        if (!session->begun) {
            session->input.bInitialId = packet.size() > 1 ? packet[1] : 0;
            DWORD status = session->plugin->info.RasEapBegin(&session->workBuffer, &session->input);
            HostLog("eaphost :: RasEapBegin returned %lu", status);
            if (status != ERROR_SUCCESS)
                return status;
            session->begun = true;
        }
        Turn turn = MakeMessage(session, &packet);
        if (turn.finished)
            return turn.result;
    }
}

} // namespace

DWORD RunAuthentication(const HostOptions& options, const std::wstring& user,
                        const PluginBinding* plugin, AuthenticatorLink* link)
{
    Session session = {};
    session.options = &options;
    session.user = &user;
    session.plugin = plugin;
    session.link = link;
    std::vector<BYTE> saved;
    BYTE* identityData = nullptr;
    DWORD identityDataSize = 0;
    WCHAR* identityText = nullptr;
    std::wstring identity;
    DWORD flags = options.flags;
    DWORD status = LoadUserData(user, options.eapType, &saved);
    HostLog("eaphost :: saved user data: %lu bytes",
            status == ERROR_SUCCESS ? (DWORD)saved.size() : 0);
    if (status != ERROR_SUCCESS)
        saved.clear();

    if (options.identityGiven) {
        identity = options.identity;
    } else if (!plugin->getIdentity) {
        HostLog("eaphost :: the plug-in does not export RasEapGetIdentity; give --identity");
        status = ERROR_PROC_NOT_FOUND;
        goto done;
    } else {
        for (;;) {
            status = plugin->getIdentity(options.eapType, nullptr, flags, nullptr, nullptr, nullptr,
                                         0, saved.empty() ? nullptr : saved.data(),
                                         (DWORD)saved.size(), &identityData, &identityDataSize,
                                         &identityText);
            HostLog("eaphost :: RasEapGetIdentity(flags 0x%lX) returned %lu", flags, status);
            if (status == ERROR_INTERACTIVE_MODE && options.retryInteractive &&
                (flags & RAS_EAP_FLAG_NON_INTERACTIVE)) {
                flags &= ~RAS_EAP_FLAG_NON_INTERACTIVE;
                continue;
            }
            break;
        }
        if (status != ERROR_SUCCESS) {
            identityData = nullptr;
            identityText = nullptr;
            goto done;
        }
        if (identityText)
            identity = identityText;
        HostLog("eaphost :: identity \"%s\", %lu bytes of user data", ToUtf8(identity).c_str(),
                identityData ? identityDataSize : 0);
    }

    session.input.dwSizeInBytes = sizeof(session.input);
    session.input.fFlags = flags;
    session.input.fAuthenticator = FALSE;
    session.input.pwszIdentity = const_cast<WCHAR*>(identity.c_str());
    session.input.pwszPassword = const_cast<WCHAR*>(options.password.c_str());
    if (options.identityGiven) {
        session.input.pUserData = saved.empty() ? nullptr : saved.data();
        session.input.dwSizeOfUserData = (DWORD)saved.size();
    } else {
        session.input.pUserData = identityData;
        session.input.dwSizeOfUserData = identityData ? identityDataSize : 0;
    }
    status = Converse(&session, identity);
    if (session.begun) {
        DWORD ended = plugin->info.RasEapEnd(session.workBuffer);
        HostLog("eaphost :: RasEapEnd returned %lu", ended);
    }
done:
    ReturnBlock(plugin, identityData);
    ReturnBlock(plugin, identityText);
    HostLog("eaphost :: authentication result %lu", status);
    return status;
}
