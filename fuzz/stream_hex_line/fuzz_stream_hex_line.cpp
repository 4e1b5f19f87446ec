// A stream-mode line of hex digits: refused lines leave the output untouched, accepted ones
// give back the same line (without separators) when written out again.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "hex_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string line(reinterpret_cast<const char*>(data), size);
    std::vector<uint8_t> bytes = {0xde, 0xad};
    if (!HexToBytes(line, &bytes)) {
        if (bytes.size() != 2 || bytes[0] != 0xde || bytes[1] != 0xad)
            abort();
        return 0;
    }
    std::vector<uint8_t> again;
    if (!HexToBytes(BytesToHex(bytes.data(), bytes.size()), &again) || again != bytes)
        abort();
    return 0;
}
