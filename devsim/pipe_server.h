// Serves one simulated device on a named pipe (Windows), the counterpart of PtyServer: a
// backend opens the pipe's name as it would a device path, writes requests and reads
// replies with overlapped I/O.
//
// The pipe is in message mode, as the printer driver hands over whole packets: one request
// per write, one reply per read. A reply the device would split goes out whole once its
// last piece is due. Every client that opens the name gets a pipe instance of its own, and
// one more instance always listens, so a client can close and reopen at once.
//
// The server's inbound buffer holds less than any request, so a client's write completes
// only when the server takes it off the pipe: normally a read is always posted and a write
// completes at once. While the device has a stalled write waiting among its faults, the
// server only peeks at arriving requests; the one the device stalls is left on the pipe,
// and its writer times out and cancels it. Close ends every instance, as a device that goes
// away: the client's transfers fail with a broken pipe.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "devsim/device.h"

namespace devsim {

class PipeServer {
public:
    explicit PipeServer(Device& device);
    ~PipeServer();
    PipeServer(const PipeServer&) = delete;
    PipeServer& operator=(const PipeServer&) = delete;

    // Creates the first listening instance; false when the pipe cannot be made. After Close
    // it serves again under the same name.
    bool Open();
    // \\.\pipe\netcfg-devsim-<process>-<n>, unique to this server.
    const std::string& Name() const { return m_name; }

    // One round: waits up to waitMs (real time) for connections and requests, hands each
    // request to the device, writes its reply once due. Always from the same thread.
    void Pump(int waitMs);

    // Pumps on a thread of its own until Stop (or Close, or the destructor).
    bool Start();
    void Stop();
    // Returns once the pump has begun and finished a round after the call, so that it has
    // seen faults injected before it.
    void Sync();
    void Close();

private:
    struct Instance;

    bool AddInstance();
    void Listen(Instance& in);
    void PostRead(Instance& in);
    void Complete(Instance& in);
    void StopReading(Instance& in);
    void PeekRequest(Instance& in);
    bool TakeMessage(Instance& in, uint32_t* length);
    void Deliver(Instance& in, uint32_t length);
    void SendReply();
    void Drop(Instance& in);

    Device& m_device;
    std::string m_name;
    std::vector<std::unique_ptr<Instance>> m_instances;  // records that the platform writes
    bool m_claimed = false;                              // the name's first instance was ours
    Instance* m_replyTo = nullptr;  // the instance whose request the device answers next
    std::thread m_thread;
    std::atomic<bool> m_running{false};
    std::atomic<uint64_t> m_rounds{0};
};

}  // namespace devsim
