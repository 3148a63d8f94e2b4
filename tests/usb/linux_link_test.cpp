// The Linux backend behind the neutral layer, on a fake sysfs with a pty for lp0 and poll on
// virtual time.
#include "usb/linux/linux_link.h"

#include <gtest/gtest.h>

#include <functional>
#include <numeric>

#include "base/clock.h"
#include "fake_device.h"
#include "usb/device_table.h"
#include "usb/pipe.h"

namespace {

using Bytes = std::vector<uint8_t>;
int g_notices = 0;

// Poll never blocks: when nothing is ready the clock moves on by up to 100 ms instead.
// `turn` lets the device act before each poll. A loop that would spin for ever is failed
// by a poll error instead; with takeNothing every write takes no byte.
class LinuxLinkTest : public testing::Test {
protected:
    void SetUp() override {
        tree.AddNode(0, "1-1", USB_VENDOR_ID, "0001", "SN-1");
        master = tree.AddPty(0);
        UsbSetLink(&link);
        ASSERT_EQ(UsbEnumDevices(), 1);
        UsbSetNoticeFn([](const char*) { ++g_notices; });
        g_notices = 0;
    }
    void TearDown() override {
        UsbClose(0);
        UsbSetLink(nullptr);
    }
    int Poll(pollfd* fds, nfds_t n, int ms) {
        if (++polls > 20000) return errno = EIO, -1;
        if (turn) turn();
        int r = ::poll(fds, n, 0);
        if (r == 0) clock.Advance(std::min(ms, 100));
        return r;
    }
    void Send(const Bytes& b) { ASSERT_EQ(write(master, b.data(), b.size()), ssize_t(b.size())); }

    base::ScopedVirtualClock clock{1000};
    std::function<void()> turn;
    FakeTree tree;
    int master = -1, polls = 0;
    bool takeNothing = false;
    LinuxUsbLink link{
        tree.sys, tree.dev, [this](pollfd* f, nfds_t n, int ms) { return Poll(f, n, ms); },
        [this](int fd, const void* b, size_t n) { return takeNothing ? 0 : ::write(fd, b, n); }};
};

std::string PathOf(const std::string& vid, const char* pid, const std::string& instance) {
    return "\\\\?\\usb#vid_" + vid + "&pid_" + pid + "#" + instance +
           "#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
}

TEST_F(LinuxLinkTest, WalkNamesTheNodesInNumericOrderAndEachPathOpensItsOwnNode) {
    tree.AddNode(10, "1-4", USB_VENDOR_ID, "0001", "SN-1");  // lp0's serial: its bus-port path
    tree.AddNode(2, "2-1.3", "ABCD", "12EF", nullptr);     // another vendor, upper case, no serial
    tree.AddNode(7, "1-2", USB_VENDOR_ID, "0003", "a#b");  // would break the path's fields
    tree.AddNode(3, "1-3", "12345", "0001", nullptr);      // not a vendor id
    std::filesystem::create_directory(tree.sys + "/class/usbmisc/hiddev0");
    ASSERT_TRUE(link.BeginWalk());
    std::vector<std::string> got;
    for (int i = 0; i < 6; ++i) {
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
                                             "skip", PathOf(USB_VENDOR_ID, "0003", "1-2") + " 7",
                                             lp10 + " 10", "end"}));
    // Whatever the pipe layer appended: lp0 is the pty, lp10 a plain file.
    auto tty = [&](const std::string& path) {
        UsbHandle h = link.Open(path.c_str());
        int r = h == USB_INVALID_HANDLE ? -1 : isatty(static_cast<int>(h));
        link.Close(h);
        return r;
    };
    EXPECT_EQ(tty(lp0 + "\\pipe01"), 1);
    EXPECT_EQ(tty(lp10 + "\\pipe01\\"), 0);
    EXPECT_EQ(tty(lp10 + "x"), -1);
    EXPECT_FALSE(LinuxUsbLink(tree.sys + "/none", tree.dev).BeginWalk());
}

// n bytes that tell a length in bytes 1 and 2 (n unless told), as a reply does.
Bytes Reply(size_t n, size_t length = 0) {
    Bytes r(n);
    std::iota(r.begin(), r.end(), uint8_t{1});
    r[1] = static_cast<uint8_t>((length ? length : n) >> 8);
    r[2] = static_cast<uint8_t>(length ? length : n);
    return r;
}

TEST_F(LinuxLinkTest, AReadGathersOneReplyWithinTheTimeOutAndWhatComesLaterIsDropped) {
    const Bytes small = Reply(21), full = Reply(1298), liar = Reply(1318, 0xFFFF);
    struct {
        const char* name;
        Bytes reply;
        std::vector<std::pair<uint32_t, size_t>> pieces;  // at this time, up to this byte
        bool ok;
        uint32_t length, elapsed, bufferSize = 1298;
    } cases[] = {
        {"in three pieces", small, {{0, 1}, {1200, 6}, {4900, 21}}, true, 21, 4900},
        {"the rest too late", small, {{0, 1}, {2000, 6}, {5001, 21}}, false, 6, 5000},
        {"a length past 1298", liar, {{0, 1318}}, true, 1298, 0, 1299},
        {"a length past the buffer", full, {{0, 1298}}, true, 600, 0, 600},
    };
    UsbSetReadTimeout(5000);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const uint32_t start = clock.Now();
        size_t sent = 0, next = 0;
        turn = [&] {
            for (; next < c.pieces.size() && clock.Now() - start >= c.pieces[next].first; ++next) {
                Send(Bytes(c.reply.begin() + sent, c.reply.begin() + c.pieces[next].second));
                sent = c.pieces[next].second;
            }
        };
        turn();
        Bytes buf(1300, 0);
        uint32_t len = c.bufferSize;
        EXPECT_EQ(UsbRead(0, buf.data(), &len), c.ok);
        EXPECT_EQ(len, c.length);
        EXPECT_EQ(clock.Now() - start, c.elapsed);
        EXPECT_TRUE(std::equal(buf.begin(), buf.begin() + len, c.reply.begin()));
        EXPECT_EQ(buf[len], 0) << "written past what was read";

        // The rest comes late; the next write drops it, and with it what was left unread,
        // so that the next case reads its own reply.
        turn = nullptr;
        Send(Bytes(c.reply.begin() + sent, c.reply.end()));
        pollfd p = {static_cast<int>(UsbGetDevicePath(0)->handle), POLLIN, 0};
        EXPECT_TRUE(len == c.reply.size() || ::poll(&p, 1, 1000) == 1);
        uint32_t none = 0;
        EXPECT_EQ(UsbWrite(0, "", &none), 1);
    }
}

TEST_F(LinuxLinkTest, AStuckWriteTakesItsTimeOutAndAVanishedDeviceNone) {
    Bytes big(1 << 16);  // more than the pty takes while the device reads nothing
    uint32_t len = static_cast<uint32_t>(big.size());
    EXPECT_EQ(UsbWrite(0, big.data(), &len), 0);
    EXPECT_EQ(clock.Now(), 1030u);
    EXPECT_EQ(g_notices, 1);
    close(master);  // the device is gone
    std::erase(tree.fds, master);
    EXPECT_EQ(UsbRead(0, big.data(), &len), 0);
    EXPECT_EQ(UsbWrite(0, big.data(), &len), 0);
    EXPECT_EQ(clock.Now(), 1030u);
    EXPECT_EQ(g_notices, 1);
}

// Nodes that poll ready yet move no byte: a stale file, /dev/null, and (as a device
// sending zero-length packets or taking nothing would) a write that takes nothing.
TEST_F(LinuxLinkTest, ANodeThatIsReadyButMovesNothingEndsByTheTimeOutWithoutSpinning) {
    tree.AddNode(1, "1-2", USB_VENDOR_ID, "0001", nullptr);  // an empty plain file
    std::filesystem::create_symlink("/dev/null", tree.dev + "/usb/lp2");
    tree.AddNode(2, "1-3", USB_VENDOR_ID, "0001", nullptr);
    ASSERT_TRUE(link.BeginWalk());
    const int in = dup(0);
    close(0);  // each node gets fd 0 then, as in a program started without standard input
    for (const char* instance : {"1-2", "1-3"}) {
        UsbHandle h = link.Open(PathOf(USB_VENDOR_ID, "0001", instance).c_str());
        EXPECT_EQ(h, 0);
        for (bool write : {false, true}) {
            SCOPED_TRACE(std::string(instance) + (write ? " write" : " read"));
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
        link.Close(h);
    }
    dup2(in, 0), close(in);
}

}  // namespace
