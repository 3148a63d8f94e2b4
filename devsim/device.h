// A model of the device's firmware, the peer of the protocol: it checks each request,
// answers from its state, carries changes out after their delay, and misbehaves when told
// to. It runs on base::GetTickCount, so on a virtual clock its delays cost no real time.
//
// The host side (a USB backend or the pty adapter) hands it each request with Receive and
// collects the reply with PeekReply/TakeReply. The device has a one-packet outbox, as its
// IN endpoint: while a reply waits there undelivered, the reply to a newer request is
// lost (the request itself is still carried out and recorded).
//
// Tests change State() and inject faults between exchanges; the host-side calls and the
// request record are safe to use from another thread (the pty adapter's).
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "devsim/commands.h"
#include "devsim/state.h"

namespace devsim {

inline constexpr int32_t kAnyCommand = -1;
inline constexpr int kEveryTime = -1;

enum class Fault {
    NoReply,       // the request is carried out, no reply is sent
    LateReply,     // the reply comes delayMs after the request
    StaleReply,    // the reply is held back and goes out during the next exchange
    BadChecksum,   // the reply's checksum is off by one bit
    BadAppHeader,  // the reply carries another application header
    Truncated,     // only the first `bytes` bytes of the reply are sent (0: all but the checksum)
    Split,         // the reply goes out in pieces of `bytes` bytes, delayMs apart
    StallWrite,    // the request never completes on the wire; the device does not see it
    Payload,       // the request is carried out, but the reply carries `payload` instead (in
                   // pieces of `bytes`, delayMs apart, when bytes is set)
    Vanish,        // the request is carried out; the device drops off the bus while it answers
                   // and attaches again delayMs later: the reply is lost, the old pipe dead
    Garbage,       // `bytes` bytes of noise go out ahead of the reply
};

// One misbehaviour, for the next `times` requests that match cmdId once `skip` of them
// have passed.
struct FaultRule {
    Fault fault = Fault::NoReply;
    int32_t cmdId = kAnyCommand;
    int times = 1;  // kEveryTime: until ClearFaults
    int skip = 0;
    uint32_t delayMs = 0;
    uint32_t bytes = 0;
    std::vector<uint8_t> payload;

    FaultRule& On(int32_t id) {
        cmdId = id;
        return *this;
    }
    FaultRule& Times(int n) {
        times = n;
        return *this;
    }
    FaultRule& After(int n) {
        skip = n;
        return *this;
    }
};

FaultRule NoReply();
FaultRule LateReply(uint32_t delayMs);
FaultRule StaleReply();
FaultRule BadChecksum();
FaultRule BadAppHeader();
FaultRule Truncated(uint32_t keepBytes = 0);
FaultRule Split(uint32_t pieceBytes, uint32_t gapMs = 0);
FaultRule StallWrite();
FaultRule Vanish(uint32_t goneMs = 0);
FaultRule Garbage(uint32_t bytes);
// Status bytes of the test's choosing: an empty reply, or one that breaks its format.
FaultRule ReplyPayload(std::vector<uint8_t> payload);
FaultRule ReplyText(const std::string& text);  // with its NUL

// A reply on its way to the host.
struct Outgoing {
    std::vector<uint8_t> bytes;
    uint32_t readyAt = 0;     // tick at which its first byte reaches the host
    uint32_t pieceBytes = 0;  // 0: in one piece
    uint32_t pieceGapMs = 0;

    // Tick at which its last piece has arrived.
    uint32_t CompleteAt() const;
};

// A request as the device received it.
struct ReceivedRequest {
    int32_t cmdId = 0;
    uint32_t seq = 0;
    uint32_t at = 0;  // tick of arrival
    std::vector<uint8_t> payload;

    std::string Text() const;  // the payload up to its NUL
};

enum class Receipt {
    Taken,    // the bytes went to the device (whether or not it liked them)
    Refused,  // not a request the device could parse; nothing happened
    Stalled,  // a StallWrite fault: the write does not complete
};

class Device {
public:
    Device();
    explicit Device(DeviceState state);
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    // The state as of now (a change whose delay has passed has been applied).
    DeviceState& State();

    void Inject(const FaultRule& rule);
    void ClearFaults();
    // True while a StallWrite rule waits for its request. A host adapter that can hold a
    // write back (the named pipe's) then looks at requests before taking them off the wire.
    bool WriteStallPending() const;

    // Unplugging drops the reply in flight; the state survives. Each return to presence
    // starts a new attachment, so a backend can tell handles opened before it.
    void SetPresent(bool present);
    bool Present() const;
    uint32_t Attachment() const;

    // Host side. One whole request of n bytes.
    Receipt Receive(const uint8_t* bytes, size_t n);
    // The reply that is on its way (not one held back for the next exchange).
    std::optional<Outgoing> PeekReply() const;
    // At most maxBytes of it; the rest stays on its way (a flood of noise is read in parts).
    std::optional<Outgoing> TakeReply(size_t maxBytes = SIZE_MAX);
    // Drops up to maxBytes of a reply that has come in whole and was never read; returns
    // how many.
    size_t Discard(size_t maxBytes);

    // The record of every request the device parsed, in order of arrival.
    std::vector<ReceivedRequest> Requests() const;
    std::vector<int32_t> CommandIds() const;
    void ClearRequests();
    uint32_t RefusedRequests() const;  // bytes that did not parse as a request

private:
    bool PresentLocked() const;
    std::optional<FaultRule> MatchFault(int32_t cmdId);
    void Misbehave(const FaultRule& rule, uint32_t now, Outgoing* out);

    mutable std::mutex m_mutex;
    DeviceState m_state;
    Change m_change;
    std::vector<FaultRule> m_faults;
    std::optional<Outgoing> m_outbox;
    bool m_outboxHeld = false;
    std::vector<ReceivedRequest> m_requests;
    uint32_t m_refused = 0;
    bool m_present = true;
    uint32_t m_attachment = 1;
    bool m_vanished = false;
    uint32_t m_absentUntil = 0;  // after a Vanish: the tick it attaches again
};

}  // namespace devsim
