// The Windows backend's pipe I/O under Wine, against the simulated device served on a named
// pipe: real overlapped I/O on real time.
#include <gtest/gtest.h>

#include <chrono>

#include "devsim/device.h"
#include "devsim/pipe_server.h"
#include "protocol/commands.h"
#include "protocol/transact.h"
#include "usb/device_table.h"
#include "usb/pipe.h"
#include "usb/win32/win32_link.h"
#include "win32_fake_api.h"

namespace {

using namespace devsim;
using Clock = std::chrono::steady_clock;
const std::string kPath = "\\\\?\\usb#" + std::string(USB_VENDOR_MARKER) +
                          "&pid_0001#6&1&0&1#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
int g_notices = 0;

class Win32PipeTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Open());
        ASSERT_TRUE(server.Start());
        fake.ifaces = {{kPath, 1, 0, false, server.Name()}};
        // A device is ready for a request once its pipe is open; the server is by its next
        // round, and the cases that count waits must not see the first write wait for it.
        fake.onOpen = [this] { server.Sync(); };
        device.State().timing.scanMs = 0;
        g_fake = &fake;
        UsbSetLink(&link);
        UsbSetNoticeFn(
            [](const char* text) { g_notices += std::string(text) == "Write to USB Timeout"; });
        g_notices = 0;
        ASSERT_EQ(UsbEnumDevices(), 1);
        CmdChannelInit(CMD_APP_HEADER, CMD_LETTER, 0);
    }
    void TearDown() override {
        UsbClose(0);
        UsbSetLink(nullptr);
        EXPECT_TRUE(fake.events.empty()) << "an event outlived its transfer";
        g_fake = nullptr;
    }
    uint32_t Ssid(int32_t timeoutMs) {
        return CmdTransact(CMD_GET_SSID, dst, 0, nullptr, timeoutMs);
    }
    static long Since(Clock::time_point start) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    }

    Device device;
    PipeServer server{device};
    FakeWin32 fake;
    Win32UsbLink link{FakeWin32Api()};
    uint8_t dst[PKT_STATUS_MAX] = {};
};

TEST_F(Win32PipeTest, ExchangesWholeRepliesOverThePathsThePipeLayerOpens) {
    ASSERT_NE(UsbOpenPipe(0, USB_PIPE_NAME), USB_INVALID_HANDLE);
    UsbClose(0);  // as the device refresh does; the next exchange opens on demand
    ASSERT_EQ(Ssid(CMD_TIMEOUT_MS), 8u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(dst)), "HomeNet");
    device.Inject(ReplyPayload(std::vector<uint8_t>(PKT_STATUS_MAX, 0x5A)));
    EXPECT_EQ(CmdTransact(CMD_SCAN_WIFI, dst, 0, nullptr, CMD_SCAN_TIMEOUT_MS), PKT_STATUS_MAX);
    EXPECT_EQ(dst[PKT_STATUS_MAX - 1], 0x5A);
    std::vector<std::string> opens;
    for (const std::string& call : fake.log)
        if (call.starts_with("open ")) opens.push_back(call);
    EXPECT_EQ(opens,
              (std::vector<std::string>{"open " + kPath + "\\pipe01 c0000000 3 3 48000080",
                                        "open " + kPath + "\\pipe01\\ c0000000 3 3 48000080"}));

    // A write that completes at once and a reply that is already there cost no wait.
    fake.waits.clear();
    ASSERT_EQ(CmdSend(CMD_GET_SSID, 0, nullptr), 1);
    server.Sync();  // the server has taken the request and answered it
    EXPECT_EQ(CmdReceive(dst, CMD_TIMEOUT_MS), 8u);
    EXPECT_EQ(fake.waits, std::vector<DWORD>{});
}

TEST_F(Win32PipeTest, AReadWaitsItsTimeOutAndAMissingReplyIsCancelled) {
    struct {
        FaultRule fault;
        int32_t timeoutMs;
        bool ok;
        long atLeastMs;
    } cases[] = {
        {NoReply(), 100, false, 100},
        {LateReply(300), CMD_TIMEOUT_MS, true, 300},
        {NoReply(), CMD_TIMEOUT_MS, false, CMD_TIMEOUT_MS},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.timeoutMs);
        fake.waits.clear(), fake.cancels = 0;
        device.Inject(c.fault);
        const Clock::time_point start = Clock::now();
        EXPECT_EQ(Ssid(c.timeoutMs) != 0, c.ok);
        EXPECT_GE(Since(start), c.atLeastMs - 2);  // the clocks count whole milliseconds
        EXPECT_LT(Since(start), c.atLeastMs + 1000);
        EXPECT_EQ(fake.waits, std::vector<DWORD>{DWORD(c.timeoutMs)});
        EXPECT_EQ(fake.cancels, c.ok ? 0 : 1);
    }
    EXPECT_EQ(Ssid(CMD_TIMEOUT_MS), 8u);  // the pipe is as good as before
}

TEST_F(Win32PipeTest, AStalledWriteTimesOutOnceAndIsCancelled) {
    device.Inject(StallWrite());
    server.Sync();
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(Ssid(CMD_TIMEOUT_MS), 0u);
    EXPECT_LT(Since(start), 1000);
    EXPECT_EQ(g_notices, 1);
    EXPECT_EQ(fake.waits, std::vector<DWORD>{30});
    EXPECT_EQ(fake.cancels, 1);
    EXPECT_TRUE(fake.events.empty());
    server.Sync();  // it has seen the write go and reads again
    EXPECT_EQ(Ssid(CMD_TIMEOUT_MS), 8u);
    EXPECT_EQ(device.CommandIds(),
              std::vector<int32_t>{CMD_GET_SSID});  // the stalled one never came
}

TEST_F(Win32PipeTest, APipeClosedDuringAnExchangeFailsItAndTheNextRefreshFindsTheDevice) {
    device.Inject(NoReply());
    fake.onWait = [this] { server.Close(); };  // the device goes while the read waits
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(Ssid(CMD_TIMEOUT_MS), 0u);
    EXPECT_LT(Since(start), 1000);  // at once, not by the time-out
    ASSERT_TRUE(server.Open());
    ASSERT_TRUE(server.Start());
    ASSERT_EQ(UsbEnumDevices(), 1);
    EXPECT_EQ(Ssid(CMD_TIMEOUT_MS), 8u);
}

}  // namespace
