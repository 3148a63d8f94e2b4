#include "scripted_pipe.h"

#include <algorithm>
#include <cstring>

#include "devsim/wire.h"
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
    return devsim::BuildReply(g_cmdAppHeader, g_cmdSeq, g_cmdLastId, status.data(), status.size());
}
