// A sysfs and a /dev of our own in a temporary directory for the Linux backend, with a
// pty in raw mode standing in for a device node; the test plays the device on its master.
#pragma once

#include <poll.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/clock.h"

using Bytes = std::vector<uint8_t>;

class FakeTree {
public:
    FakeTree();
    ~FakeTree();
    FakeTree(const FakeTree&) = delete;
    FakeTree& operator=(const FakeTree&) = delete;

    // Node lpN of the USB device busPort (an empty regular file in <dev>/usb, so that an
    // open of it can be seen); a null serial leaves the attribute out.
    void AddNode(uint32_t n, const std::string& busPort, const char* vid, const char* pid,
                 const char* serial);
    // Makes <dev>/usb/lpN a pty and returns its master, non-blocking. The tree keeps a
    // slave open (`keeper`) so the master never sees the backend's close as a hang-up.
    int AddPty(uint32_t n);
    // Closes the master: the device is gone.
    void HangUp(int master);

    std::string sys, dev;
    int keeper = -1;

private:
    std::string m_root;
    std::vector<int> m_fds;
};

// The device end of the protocol, on a pty master.
struct FakeDevice {
    int master;
    Bytes inbox;

    // Takes the next whole request the tool wrote, checking its checksum; false if none.
    bool NextRequest(uint32_t* seq, uint8_t* id);
    void Send(const Bytes& bytes) const;
};

// A reply in the protocol's layout; its length field may be overridden to lie.
Bytes MakeReply(uint32_t seq, uint8_t id, const Bytes& status, int lengthField = -1);

// poll on virtual time for the backend: it never blocks, and when nothing is ready the
// clock moves on by up to 100 ms instead. `turn` lets the device act before each poll;
// `finishes` false plays a driver that has taken a write but not finished it.
struct VirtualPoll {
    base::ScopedVirtualClock clock{1000};
    std::function<void()> turn;
    bool finishes = true;
    int polls = 0;

    std::function<int(pollfd*, nfds_t, int)> Fn() {
        return [this](pollfd* fds, nfds_t n, int ms) {
            ++polls;
            if (turn) turn();
            int r = ::poll(fds, n, 0);
            if (!finishes && r > 0 && fds[0].revents == POLLOUT) r = fds[0].revents = 0;
            if (r == 0) clock.Advance(std::min(ms, 100));
            return r;
        };
    }
    uint32_t Elapsed() { return clock.Now() - 1000; }
};
