#include "eap_packet.h"

#include <algorithm>

EapPacketView ReadEapPacket(const uint8_t* bytes, size_t size)
{
    EapPacketView view = {};
    if (!bytes || size < kEapHeaderSize)
        return view;
    view.code = bytes[0];
    view.id = bytes[1];
    view.length = static_cast<uint16_t>((bytes[2] << 8) | bytes[3]);
    size_t usable = view.length < size ? view.length : size;
    bool typed = view.code == kEapRequest || view.code == kEapResponse;
    size_t header = typed ? kEapTypedHeaderSize : kEapHeaderSize;
    view.wellFormed = view.length >= header && view.length <= size;
    if (typed && usable >= kEapTypedHeaderSize) {
        view.hasType = true;
        view.type = bytes[4];
        view.data = bytes + kEapTypedHeaderSize;
        view.dataSize = usable - kEapTypedHeaderSize;
    }
    return view;
}

Bytes MakeEapTyped(uint8_t code, uint8_t id, uint8_t type, const Bytes& data)
{
    size_t length = kEapTypedHeaderSize + data.size();
    if (length > 0xFFFF)
        length = 0xFFFF;
    Bytes packet(length);
    packet[0] = code;
    packet[1] = id;
    packet[2] = static_cast<uint8_t>(length >> 8);
    packet[3] = static_cast<uint8_t>(length);
    packet[4] = type;
    std::copy(data.begin(), data.begin() + (length - kEapTypedHeaderSize),
              packet.begin() + kEapTypedHeaderSize);
    return packet;
}

Bytes MakeEapResult(uint8_t code, uint8_t id)
{
    return Bytes{code, id, 0, 4};
}

std::string DescribeEapPacket(const uint8_t* bytes, size_t size)
{
    EapPacketView view = ReadEapPacket(bytes, size);
    if (size < kEapHeaderSize)
        return "runt of " + std::to_string(size) + " bytes";
    static const char* const names[] = {"Code 0", "Request", "Response", "Success", "Failure"};
    std::string text = view.code <= kEapFailure ? names[view.code]
                                                : "Code " + std::to_string(view.code);
    text += " id " + std::to_string(view.id);
    if (view.hasType)
        text += " type " + std::to_string(view.type);
    text += " len " + std::to_string(view.length);
    if (!view.wellFormed)
        text += " (malformed, " + std::to_string(size) + " bytes)";
    return text;
}
