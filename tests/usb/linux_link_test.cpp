#include "usb/linux/linux_link.h"

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <filesystem>
#include "fake_device.h"
#include "usb/device_table.h"
#include "usb/pipe.h"

namespace {

const std::string kGuid = "#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";

std::string PathOf(const std::string& vid, const char* pid, const std::string& instance) {
    return "\\\\?\\usb#vid_" + vid + "&pid_" + pid + "#" + instance + kGuid;
}

TEST(LinuxUsbLinkWalk, NodesInNumericOrderWithIdsInstancesAndPortsAndNoOpens) {
    FakeTree tree;
    tree.AddNode(10, "1-4", USB_VENDOR_ID, "0001", "SN-1");  // a serial lp0 has too
    tree.AddNode(0, "1-1", USB_VENDOR_ID, "0001", "SN-1");
    tree.AddNode(2, "2-1.3", "ABCD", "12EF", nullptr);     // upper case, no serial
    tree.AddNode(7, "1-2", USB_VENDOR_ID, "0003", "a#b");  // would break the path's fields
    tree.AddNode(3, "1-3", "12345", "0001", nullptr);      // not a vendor id
    tree.AddNode(4, "1-5", USB_VENDOR_ID, "0004", std::string(127, 's').c_str());  // too long
    tree.AddNode(6, "1-6#", USB_VENDOR_ID, "0006", nullptr);  // no usable name at all
    std::filesystem::create_directory(tree.sys + "/class/usbmisc/hiddev0");
    std::filesystem::create_directory_symlink("lp0", tree.sys + "/class/usbmisc/lp01");
    std::filesystem::create_directory_symlink("/nonexistent", tree.sys + "/class/usbmisc/lp5");

    int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(inotify_add_watch(watch, (tree.dev + "/usb").c_str(), IN_OPEN), 0);
    LinuxUsbLink link(tree.sys, tree.dev);
    ASSERT_TRUE(link.BeginWalk());
    struct {
        UsbIface kind;
        std::string path;
        uint32_t port;
    } want[] = {
        {UsbIface::Found, PathOf(USB_VENDOR_ID, "0001", "SN-1"), 0},
        {UsbIface::Found, PathOf("abcd", "12ef", "2-1.3"), 2},
        {UsbIface::Skip, "", 0},
        {UsbIface::Found, PathOf(USB_VENDOR_ID, "0004", "1-5"), 4},
        {UsbIface::Skip, "", 0},
        {UsbIface::Skip, "", 0},
        {UsbIface::Found, PathOf(USB_VENDOR_ID, "0003", "1-2"), 7},
        {UsbIface::Found, PathOf(USB_VENDOR_ID, "0001", "1-4"), 10},
        {UsbIface::End, "", 0},
    };
    for (int i = 0; i < static_cast<int>(std::size(want)); ++i) {
        std::string path;
        uint32_t port = 0;
        EXPECT_EQ(link.Interface(i, &path, &port), want[i].kind) << i;
        EXPECT_EQ(path, want[i].path) << i;
        EXPECT_EQ(port, want[i].port) << i;
    }
    link.EndWalk();
    alignas(inotify_event) char event[512];
    EXPECT_LT(read(watch, event, sizeof event), 0);  // the walk opened no node

    // Whatever the pipe layer appended, a path leads back to its own node and no other.
    auto opened = [&](const std::string& path) -> std::string {
        UsbHandle h = link.Open(path.c_str());
        if (h == USB_INVALID_HANDLE) return "none";
        EXPECT_TRUE(link.Close(h));
        return read(watch, event, sizeof event) > 0 ? reinterpret_cast<inotify_event*>(event)->name
                                                    : "unseen";
    };
    EXPECT_EQ(opened(want[0].path + "\\pipe01"), "lp0");
    EXPECT_EQ(opened(want[7].path + "\\pipe01\\\\"), "lp10");
    EXPECT_EQ(opened(want[7].path + "x"), "none");
    EXPECT_EQ(opened(want[7].path.substr(0, 20)), "none");
    close(watch);

    EXPECT_FALSE(LinuxUsbLink(tree.sys + "/none", tree.dev).BeginWalk());
}

// The backend on virtual time, with one device node.
class LinuxUsbLinkIo : public testing::Test {
protected:
    void SetUp() override {
        tree.AddNode(0, "1-1", USB_VENDOR_ID, "0001", "SN");
        dev.master = tree.AddPty(0);
        ASSERT_TRUE(link.BeginWalk());
        std::string path;
        uint32_t port;
        link.Interface(0, &path, &port);
        handle = link.Open(path.c_str());
        ASSERT_NE(handle, USB_INVALID_HANDLE);
    }
    void TearDown() override { link.Close(handle); }

    VirtualPoll vp;
    FakeTree tree;
    FakeDevice dev{-1, {}};
    LinuxUsbLink link{tree.sys, tree.dev, vp.Fn()};
    UsbHandle handle = USB_INVALID_HANDLE;
};

TEST_F(LinuxUsbLinkIo, ReadsGatherOneReplyWithinTheTimeOut) {
    using enum UsbIo;
    const Bytes small = MakeReply(1, 11, {'o', 'k', 0}), full = MakeReply(2, 11, Bytes(1280, 7)),
                liar = MakeReply(3, 11, Bytes(1300, 9), 0xFFFF);
    struct {
        const char* name;
        Bytes reply;
        uint32_t timeoutMs;
        std::vector<std::pair<uint32_t, size_t>> pieces;  // at this time, this many bytes
        UsbIo result;
        uint32_t length, elapsed, bufferSize = 1298;
    } cases[] = {
        {"already there", small, 5000, {{0, 21}}, Done, 21, 0},
        {"in three pieces", small, 5000, {{0, 1}, {1200, 5}, {4900, 15}}, Done, 21, 4900},
        {"the rest too late", small, 5000, {{0, 1}, {2000, 5}, {5001, 15}}, TimedOut, 6, 5000},
        {"never", small, 5000, {}, TimedOut, 0, 5000},
        {"the default time-out", small, 50, {}, TimedOut, 0, 50},
        {"1298 bytes in 1024 and 274", full, 5000, {{0, 1024}, {100, 274}}, Done, 1298, 100},
        {"a length past 1298", liar, 5000, {{0, 1318}}, Done, 1298, 0},
        {"a length past the buffer", full, 5000, {{0, 1298}}, Done, 600, 0, 600},
    };
    for (const auto& c : cases) {
        vp.clock.Set(1000);
        size_t sent = 0, next = 0;
        vp.turn = [&] {
            for (; next < c.pieces.size() && vp.Elapsed() >= c.pieces[next].first; ++next) {
                auto from = c.reply.begin() + sent;
                dev.Send(Bytes(from, from + c.pieces[next].second));
                sent += c.pieces[next].second;
            }
        };
        vp.turn();
        Bytes buf(1299, 0);
        uint32_t len = c.bufferSize;
        EXPECT_EQ(link.Read(handle, buf.data(), &len, c.timeoutMs), c.result) << c.name;
        EXPECT_EQ(len, c.length) << c.name;
        EXPECT_EQ(vp.Elapsed(), c.elapsed) << c.name;
        EXPECT_TRUE(std::equal(buf.begin(), buf.begin() + len, c.reply.begin())) << c.name;
        EXPECT_EQ(buf[len], 0) << c.name << ": written past what was read";
        uint32_t none = 0;
        link.Write(handle, "", &none, 30);  // drops what the case left unread
    }
}

TEST_F(LinuxUsbLinkIo, WritesEndWhenTheDriverHasTakenAllOrAtTheTimeOut) {
    const Bytes big(64 * 1024, 0x33);  // more than the pty holds: it takes it in parts
    struct {
        const char* name;
        size_t size;
        bool deviceReads, finishes;
        UsbIo result;
        bool allTaken;
        uint32_t elapsed;
    } cases[] = {
        {"at once", 100, false, true, UsbIo::Done, true, 0},
        {"in parts as the device reads", big.size(), true, true, UsbIo::Done, true, 0},
        {"taken but never finished", 100, false, false, UsbIo::TimedOut, true, 30},
        {"not taken in time", big.size(), false, true, UsbIo::TimedOut, false, 30},
    };
    for (const auto& c : cases) {
        vp.clock.Set(1000);
        vp.finishes = c.finishes;
        Bytes got;
        auto drain = [&] {
            uint8_t buf[4096];
            for (ssize_t n; (n = read(dev.master, buf, sizeof buf)) > 0;)
                got.insert(got.end(), buf, buf + n);
        };
        vp.turn = c.deviceReads ? std::function<void()>(drain) : nullptr;
        uint32_t len = static_cast<uint32_t>(c.size);
        EXPECT_EQ(link.Write(handle, big.data(), &len, 30), c.result) << c.name;
        EXPECT_EQ(vp.Elapsed(), c.elapsed) << c.name;
        drain();
        EXPECT_EQ(got.size(), len) << c.name;
        EXPECT_EQ(len == c.size, c.allTaken) << c.name;
    }
}

TEST_F(LinuxUsbLinkIo, AVanishedDeviceFailsAtOnce) {
    tree.HangUp(dev.master);
    uint8_t buf[64];
    uint32_t len = sizeof buf;
    EXPECT_EQ(link.Read(handle, buf, &len, 5000), UsbIo::Failed);
    EXPECT_EQ(link.Write(handle, buf, &len, 30), UsbIo::Failed);
    EXPECT_EQ(vp.Elapsed(), 0u);
}

}  // namespace
