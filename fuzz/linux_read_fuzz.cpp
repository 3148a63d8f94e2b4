// The Linux link's reply reassembly and input drain, on a node whose every read and poll
// the input decides: a read hands over the next piece of the input (its length a byte
// before it), or nothing, or fails; a poll reports ready, nothing (time passes), a
// hang-up or an interruption. One read of a reply into a buffer of the input's size,
// then one write with its drain. Whatever the node does, each ends within its time-out,
// writes nothing past the buffer, a reply it calls whole starts with the lead byte and is
// as long as its length word says, within the buffer, and a write counts what the node
// took, all of it when done.
#include <errno.h>

#include <cstring>
#include <memory>
#include <numeric>

#include "base/clock.h"
#include "fuzz/fuzz_input.h"
#include "usb/linux/linux_link.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    constexpr int kNode = 1000;  // no file: every call on it goes to the functions below
    FuzzInput in(data, size);
    base::ScopedVirtualClock clock(0xFFFFF000u);  // the tick count wraps during the read
    int calls = 0;
    auto read = [&](int, void* buffer, size_t n) -> ssize_t {
        if (++calls > 100000) __builtin_trap();  // a loop that never ends
        switch (in.Byte() % 8) {
            case 0:
                return errno = EAGAIN, -1;
            case 1:
                return 0;
            case 2:
                return errno = (in.Byte() & 1) ? EINTR : EIO, -1;
            default: {
                std::vector<uint8_t> piece = in.Bytes(std::min<size_t>(n, 1 + in.Byte()));
                if (piece.empty()) return errno = EAGAIN, -1;
                std::copy(piece.begin(), piece.end(), static_cast<uint8_t*>(buffer));
                return static_cast<ssize_t>(piece.size());
            }
        }
    };
    auto poll = [&](pollfd* p, nfds_t, int ms) -> int {
        if (++calls > 100000) __builtin_trap();
        p->revents = 0;
        switch (in.Empty() ? 1 : in.Byte() % 6) {
            case 0:
            case 5:
                p->revents = p->events;
                return 1;
            case 1:  // nothing within the time given, or part of it
                clock.Advance(in.Empty() ? ms : std::min(ms, int{in.Byte()}));
                return 0;
            case 2:
                p->revents = POLLHUP;
                return 1;
            case 3:
                p->revents = POLLERR;
                return 1;
            default:
                return errno = EINTR, -1;
        }
    };
    size_t taken = 0;  // by the node, of the request
    uint8_t request[24];
    std::iota(request, request + sizeof request, uint8_t{0x1A});
    auto write = [&](int, const void* bytes, size_t n) -> ssize_t {
        if (in.Byte() % 3 == 2) return errno = EAGAIN, -1;
        n = in.Byte() & 1 ? n : n / 2;
        // Each write goes on where the node stopped taking.
        if (taken + n > sizeof request || std::memcmp(bytes, request + taken, n)) __builtin_trap();
        taken += n;
        return static_cast<ssize_t>(n);
    };
    LinuxUsbLink link("/nonexistent", "/nonexistent", poll, write, read);

    const uint32_t cap = in.Byte() < 0xF0 ? 1298 : in.Byte();
    auto buffer = std::make_unique<uint8_t[]>(cap);  // exactly its size, for the sanitizer
    uint32_t length = cap;
    uint32_t start = clock.Now();
    UsbIo result = link.Read(kNode, buffer.get(), &length, 5000);
    if (clock.Now() - start > 5000 || length > cap) __builtin_trap();
    if (result == UsbIo::Done && cap >= 3) {
        const uint32_t told = uint32_t{buffer[1]} << 8 | buffer[2];
        if (buffer[0] != 0x1B || length != std::max(3u, std::min(told, cap))) __builtin_trap();
    }

    length = sizeof request;
    start = clock.Now();
    result = link.Write(kNode, request, &length, 30);
    if (clock.Now() - start > 30 || length != taken || (result == UsbIo::Done && taken != 24))
        __builtin_trap();
    return 0;
}
