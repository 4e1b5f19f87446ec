// 32-bit little-endian fields of the platform's binary records, written and read whatever the
// host's byte order (the byte-format code also runs natively, for fuzzing).
#pragma once

#include <cstddef>
#include <cstdint>

// Writes value at at; returns the position after it.
inline uint8_t* PutU32(uint8_t* at, uint32_t value)
{
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
    at[2] = static_cast<uint8_t>(value >> 16);
    at[3] = static_cast<uint8_t>(value >> 24);
    return at + 4;
}
