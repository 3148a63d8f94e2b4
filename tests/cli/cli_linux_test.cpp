// netcfg-cli over the Linux backend: the simulated device served on a pty as lp3, the
// driver-shaped path the shipped program takes.
#include <gtest/gtest.h>

#include <sstream>

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

    struct {
        std::vector<std::string> args;
        std::string out;
    } cases[] = {
        {{"list"}, "1  USB003 PID:0001 Quillo R7 Network Module FW 1.01.02\n"},
        {{"show"},
         "Ethernet:     DHCP on, address 192.168.1.57, mask 255.255.255.0, gateway 192.168.1.1\n"
         "WiFi:         DHCP off, address 192.168.1.200, mask 255.255.255.0, gateway "
         "192.168.1.1\n"
         "Country:      DE Germany\n"
         "Network:      HomeNet\n"
         "WiFi status:  0x00\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> words = {"netcfg-cli"};
        words.insert(words.end(), c.args.begin(), c.args.end());
        std::vector<char*> argv;
        for (std::string& w : words) argv.push_back(w.data());
        std::istringstream in;
        std::ostringstream out, err;
        EXPECT_EQ(CliMain(static_cast<int>(argv.size()), argv.data(), in, out, err), CLI_OK);
        EXPECT_EQ(out.str(), c.out) << err.str();
    }
    UsbSetLink(nullptr);
    server.Stop();
}

}  // namespace
