#include "devsim/wire.h"

#include <cstring>

#include "protocol/packet.h"

namespace devsim {
namespace {

constexpr uint8_t kRequestLead = 0x1A;
constexpr uint8_t kReplyLead = 0x1B;
constexpr size_t kMaxDigits = 10;  // an int32 id

bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }

// Length of the text header at bytes, Incomplete/Invalid as FrameRequest. *id gets the
// decimal id when the digits fit 64 bits (they always do: at most ten of them).
Frame TextHeader(const uint8_t* bytes, size_t n, size_t* h, int64_t* id) {
    static const uint8_t kStart[3] = {kRequestLead, '$', 'i'};
    for (size_t i = 0; i < 3; ++i) {
        if (i >= n) return Frame::Incomplete;
        if (bytes[i] != kStart[i]) return Frame::Invalid;
    }
    size_t i = 3;
    bool negative = false;
    if (i < n && bytes[i] == '-') {
        negative = true;
        ++i;
    }
    size_t first = i;
    int64_t value = 0;
    while (i < n && IsDigit(bytes[i])) {
        if (i - first == kMaxDigits) return Frame::Invalid;
        value = value * 10 + (bytes[i] - '0');
        ++i;
    }
    if (i == n) return Frame::Incomplete;  // the letter has not come yet
    if (i == first) return Frame::Invalid;
    *h = i + 1;  // the letter is whatever byte ends the digits
    *id = negative ? -value : value;
    return Frame::Complete;
}

}  // namespace

Frame FrameRequest(const uint8_t* bytes, size_t n, size_t* length) {
    size_t h = 0;
    int64_t id = 0;
    Frame header = TextHeader(bytes, n, &h, &id);
    if (header != Frame::Complete) return header;
    if (n < h + 2) return Frame::Incomplete;
    uint32_t len = GetBE(bytes + h, 2);
    // A length the device could never buffer is garbage, not a request to wait for.
    if (len < 14 || len - 14 > kPayloadMax) return Frame::Invalid;
    *length = h + 2 + len;
    return n >= *length ? Frame::Complete : Frame::Incomplete;
}

bool ParseRequest(const uint8_t* bytes, size_t n, char letter, Request* out) {
    size_t total = 0;
    if (FrameRequest(bytes, n, &total) != Frame::Complete || total != n) return false;
    size_t h = 0;
    int64_t id = 0;
    TextHeader(bytes, n, &h, &id);
    if (id < INT32_MIN || id > INT32_MAX) return false;
    if (bytes[h - 1] != static_cast<uint8_t>(letter)) return false;

    const uint8_t* f = bytes + h;
    uint8_t idField[4] = {};
    std::memcpy(idField, bytes + 3, h - 3 < 4 ? h - 3 : 4);
    if (std::memcmp(f + 6, idField, 4) != 0) return false;

    uint32_t payloadLen = GetBE(f + 10, 2);
    if (payloadLen != GetBE(f, 2) - 14) return false;
    uint32_t crc = Crc32MsbUpdate(Crc32MsbInit(), f, 12 + payloadLen);
    if (crc != GetBE(f + 12 + payloadLen, 4)) return false;

    out->cmdId = static_cast<int32_t>(id);
    out->seq = GetBE(f + 2, 4);
    out->payload = f + 12;
    out->payloadLen = payloadLen;
    return true;
}

std::vector<uint8_t> BuildReply(uint32_t appHeader, uint32_t seq, int32_t cmdId,
                                const uint8_t* status, size_t statusLen) {
    if (statusLen > kPayloadMax) statusLen = kPayloadMax;
    std::vector<uint8_t> r(kReplyOverhead + statusLen);
    r[0] = kReplyLead;
    PutBE(&r[1], static_cast<uint32_t>(r.size()), 2);
    PutBE(&r[3], appHeader, 4);
    PutBE(&r[7], seq, 4);
    r[11] = static_cast<uint8_t>(cmdId);
    PutBE(&r[12], static_cast<uint32_t>(statusLen), 2);
    if (statusLen) std::memcpy(&r[14], status, statusLen);
    Restamp(&r);
    return r;
}

void Restamp(std::vector<uint8_t>* reply) {
    std::vector<uint8_t>& r = *reply;
    if (r.size() < kReplyOverhead) return;
    PutBE(&r[r.size() - 4], Crc32MsbUpdate(Crc32MsbInit(), r.data(), r.size() - 4), 4);
}

}  // namespace devsim
