// The neutral USB layer and the command exchange over the Linux backend, the test playing
// the device on the pty's master.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "fake_device.h"
#include "protocol/transact.h"
#include "usb/device_table.h"
#include "usb/linux/linux_link.h"
#include "usb/pipe.h"

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

int g_notices = 0;
void CountNotice(const char*) { ++g_notices; }

class LinuxExchange : public testing::Test {
protected:
    void SetUp() override {
        tree.AddNode(0, "1-1", USB_VENDOR_ID, "0001", "SN");
        dev.master = tree.AddPty(0);
        Use(&link);
        CmdChannelInit(CMD_APP_HEADER, CMD_LETTER, 0);
        g_notices = 0;
        UsbSetNoticeFn(CountNotice);
    }
    void TearDown() override { Use(nullptr); }
    // Walks with this link and opens the device as the refresh does.
    void Use(UsbLink* l) {
        UsbClose(0);
        UsbSetLink(l);
        if (!l) return;
        ASSERT_EQ(UsbEnumDevices(), 1);
        ASSERT_NE(UsbOpenPipe(0, USB_PIPE_NAME), USB_INVALID_HANDLE);
    }
    // Fills the pty's way to the device until the driver takes nothing more.
    void StopTheDeviceReading() {
        uint8_t junk[4096] = {};
        pollfd p = {tree.keeper, POLLOUT, 0};
        do
            while (write(tree.keeper, junk, sizeof junk) > 0) {
            }
        while (poll(&p, 1, 20) > 0);
    }

    FakeTree tree;
    FakeDevice dev{-1, {}};
    LinuxUsbLink link{tree.sys, tree.dev};  // the shipped configuration: real poll and clock
    uint8_t dst[PKT_STATUS_MAX] = {};
};

TEST_F(LinuxExchange, CommandsReachTheDeviceAndItsRepliesComeBack) {
    std::atomic<bool> stop{false};
    std::thread device([&] {
        for (uint32_t seq; !stop;) {
            pollfd p = {dev.master, POLLIN, 0};
            poll(&p, 1, 10);
            for (uint8_t id; dev.NextRequest(&seq, &id);) {
                Bytes r =
                    MakeReply(seq, id, id == 11 ? Bytes(PKT_STATUS_MAX, 0x5A) : Bytes{'o', 'k', 0});
                for (size_t at = 0; at < r.size(); at += 1024) {  // as the driver hands it over
                    dev.Send(Bytes(r.begin() + at, r.begin() + std::min(at + 1024, r.size())));
                    usleep(2000);
                }
            }
        }
    });
    EXPECT_EQ(CmdTransact(11, dst, 0, nullptr, 1000), PKT_STATUS_MAX);
    EXPECT_EQ(dst[0], 0x5A);
    EXPECT_EQ(dst[PKT_STATUS_MAX - 1], 0x5A);
    UsbClose(0);  // as the refresh leaves it: the next exchange opens on demand
    EXPECT_EQ(CmdTransact(21, dst, 2, "x", 1000), 3u);
    EXPECT_STREQ(reinterpret_cast<char*>(dst), "ok");
    EXPECT_TRUE(std::string(UsbGetDevicePath(0)->path).ends_with("\\pipe01\\"));
    stop = true;
    device.join();
}

TEST_F(LinuxExchange, OnRealTimeAMissingReplyAndAStuckWriteTakeTheirTimeOuts) {
    struct {
        const char* name;
        uint32_t timeoutMs, least;
        bool stuck;
        int notices;
    } cases[] = {
        {"no reply", 40, 40, false, 0},
        {"the device takes nothing", 5000, 30, true, 1},
    };
    for (const auto& c : cases) {
        if (c.stuck) StopTheDeviceReading();
        uint32_t start = base::GetTickCount();
        EXPECT_EQ(CmdTransact(21, dst, 0, nullptr, c.timeoutMs), 0u) << c.name;
        uint32_t took = base::GetTickCount() - start;
        EXPECT_GE(took, c.least) << c.name;
        EXPECT_LT(took, c.least + 150) << c.name;
        EXPECT_EQ(g_notices, c.notices) << c.name;
    }
}

TEST_F(LinuxExchange, ALateReplyCostsAtMostTheExchangeItArrivesIn) {
    struct {
        const char* name;
        bool duringNext;  // else it comes between the exchanges
        std::vector<uint32_t> results;
    } cases[] = {
        {"arrives between the exchanges", false, {0, 3, 3}},
        {"arrives during the next exchange", true, {0, 0, 3, 3}},
    };
    for (const auto& c : cases) {
        VirtualPoll vp;
        LinuxUsbLink virtualLink(tree.sys, tree.dev, vp.Fn());
        Use(&virtualLink);
        Bytes late;
        size_t exchange = 0;
        vp.turn = [&] {
            uint32_t seq;
            for (uint8_t id; dev.NextRequest(&seq, &id);) {
                Bytes r = MakeReply(seq, id, {'o', 'k', 0});
                if (exchange == 0) {
                    late = r;  // too slow for the first exchange
                    continue;
                }
                if (c.duringNext && !late.empty()) dev.Send(late);
                late.clear();
                dev.Send(r);
            }
        };
        std::vector<uint32_t> results;
        CaptureStdout();
        for (; exchange < c.results.size(); ++exchange) {
            if (exchange == 1 && !c.duringNext) dev.Send(late);
            results.push_back(CmdTransact(21, dst, 0, nullptr, 500));
        }
        EXPECT_EQ(results, c.results) << c.name;
        EXPECT_EQ(GetCapturedStdout().find("Pkt CmdSeq") != std::string::npos, c.duringNext);
        Use(nullptr);
    }
}

}  // namespace
