// EAP packets (RFC 3748) as the host and its built-in authenticator read and write them.
// Free of windows.h: byte buffers in, byte buffers out, every read bounded by the buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

typedef std::vector<uint8_t> Bytes;

enum EapCode : uint8_t {
    kEapRequest = 1,
    kEapResponse = 2,
    kEapSuccess = 3,
    kEapFailure = 4,
};

enum EapType : uint8_t {
    kEapTypeIdentity = 1,
    kEapTypeNotification = 2,
    kEapTypeNak = 3,
    kEapTypeGtc = 6,
};

const size_t kEapHeaderSize = 4;      // Code, Identifier, Length (big-endian)
const size_t kEapTypedHeaderSize = 5; // ... and Type, for Requests and Responses

// What a buffer holds, read without trusting its Length field: dataSize never reaches past
// the buffer nor past Length. wellFormed is false when Length is below the header, above the
// buffer, or the buffer is shorter than the header.
struct EapPacketView {
    bool wellFormed;
    uint8_t code;
    uint8_t id;
    uint16_t length; // as declared (0 when the buffer is shorter than 4 bytes)
    bool hasType;
    uint8_t type;
    const uint8_t* data; // Type-Data of a Request or Response
    size_t dataSize;
};

EapPacketView ReadEapPacket(const uint8_t* bytes, size_t size);

// A Request or Response with a Type and Type-Data.
Bytes MakeEapTyped(uint8_t code, uint8_t id, uint8_t type, const Bytes& data);

// A Success or Failure (4 bytes).
Bytes MakeEapResult(uint8_t code, uint8_t id);

// One line for logs, e.g. "Request id 2 type 6 len 15".
std::string DescribeEapPacket(const uint8_t* bytes, size_t size);
