// Reading an EAP packet from any bytes: never past the buffer (the sanitizer watches), and
// the view stays within both the buffer and the declared Length.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "eap_packet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An exact-size copy, so that the sanitizer flags any read past the end.
    std::vector<uint8_t> buffer(data, data + size);
    const uint8_t* bytes = buffer.empty() ? nullptr : buffer.data();
    EapPacketView view = ReadEapPacket(bytes, size);
    if (view.wellFormed) {
        if (view.length < kEapHeaderSize || view.length > size)
            abort();
        if (view.data && (view.data < bytes || view.data + view.dataSize > bytes + view.length))
            abort();
    }
    DescribeEapPacket(bytes, size);
    if (view.wellFormed && view.hasType) {
        Bytes again = MakeEapTyped(view.code, view.id, view.type,
                                   Bytes(view.data, view.data + view.dataSize));
        if (ReadEapPacket(again.data(), again.size()).dataSize != view.dataSize)
            abort();
    }
    return 0;
}
