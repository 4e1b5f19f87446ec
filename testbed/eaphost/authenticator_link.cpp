#include "authenticator_link.h"

#include "hex_text.h"
#include "host_log.h"

namespace {

void QueueServerStep(AuthenticatorLink* link, const GtcServerStep& step)
{
    HostLog("server :: %s", step.note.c_str());
    link->pending = step.packet;
    link->havePending = !step.packet.empty();
}

// The longest line worth keeping: a 64 KiB packet in hex with a blank between bytes.
const size_t kMaxLine = 3 * 65536;

// One line without its end; tooLong when it exceeded kMaxLine (line then holds its start).
// False at the end of the stream with nothing read.
bool ReadLine(FILE* in, std::string* line, bool* tooLong)
{
    line->clear();
    *tooLong = false;
    int c;
    bool any = false;
    while ((c = fgetc(in)) != EOF && c != '\n') {
        any = true;
        if (line->size() < kMaxLine)
            *line += static_cast<char>(c);
        else
            *tooLong = true;
    }
    return c != EOF || any;
}

} // namespace

void OpenServerLink(AuthenticatorLink* link, const GtcServerScript& script)
{
    *link = AuthenticatorLink();
    QueueServerStep(link, GtcServerStart(&link->server, script));
}

void OpenStreamLink(AuthenticatorLink* link, FILE* in, FILE* out)
{
    *link = AuthenticatorLink();
    link->stream = true;
    link->in = in;
    link->out = out;
}

bool NextPacketFromAuthenticator(AuthenticatorLink* link, Bytes* packet)
{
    if (!link->stream) {
        if (!link->havePending)
            return false;
        packet->swap(link->pending);
        link->pending.clear();
        link->havePending = false;
        return true;
    }
    std::string line;
    bool tooLong = false;
    while (ReadLine(link->in, &line, &tooLong)) {
        size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#')
            continue;
        if (!tooLong && HexToBytes(line, packet))
            return true;
        HostLog("eaphost :: ignored a line that is not hex: %.60s", line.c_str());
    }
    return false;
}

void SendToAuthenticator(AuthenticatorLink* link, const uint8_t* packet, size_t size)
{
    if (link->stream) {
        fprintf(link->out, "%s\n", BytesToHex(packet, size).c_str());
        fflush(link->out);
        return;
    }
    QueueServerStep(link, GtcServerReceive(&link->server, packet, size));
}
