// The Linux backend against the simulated device, served on a pty: the same device model
// the flow tests use, over the driver-shaped path the shipped program takes.
#include <gtest/gtest.h>

#include "devsim/device.h"
#include "devsim/pty_server.h"
#include "fake_device.h"
#include "protocol/commands.h"
#include "protocol/transact.h"
#include "usb/device_table.h"
#include "usb/linux/linux_link.h"
#include "usb/pipe.h"

namespace {

TEST(LinuxDevsim, ExchangesIncludingAFullReplyInPieces) {
    FakeTree tree;
    tree.AddNode(0, "1-2", USB_VENDOR_ID, "0001", "SIM1");
    devsim::Device device;
    device.State().timing.scanMs = 0;  // real time here: no reason to wait
    devsim::PtyServer server(device);
    ASSERT_TRUE(server.Open());
    tree.LinkNode(0, server.SlavePath());
    ASSERT_TRUE(server.Start());

    LinuxUsbLink link(tree.sys, tree.dev);
    UsbSetLink(&link);
    ASSERT_EQ(UsbEnumDevices(), 1);
    CmdChannelInit(CMD_APP_HEADER, CMD_LETTER, 0);

    uint8_t dst[PKT_STATUS_MAX];
    uint32_t n = CmdTransact(CMD_GET_SSID, dst, 0, nullptr, CMD_TIMEOUT_MS);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(dst), n), std::string("HomeNet", 8));

    devsim::FaultRule full = devsim::ReplyPayload(std::vector<uint8_t>(PKT_STATUS_MAX, 0x5A));
    full.bytes = 400;  // 1298 bytes in four pieces
    device.Inject(full.On(CMD_SCAN_WIFI));
    EXPECT_EQ(CmdTransact(CMD_SCAN_WIFI, dst, 0, nullptr, CMD_SCAN_TIMEOUT_MS), PKT_STATUS_MAX);
    EXPECT_EQ(dst[PKT_STATUS_MAX - 1], 0x5A);

    EXPECT_GT(CmdTransact(CMD_GET_WIFI_STATUS, dst, 0, nullptr, CMD_TIMEOUT_MS), 0u);
    EXPECT_EQ(device.CommandIds(),
              (std::vector<int32_t>{CMD_GET_SSID, CMD_SCAN_WIFI, CMD_GET_WIFI_STATUS}));
    UsbClose(0);
    UsbSetLink(nullptr);
    server.Stop();
}

}  // namespace
