// The Linux backend behind the neutral layer, on a fake sysfs, with poll on virtual time.
#include "usb/linux/linux_link.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/socket.h>

#include <functional>
#include <numeric>

#include "base/clock.h"
#include "fake_device.h"
#include "usb/device_table.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Poll never blocks: when nothing is ready the clock moves on by up to 100 ms instead.
// `turn` lets the device act before each poll. A loop that would spin for ever is failed
// by a poll error instead; with takeNothing every write takes no byte; with signals every
// poll, read and write is first interrupted once.
class LinuxLinkTest : public testing::Test {
protected:
    bool Interrupted() {  // every other call, starting with the first
        if (!signals || !(interrupted = !interrupted)) return false;
        errno = EINTR;
        return true;
    }
    int Poll(pollfd* fds, nfds_t n, int ms) {
        if (Interrupted()) return -1;
        if (++polls > 20000) return errno = EIO, -1;
        if (turn) turn();
        int r = ::poll(fds, n, 0);
        if (r == 0) clock.Advance(std::min(ms, 100));
        return r;
    }

    base::ScopedVirtualClock clock{1000};
    std::function<void()> turn;
    FakeTree tree;
    int polls = 0;
    bool takeNothing = false, signals = false, interrupted = false;
    LinuxUsbLink link{
        tree.sys, tree.dev, [this](pollfd* f, nfds_t n, int ms) { return Poll(f, n, ms); },
        [this](int fd, const void* b, size_t n) {
            return Interrupted() ? -1 : takeNothing ? 0 : ::write(fd, b, n);
        },
        [this](int fd, void* b, size_t n) { return Interrupted() ? -1 : ::read(fd, b, n); }};
};

std::string PathOf(const std::string& vid, const char* pid, const std::string& instance) {
    return "\\\\?\\usb#vid_" + vid + "&pid_" + pid + "#" + instance +
           "#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
}

TEST_F(LinuxLinkTest, WalkNamesTheNodesInNumericOrderAndEachPathOpensItsOwnNode) {
    tree.AddNode(0, "1-1", USB_VENDOR_ID, "0001", "SN-1");
    tree.AddNode(10, "1-4", USB_VENDOR_ID, "0001", "SN-1");  // lp0's serial: its bus-port path
    tree.AddNode(2, "2-1.3", "ABCD", "12EF", nullptr);  // another vendor, upper case, no serial
    std::filesystem::create_directory(tree.sys + "/devices/2-1.3/serial");  // that can be read
    tree.AddNode(7, "1-2", USB_VENDOR_ID, "0003", "a#b");  // would break the path's fields
    tree.AddNode(8, "1-7", USB_VENDOR_ID, "0003", "a b");  // printable, but not a name
    tree.AddNode(3, "1-3", "12345", "0001", nullptr);      // not a vendor id
    const std::string longest(126, 'S');
    tree.AddNode(4, "1-5", USB_VENDOR_ID, "0004", longest.c_str());
    tree.AddNode(5, "1-6", USB_VENDOR_ID, "0004", (longest + "S").c_str());  // too long
    for (const char* other : {"hiddev0", "lp07"})
        std::filesystem::create_directory(tree.sys + "/class/usbmisc/" + other);
    ASSERT_TRUE(link.BeginWalk());
    std::vector<std::string> got;
    for (int i = 0; i < 9; ++i) {
        std::string path;
        uint32_t port = 0;
        UsbIface kind = link.Interface(i, &path, &port);
        got.push_back(kind == UsbIface::Found  ? path + " " + std::to_string(port)
                      : kind == UsbIface::Skip ? "skip"
                                               : "end");
    }
    const std::string lp0 = PathOf(USB_VENDOR_ID, "0001", "SN-1"),
                      lp10 = PathOf(USB_VENDOR_ID, "0001", "1-4");
    EXPECT_EQ(got, (std::vector<std::string>{lp0 + " 0", PathOf("abcd", "12ef", "2-1.3") + " 2",
                                             "skip", PathOf(USB_VENDOR_ID, "0004", longest) + " 4",
                                             PathOf(USB_VENDOR_ID, "0004", "1-6") + " 5",
                                             PathOf(USB_VENDOR_ID, "0003", "1-2") + " 7",
                                             PathOf(USB_VENDOR_ID, "0003", "1-7") + " 8",
                                             lp10 + " 10", "end"}));
    // Whatever the pipe layer appended, a path opens its own node, which holds its name.
    auto node = [&](const std::string& path) {
        UsbHandle h = link.Open(path.c_str());
        char name[8] = {};
        bool read = h != USB_INVALID_HANDLE && ::read(int(h), name, sizeof name - 1) > 0;
        EXPECT_EQ(link.Close(h), read);
        return std::string(name);
    };
    EXPECT_EQ(node(lp0 + "\\pipe01"), "lp0");
    EXPECT_EQ(node(lp10 + "\\pipe01\\"), "lp10");
    EXPECT_EQ(node(lp10 + "x"), "");
    EXPECT_FALSE(LinuxUsbLink(tree.sys + "/none", tree.dev).BeginWalk());
}

// n bytes that start with the lead byte and tell a length in bytes 1 and 2 (n unless told),
// as a reply does; the rest counts up from `fill`.
Bytes Reply(size_t n, size_t length = 0, uint8_t fill = 1) {
    Bytes r(n);
    std::iota(r.begin(), r.end(), fill);
    r[0] = 0x1B;
    r[1] = static_cast<uint8_t>((length ? length : n) >> 8);
    r[2] = static_cast<uint8_t>(length ? length : n);
    return r;
}

// The node is one end of a socket pair, the test plays the device on the other: what it
// sends when (a piece without bytes hangs up), against exchanges run back to back, each a
// write and a read of up to 5000 ms. Times count from the first write; what is due then
// comes before it.
TEST_F(LinuxLinkTest, AFaultAtTheNodeCostsAtMostTheExchangeItLandsIn) {
    struct Piece {
        uint32_t at;
        Bytes bytes;
    };
    struct Exchange {
        UsbIo write, read;
        Bytes got;
        uint32_t endsAt, buffer = 1298;
    };
    const Bytes a = Reply(21), b = Reply(30, 0, 0x40), c = Reply(40, 0, 0x80), full = Reply(1298),
                liar = Reply(1318, 0xFFFF);
    Bytes aLead = a;  // lead bytes at its end, for the tail that follows a time-out or cut
    aLead[19] = aLead[20] = 0x1B;
    auto dribble = [](const Bytes& r, const std::vector<Piece>& then) {
        std::vector<Piece> pieces;
        for (uint32_t i = 0; i < r.size(); ++i) pieces.push_back({100 + 300 * i, {r[i]}});
        pieces.insert(pieces.end(), then.begin(), then.end());
        return pieces;
    };
    auto cat = [](Bytes x, const Bytes& y) { return x.insert(x.end(), y.begin(), y.end()), x; };
    const size_t pastDrain = 64 * 1024 + 1000;  // the drain takes 64 reads of 1 KB
    const UsbIo done = UsbIo::Done, late = UsbIo::TimedOut, fail = UsbIo::Failed;
    const struct {
        const char* name;
        std::vector<Piece> device;
        std::vector<Exchange> exchanges;
    } cases[] = {
        {"replies in pieces, past the buffer, past 1298: each read takes what it can hold, "
         "the next write drops the rest",
         {{100, {a[0]}},
          {1300, Bytes(a.begin() + 1, a.begin() + 6)},
          {4900, Bytes(a.begin() + 6, a.end())},
          {5000, full},
          {5100, liar},
          {5200, aLead},
          {5300, c}},
         {{done, done, a, 4900},
          {done, done, Bytes(full.begin(), full.begin() + 600), 5000, 600},
          {done, done, Bytes(liar.begin(), liar.begin() + 1298), 5100, 1299},
          {done, done, Bytes(aLead.begin(), aLead.begin() + 20), 5200, 20},
          {done, done, c, 5300}}},
        {"hangs up in the middle of a reply: that read fails then, the next write at once",
         {{100, Bytes(a.begin(), a.begin() + 10)}, {1000, {}}},
         {{done, fail, Bytes(a.begin(), a.begin() + 10), 1000}, {fail, fail, {}, 1000}}},
        {"dribbles past the time-out: the tail after the drain is skipped to the next reply",
         dribble(a, {{7000, b}}),
         {{done, late, Bytes(a.begin(), a.begin() + 17), 5000}, {done, done, b, 7000}}},
        {"a tail holding the lead byte costs the exchange it lands in, and its time-out",
         dribble(aLead, {{7000, b}, {10500, c}}),
         {{done, late, Bytes(aLead.begin(), aLead.begin() + 17), 5000},
          {done, late, cat({0x1B, 0x1B}, b), 10000},
          {done, done, c, 10500}}},
        {"garbage past the drain without a lead byte costs nothing",
         {{0, Bytes(pastDrain, 0xFF)}, {100, b}},
         {{done, done, b, 100}}},
        {"garbage past the drain that looks like a reply costs that exchange and its time-out",
         {{0, Bytes(pastDrain, 0x1B)}, {100, b}, {5500, c}},
         {{done, late, cat(Bytes(pastDrain - 64 * 1024, 0x1B), b), 5000}, {done, done, c, 5500}}},
    };
    signal(SIGPIPE, SIG_IGN);  // a write after the hang-up fails instead
    for (const auto& c : cases)
        for (bool signalled : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (signalled ? ", under signals" : ""));
            signals = signalled;
            int node[2];
            ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, node), 0);
            int big = 1 << 18;
            setsockopt(node[1], SOL_SOCKET, SO_SNDBUF, &big, sizeof big);
            const uint32_t start = clock.Now();
            size_t next = 0;
            turn = [&] {
                for (; next < c.device.size() && clock.Now() - start >= c.device[next].at; ++next) {
                    const Bytes& piece = c.device[next].bytes;
                    if (piece.empty()) {
                        close(node[1]), node[1] = -1;
                    } else {
                        ASSERT_EQ(write(node[1], piece.data(), piece.size()),
                                  ssize_t(piece.size()));
                    }
                }
            };
            polls = 0;
            for (const Exchange& e : c.exchanges) {
                turn();
                uint8_t request[20] = {0x1A};
                uint32_t len = sizeof request;
                Bytes buf(1300, 0);
                EXPECT_EQ(link.Write(node[0], request, &len, 30), e.write);
                len = e.buffer;
                UsbIo read = e.write == done ? link.Read(node[0], buf.data(), &len, 5000) : e.write;
                EXPECT_EQ(read, e.read);
                EXPECT_EQ(Bytes(buf.begin(), buf.begin() + (e.write == done ? len : 0)), e.got);
                EXPECT_EQ(buf[len], 0) << "written past what was read";
                EXPECT_EQ(clock.Now() - start, e.endsAt);
            }
            turn = nullptr;
            close(node[0]);
            if (node[1] >= 0) close(node[1]);
        }
}

// A node that polls ready yet moves no byte: a stale file, and (as a device sending
// zero-length packets or taking nothing would) a write that takes nothing.
TEST_F(LinuxLinkTest, ANodeThatIsReadyButMovesNothingEndsByTheTimeOutWithoutSpinning) {
    tree.AddNode(1, "1-2", USB_VENDOR_ID, "0001", nullptr);  // a stale plain file
    ASSERT_TRUE(link.BeginWalk());
    const int in = dup(0);
    close(0);  // the node gets fd 0 then, as in a program started without standard input
    UsbHandle h = link.Open(PathOf(USB_VENDOR_ID, "0001", "1-2").c_str());
    EXPECT_EQ(h, 0);
    for (bool write : {false, true}) {
        SCOPED_TRACE(write ? "write" : "read");
        const uint32_t start = clock.Now(), timeout = write ? 30 : 500;
        uint8_t buf[21] = {};
        uint32_t len = sizeof buf;
        polls = 0, takeNothing = write;
        EXPECT_EQ(write ? link.Write(h, buf, &len, timeout) : link.Read(h, buf, &len, timeout),
                  UsbIo::TimedOut);
        EXPECT_EQ(clock.Now() - start, timeout);
        EXPECT_EQ(len, 0u);
        EXPECT_LE(polls, int(timeout) + 2);
    }
    EXPECT_TRUE(link.Close(h));
    dup2(in, 0), close(in);
}

}  // namespace
