// A byte pipe for the protocol tests: records every write, and answers reads from a queue.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

using Bytes = std::vector<uint8_t>;

struct ScriptedPipe {
    std::vector<Bytes> writes;
    std::vector<int32_t> writeDevices;
    std::deque<Bytes> replies;  // each read takes the front; an empty queue fails the read
    bool writeOk = true;
    bool recordWrites = true;  // off where a test counts allocations
    uint32_t readTimeoutMs = 0;
    int reads = 0;
    std::function<void()> onWrite;  // runs inside a successful UsbWrite, e.g. to re-enter
    std::function<void()> onRead;

    void Reset() { *this = ScriptedPipe(); }
};

extern ScriptedPipe g_pipe;

// A valid reply to the request built last, carrying the given status bytes.
Bytes MakeReply(const Bytes& status);
