#include "devsim/device.h"

#include <algorithm>
#include <utility>

#include "base/clock.h"
#include "devsim/formats.h"
#include "devsim/wire.h"
#include "protocol/packet.h"

namespace devsim {
namespace {

FaultRule Rule(Fault fault, uint32_t delayMs = 0, uint32_t bytes = 0) {
    FaultRule r;
    r.fault = fault;
    r.delayMs = delayMs;
    r.bytes = bytes;
    return r;
}

}  // namespace

FaultRule NoReply() { return Rule(Fault::NoReply); }
FaultRule LateReply(uint32_t delayMs) { return Rule(Fault::LateReply, delayMs); }
FaultRule StaleReply() { return Rule(Fault::StaleReply); }
FaultRule BadChecksum() { return Rule(Fault::BadChecksum); }
FaultRule BadAppHeader() { return Rule(Fault::BadAppHeader); }
FaultRule Truncated(uint32_t keepBytes) { return Rule(Fault::Truncated, 0, keepBytes); }
FaultRule Split(uint32_t pieceBytes, uint32_t gapMs) {
    return Rule(Fault::Split, gapMs, pieceBytes);
}
FaultRule StallWrite() { return Rule(Fault::StallWrite); }
FaultRule Vanish(uint32_t goneMs) { return Rule(Fault::Vanish, goneMs); }
FaultRule Garbage(uint32_t bytes) { return Rule(Fault::Garbage, 0, bytes); }
FaultRule ReplyPayload(std::vector<uint8_t> payload) {
    FaultRule r = Rule(Fault::Payload);
    r.payload = std::move(payload);
    return r;
}
FaultRule ReplyText(const std::string& text) {
    return ReplyPayload(std::vector<uint8_t>(text.c_str(), text.c_str() + text.size() + 1));
}

uint32_t Outgoing::CompleteAt() const {
    if (pieceBytes == 0 || bytes.empty()) return readyAt;
    uint32_t pieces = static_cast<uint32_t>((bytes.size() + pieceBytes - 1) / pieceBytes);
    return readyAt + (pieces - 1) * pieceGapMs;
}

std::string ReceivedRequest::Text() const {
    return std::string(PayloadText(payload.data(), payload.size()));
}

Device::Device() : Device(DefaultState()) {}

Device::Device(DeviceState state) : m_state(std::move(state)) {}

DeviceState& Device::State() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_change.Settle(m_state, base::GetTickCount());
    return m_state;
}

void Device::Inject(const FaultRule& rule) {
    if (rule.times == 0 || rule.times < kEveryTime) return;  // for no request at all
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.push_back(rule);
}

void Device::ClearFaults() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.clear();
}

bool Device::WriteStallPending() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const FaultRule& rule : m_faults)
        if (rule.fault == Fault::StallWrite) return true;
    return false;
}

void Device::SetPresent(bool present) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (present == m_present) return;
    m_present = present;
    if (present) {
        ++m_attachment;
    } else {
        m_outbox.reset();
        m_outboxHeld = false;
    }
}

bool Device::Present() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return PresentLocked();
}

bool Device::PresentLocked() const {
    return m_present &&
           (!m_vanished || static_cast<int32_t>(base::GetTickCount() - m_absentUntil) >= 0);
}

uint32_t Device::Attachment() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_attachment;
}

std::optional<FaultRule> Device::MatchFault(int32_t cmdId) {
    for (auto it = m_faults.begin(); it != m_faults.end(); ++it) {
        if (it->cmdId != kAnyCommand && it->cmdId != cmdId) continue;
        if (it->skip > 0) {
            --it->skip;
            continue;
        }
        FaultRule rule = *it;
        if (it->times != kEveryTime && --it->times <= 0) m_faults.erase(it);
        return rule;
    }
    return std::nullopt;
}

void Device::Misbehave(const FaultRule& rule, uint32_t now, Outgoing* out) {
    std::vector<uint8_t>& b = out->bytes;
    switch (rule.fault) {
        case Fault::LateReply:
            out->readyAt = now + rule.delayMs;
            break;
        case Fault::StaleReply:
            m_outboxHeld = true;
            break;
        case Fault::BadChecksum:
            b.back() ^= 0x01;
            break;
        case Fault::BadAppHeader:
            PutBE(&b[3], m_state.appHeader ^ 0x20202020u, 4);  // "dbpk" for "DBPK"
            Restamp(&b);
            break;
        case Fault::Truncated:
            b.resize(rule.bytes && rule.bytes < b.size() ? rule.bytes : b.size() - 4);
            break;
        case Fault::Split:
            out->pieceBytes = rule.bytes;
            out->pieceGapMs = rule.delayMs;
            break;
        case Fault::Payload:  // a chosen reply may come in pieces too
            out->pieceBytes = rule.bytes;
            out->pieceGapMs = rule.delayMs;
            break;
        case Fault::Garbage:  // no reply starts with this byte
            b.insert(b.begin(), rule.bytes, 0xEE);
            break;
        case Fault::NoReply:
        case Fault::StallWrite:
        case Fault::Vanish:
            break;  // dealt with before a reply exists
    }
}

Receipt Device::Receive(const uint8_t* bytes, size_t n) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!PresentLocked()) return Receipt::Taken;  // the bytes go nowhere
    Request req;
    if (!ParseRequest(bytes, n, m_state.letter, &req)) {
        ++m_refused;  // a real device cannot answer what it cannot frame
        return Receipt::Refused;
    }
    std::optional<FaultRule> rule = MatchFault(req.cmdId);
    if (rule && rule->fault == Fault::StallWrite) return Receipt::Stalled;

    uint32_t now = base::GetTickCount();
    if (m_outbox && m_outboxHeld) {  // the reply held back goes out now
        m_outboxHeld = false;
        m_outbox->readyAt = now;
    }
    m_requests.push_back(
        {req.cmdId, req.seq, now, std::vector<uint8_t>(req.payload, req.payload + req.payloadLen)});

    m_change.Settle(m_state, now);
    Status status;
    uint32_t delay = m_state.timing.replyMs;
    CommandContext ctx{m_state, m_change, PayloadText(req.payload, req.payloadLen),
                       now,     status,   delay};
    // An id the device does not know is still answered, with no status bytes.
    if (CommandHandler handler = FindCommand(req.cmdId)) handler(ctx);

    if (rule && rule->fault == Fault::NoReply) return Receipt::Taken;
    if (rule && rule->fault == Fault::Vanish) {
        // Gone with its reply; what attaches again is a new attachment, so the host's
        // pipe from before is dead.
        m_outbox.reset();
        m_outboxHeld = false;
        ++m_attachment;
        m_vanished = true;
        m_absentUntil = now + rule->delayMs;
        return Receipt::Taken;
    }
    if (m_outbox) return Receipt::Taken;  // the outbox is full: this reply is lost

    Outgoing out;
    if (rule && rule->fault == Fault::Payload)
        out.bytes = BuildReply(m_state.appHeader, req.seq, req.cmdId, rule->payload.data(),
                               rule->payload.size());
    else
        out.bytes = BuildReply(m_state.appHeader, req.seq, req.cmdId, status.Data(), status.Size());
    out.readyAt = now + delay;
    if (rule) Misbehave(*rule, now, &out);
    m_outbox = std::move(out);
    return Receipt::Taken;
}

std::optional<Outgoing> Device::PeekReply() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_outbox || m_outboxHeld) return std::nullopt;
    return m_outbox;
}

std::optional<Outgoing> Device::TakeReply(size_t maxBytes) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_outbox || m_outboxHeld) return std::nullopt;
    std::optional<Outgoing> out = std::move(m_outbox);
    m_outbox.reset();
    if (out->bytes.size() > maxBytes) {
        auto at = static_cast<std::ptrdiff_t>(maxBytes);
        m_outbox = out;
        m_outbox->bytes.erase(m_outbox->bytes.begin(), m_outbox->bytes.begin() + at);
        out->bytes.erase(out->bytes.begin() + at, out->bytes.end());
    }
    return out;
}

size_t Device::Discard(size_t maxBytes) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_outbox || m_outboxHeld) return 0;
    if (static_cast<int32_t>(base::GetTickCount() - m_outbox->CompleteAt()) < 0) return 0;
    std::vector<uint8_t>& b = m_outbox->bytes;
    size_t n = std::min(maxBytes, b.size());
    b.erase(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(n));
    if (b.empty()) m_outbox.reset();
    return n;
}

std::vector<ReceivedRequest> Device::Requests() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

std::vector<int32_t> Device::CommandIds() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<int32_t> ids;
    for (const ReceivedRequest& r : m_requests) ids.push_back(r.cmdId);
    return ids;
}

void Device::ClearRequests() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_requests.clear();
    m_refused = 0;
}

uint32_t Device::RefusedRequests() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_refused;
}

}  // namespace devsim
