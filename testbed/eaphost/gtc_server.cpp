#include "gtc_server.h"

namespace {

std::string Printable(const Bytes& bytes)
{
    std::string text;
    for (uint8_t b : bytes)
        text += (b >= 0x20 && b < 0x7F) ? static_cast<char>(b) : '.';
    return text;
}

GtcServerStep Send(GtcServer* server, Bytes packet, std::string note)
{
    server->lastId = packet[1];
    return GtcServerStep{packet, note};
}

GtcServerStep Finish(GtcServer* server, uint8_t code, const std::string& why)
{
    server->finished = true;
    GtcServerStep step;
    step.packet = MakeEapResult(code, server->lastId);
    step.note = (code == kEapSuccess ? "Success: " : "Failure: ") + why;
    return step;
}

GtcServerStep AskRoundOrFinish(GtcServer* server)
{
    const GtcServerScript& script = server->script;
    if (server->round >= script.rounds.size()) {
        if (server->mismatchSeen)
            return Finish(server, kEapFailure, "an answer did not match");
        if (script.outcome == kOutcomeAlwaysFailure)
            return Finish(server, kEapFailure, "scripted failure");
        return Finish(server, kEapSuccess, "every answer matched");
    }
    uint8_t id = static_cast<uint8_t>(server->lastId + 1);
    if (!server->identityAsked && server->round == 0)
        id = script.firstId;
    const GtcRound& round = script.rounds[server->round];
    return Send(server, MakeEapTyped(kEapRequest, id, script.methodType, round.prompt),
                "GTC Request " + std::to_string(server->round + 1) + " \"" +
                    Printable(round.prompt) + "\"");
}

} // namespace

GtcServerStep GtcServerStart(GtcServer* server, const GtcServerScript& script)
{
    *server = GtcServer();
    server->script = script;
    if (script.askIdentity) {
        server->identityAsked = true;
        return Send(server, MakeEapTyped(kEapRequest, script.firstId, kEapTypeIdentity, Bytes()),
                    "Identity Request");
    }
    return AskRoundOrFinish(server);
}

GtcServerStep GtcServerReceive(GtcServer* server, const uint8_t* packet, size_t size)
{
    if (server->finished)
        return GtcServerStep{Bytes(), "conversation already finished"};
    EapPacketView view = ReadEapPacket(packet, size);
    if (!view.wellFormed || view.code != kEapResponse)
        return Finish(server, kEapFailure,
                      "expected a Response, got " + DescribeEapPacket(packet, size));
    if (view.id != server->lastId)
        return Finish(server, kEapFailure,
                      "Response id " + std::to_string(view.id) + " does not match Request id " +
                          std::to_string(server->lastId));
    Bytes data(view.data, view.data + view.dataSize);
    bool identityPending = server->identityAsked && !server->identityAnswered &&
                           view.type == kEapTypeIdentity;
    if (identityPending) {
        server->identity = data;
        server->identityAnswered = true;
        GtcServerStep next = AskRoundOrFinish(server);
        next.note = "identity \"" + Printable(data) + "\"; " + next.note;
        return next;
    }
    if (server->identityAsked && !server->identityAnswered)
        return Finish(server, kEapFailure,
                      "expected the identity, got type " + std::to_string(view.type));
    if (view.type != server->script.methodType || server->round >= server->script.rounds.size())
        return Finish(server, kEapFailure, "unexpected Response type " + std::to_string(view.type));
    bool matched = data == server->script.rounds[server->round].expectedAnswer;
    ++server->round;
    std::string verdict = "answer " + std::to_string(server->round) +
                          (matched ? " matched" : " did not match");
    if (!matched) {
        server->mismatchSeen = true;
        if (server->script.mismatch == kMismatchFails)
            return Finish(server, kEapFailure, verdict);
    }
    GtcServerStep next = AskRoundOrFinish(server);
    next.note = verdict + "; " + next.note;
    return next;
}
