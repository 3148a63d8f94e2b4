#include "scripted_pipe.h"

#include <algorithm>
#include <cstring>

#include "protocol/packet.h"
#include "usb/pipe.h"

ScriptedPipe g_pipe;

int UsbWrite(int32_t device, const void* buffer, uint32_t* length) {
    if (g_pipe.recordWrites) g_pipe.writeDevices.push_back(device);
    if (!g_pipe.writeOk) return 0;
    if (g_pipe.onWrite) g_pipe.onWrite();
    const uint8_t* p = static_cast<const uint8_t*>(buffer);
    if (g_pipe.recordWrites) g_pipe.writes.emplace_back(p, p + *length);
    return 1;
}

int UsbRead(int32_t, void* buffer, uint32_t* length) {
    ++g_pipe.reads;
    if (g_pipe.onRead) g_pipe.onRead();
    if (g_pipe.replies.empty()) return 0;
    const Bytes& r = g_pipe.replies.front();
    uint32_t n = std::min(*length, static_cast<uint32_t>(r.size()));
    std::memcpy(buffer, r.data(), n);
    *length = n;
    g_pipe.replies.pop_front();
    return 1;
}

void UsbSetReadTimeout(uint32_t ms) { g_pipe.readTimeoutMs = ms; }

Bytes MakeReply(const Bytes& status) {
    uint32_t len = static_cast<uint32_t>(status.size()) + PKT_REPLY_OVERHEAD;
    Bytes r(len);
    r[0] = PKT_REPLY_LEAD;
    PutBE(&r[1], len, 2);
    PutBE(&r[3], g_cmdAppHeader, 4);
    PutBE(&r[7], g_cmdSeq, 4);
    r[11] = static_cast<uint8_t>(g_cmdLastId);
    PutBE(&r[12], static_cast<uint32_t>(status.size()), 2);
    if (!status.empty()) std::memcpy(&r[14], status.data(), status.size());
    PutBE(&r[len - 4], Crc32MsbUpdate(Crc32MsbInit(), r.data(), len - 4), 4);
    return r;
}
