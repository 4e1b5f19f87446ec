// The built-in authenticator: a scriptable EAP-GTC server. It asks for the identity, sends
// one GTC Request per round with that round's prompt, compares each answer byte for byte with
// the expected one, and ends with Success or Failure. Free of windows.h: prompts and answers
// are the bytes that travel (UTF-8 prompts, answers in the peer's code page).
#pragma once

#include <string>
#include <vector>

#include "eap_packet.h"

struct GtcRound {
    Bytes prompt;
    Bytes expectedAnswer;
};

enum GtcMismatchPolicy {
    kMismatchFails,    // a wrong answer is answered with Failure at once
    kMismatchContinues // the next round is still asked; the outcome is then Failure
};

enum GtcOutcome {
    kOutcomeByAnswers,    // Success when every answer matched
    kOutcomeAlwaysFailure // Failure after the last round, whatever was answered
};

struct GtcServerScript {
    bool askIdentity = true;
    uint8_t firstId = 1;
    uint8_t methodType = kEapTypeGtc; // the Type of the Requests and expected Responses
    std::vector<GtcRound> rounds;
    GtcMismatchPolicy mismatch = kMismatchFails;
    GtcOutcome outcome = kOutcomeByAnswers;
};

struct GtcServer {
    GtcServerScript script;
    uint8_t lastId = 0;
    size_t round = 0; // rounds answered so far
    bool identityAsked = false;
    bool identityAnswered = false;
    bool mismatchSeen = false;
    bool finished = false;
    Bytes identity; // what the peer answered to the Identity Request
};

// The next step: the packet to send (empty when finished) and a line for the log.
struct GtcServerStep {
    Bytes packet;
    std::string note;
};

// Starts the conversation: the Identity Request, or the first round's Request.
GtcServerStep GtcServerStart(GtcServer* server, const GtcServerScript& script);

// Takes the peer's packet and decides the next one. A packet that is not a Response with the
// last Request's Identifier and the expected Type ends the conversation with Failure.
GtcServerStep GtcServerReceive(GtcServer* server, const uint8_t* packet, size_t size);
