// Serves one simulated device on a pseudo-terminal (Linux), so that a backend that talks
// to a character device can be tested against the same device model: open the slave
// path, write requests, read replies.
//
// The adapter frames requests out of the byte stream (bytes that do not start a request
// are skipped), hands each to the device, and writes its replies once they are due on the
// shared clock. A reply the device splits goes out piece by piece, each piece only after
// the previous one was read, so the reader gets it in pieces (on a very busy machine the
// kernel may still hand two of them over at once; a reader must cope with any cut).
// A stalled write has no meaning on a pty: the request is simply lost.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "devsim/device.h"

namespace devsim {

class PtyServer {
public:
    explicit PtyServer(Device& device);
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // Creates the pty, raw (no echo, no line editing, every byte passed as is). False when
    // no pty can be had.
    bool Open();
    const std::string& SlavePath() const { return m_slavePath; }

    // One round on the calling thread: waits up to waitMs (real time) for request bytes,
    // hands complete requests to the device, writes what is due of its replies.
    void Pump(int waitMs);

    // Pumps on a thread of its own until Stop (or the destructor).
    bool Start();
    void Stop();
    void Close();

private:
    void ReadRequests();
    void SendReplies();
    bool PreviousPieceUnread() const;

    Device& m_device;
    int m_master = -1;
    // Held open so the master never sees a hang-up while no client has the slave open, and
    // so the adapter can see how much of a reply the client has not read yet.
    int m_slave = -1;
    std::string m_slavePath;
    std::vector<uint8_t> m_input;  // the start of a request still to come
    std::optional<Outgoing> m_sending;
    size_t m_sent = 0;
    size_t m_pieceEnd = 0;
    uint32_t m_nextPieceAt = 0;
    std::chrono::steady_clock::time_point m_pieceWritten;
    std::thread m_thread;
    std::atomic<bool> m_running{false};
};

}  // namespace devsim
