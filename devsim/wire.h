// The device's side of the framing: taking requests apart and putting replies together.
// It shares only the checksum and the byte-order helpers with the tool; every check here
// is the device's own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace devsim {

// The most payload a request may carry and the most status bytes a reply carries.
inline constexpr size_t kPayloadMax = 1280;
inline constexpr size_t kHeaderMax = 3 + 11 + 1;  // lead, '$', 'i', "-2147483648", letter
inline constexpr size_t kRequestMax = kHeaderMax + 16 + kPayloadMax;
inline constexpr size_t kReplyOverhead = 18;

struct Request {
    int32_t cmdId = 0;
    uint32_t seq = 0;
    const uint8_t* payload = nullptr;  // inside the bytes that were parsed
    uint32_t payloadLen = 0;
};

enum class Frame {
    Complete,    // a request of *length bytes starts here
    Incomplete,  // could become one with more bytes
    Invalid,     // no request starts at the first byte
};

// Where a request that starts at bytes[0] of a byte stream ends, judged by its text
// header and length field alone.
Frame FrameRequest(const uint8_t* bytes, size_t n, size_t* length);

// Parses exactly one whole request of n bytes carrying the given letter: every field and
// the checksum must hold. False for anything else.
bool ParseRequest(const uint8_t* bytes, size_t n, char letter, Request* out);

// The reply to request `seq` of command `cmdId` with the given status bytes
// (at most kPayloadMax of them).
std::vector<uint8_t> BuildReply(uint32_t appHeader, uint32_t seq, int32_t cmdId,
                                const uint8_t* status, size_t statusLen);

// Puts a fresh checksum on a reply whose bytes were edited.
void Restamp(std::vector<uint8_t>* reply);

}  // namespace devsim
