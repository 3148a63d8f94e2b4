// netcfg-cli over the Linux backend: the simulated device served on a pty as lp3, the
// driver-shaped path the shipped program takes; and the echo switch on a terminal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

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

    // The texts themselves are the simulated link's tests'; here every exchange must work.
    for (std::string command : {"list", "show"}) {
        char program[] = "netcfg-cli";
        char* argv[] = {program, command.data()};
        std::istringstream in;
        std::ostringstream out, err;
        EXPECT_EQ(CliMain(2, argv, in, out, err), CLI_OK) << err.str();
        EXPECT_TRUE(command == "show" ||
                    out.str() == "1  USB003 PID:0001 Quillo R7 Network Module FW 1.01.02\n")
            << out.str();
    }
    UsbSetLink(nullptr);
    server.Stop();
}

// The password prompt turns the echo of the terminal on standard input off, then on again.
TEST(CliLinux, EchoOfATerminal) {
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_TRUE(master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0);
    int terminal = open(ptsname(master), O_RDWR | O_NOCTTY), saved = dup(STDIN_FILENO);
    dup2(terminal, STDIN_FILENO);
    termios t{};
    EXPECT_TRUE(CliSetEcho(false) && tcgetattr(STDIN_FILENO, &t) == 0 && !(t.c_lflag & ECHO));
    EXPECT_TRUE(CliSetEcho(true) && tcgetattr(STDIN_FILENO, &t) == 0 && (t.c_lflag & ECHO));
    dup2(saved, STDIN_FILENO);
    for (int fd : {saved, terminal, master}) close(fd);
}

}  // namespace
