// netcfg-cli over the Linux backend: the simulated device served on a pty as lp3, the
// driver-shaped path the shipped program takes.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>

#include "cli/cli.h"
#include "devsim/device.h"
#include "devsim/pty_server.h"
#include "tests/usb/fake_device.h"
#include "usb/device_table.h"
#include "usb/linux/linux_link.h"

namespace {

TEST(CliLinux, ListAndShowOverAPty) {
    FakeTree tree;
    tree.AddNode(3, "1-2", USB_VENDOR_ID, "0001", "SIM1");
    devsim::Device device;
    devsim::PtyServer server(device);
    ASSERT_TRUE(server.Open());
    tree.LinkNode(3, server.SlavePath());
    ASSERT_TRUE(server.Start());
    LinuxUsbLink link(tree.sys, tree.dev);
    UsbSetLink(&link);

    const std::pair<std::string, std::string> cases[] = {
        {"list", "1  USB003 PID:0001 Quillo R7 Network Module FW 1.01.02\n"},
        {"show",
         "Ethernet:     DHCP on, address 192.168.1.57, mask 255.255.255.0, gateway 192.168.1.1\n"
         "WiFi:         DHCP off, address 192.168.1.200, mask 255.255.255.0, gateway "
         "192.168.1.1\nCountry:      DE Germany\nNetwork:      HomeNet\nWiFi status:  0x00\n"},
    };
    for (auto [command, want] : cases) {
        char program[] = "netcfg-cli";
        char* argv[] = {program, command.data()};
        std::istringstream in;
        std::ostringstream out, err;
        EXPECT_EQ(CliMain(2, argv, in, out, err), CLI_OK);
        EXPECT_EQ(out.str(), want) << err.str();
    }
    UsbSetLink(nullptr);
    server.Stop();
}

}  // namespace
