// The built-in GTC authenticator fed any sequence of packets: it never reads past a packet,
// every packet it sends is well formed, and once finished it sends nothing more.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "eap_packet.h"
#include "gtc_server.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    GtcServerScript script;
    script.rounds.push_back({Bytes{'P', 'a', 's', 's'}, Bytes{'s', '3'}});
    script.rounds.push_back({Bytes{'T', 'o', 'k'}, Bytes{'1', '2'}});
    script.mismatch = size && data[0] & 1 ? kMismatchContinues : kMismatchFails;
    GtcServer server;
    GtcServerStep step = GtcServerStart(&server, script);
    // The input is a run of packets, each prefixed by its length byte.
    size_t at = 1;
    while (at < size && !server.finished) {
        size_t length = data[at++];
        if (length > size - at)
            length = size - at;
        std::vector<uint8_t> packet(data + at, data + at + length);
        at += length;
        step = GtcServerReceive(&server, packet.empty() ? nullptr : packet.data(), packet.size());
        if (!step.packet.empty() &&
            !ReadEapPacket(step.packet.data(), step.packet.size()).wellFormed)
            abort();
    }
    if (server.finished && !GtcServerReceive(&server, nullptr, 0).packet.empty())
        abort();
    return 0;
}
