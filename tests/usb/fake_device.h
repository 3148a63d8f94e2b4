// A sysfs and a /dev of our own in a temporary directory for the Linux backend; a pty in
// raw mode can stand in for a device node, the test playing the device on its master.
#pragma once

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

struct FakeTree {
    std::string root, sys, dev;
    std::vector<int> fds;

    FakeTree() {
        std::string t = (std::filesystem::temp_directory_path() / "netcfg-usb-XXXXXX").string();
        root = mkdtemp(t.data()), sys = root + "/sys", dev = root + "/dev";
        std::filesystem::create_directories(sys + "/class/usbmisc");
        std::filesystem::create_directories(dev + "/usb");
    }
    ~FakeTree() {
        for (int fd : fds) close(fd);
        std::filesystem::remove_all(root);
    }
    // Node lpN of the USB device busPort: class/usbmisc/lpN/device is the interface, a
    // child of the device, which holds the ids (a null serial is left out). The node in
    // <dev>/usb is an empty file.
    void AddNode(uint32_t n, const std::string& busPort, const char* vid, const char* pid,
                 const char* serial) {
        const std::string lp = "lp" + std::to_string(n), usb = sys + "/devices/" + busPort;
        std::filesystem::create_directories(usb + "/" + busPort + ":1.0");
        std::filesystem::create_directories(sys + "/class/usbmisc/" + lp);
        std::filesystem::create_directory_symlink(usb + "/" + busPort + ":1.0",
                                                  sys + "/class/usbmisc/" + lp + "/device");
        std::ofstream(usb + "/idVendor") << vid << "\n";
        std::ofstream(usb + "/idProduct") << pid << "\n";
        if (serial) std::ofstream(usb + "/serial") << serial << "\n";
        std::ofstream(dev + "/usb/" + lp).flush();
    }
    // Makes <dev>/usb/lpN a pty and returns its master, non-blocking. A slave kept open
    // spares the master a hang-up when the backend closes its own.
    int AddPty(uint32_t n) {
        int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        grantpt(master), unlockpt(master);
        int keeper = open(ptsname(master), O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios t;
        tcgetattr(keeper, &t);
        cfmakeraw(&t);
        t.c_cc[VMIN] = 0;  // a read with nothing there returns 0, as the driver's may
        tcsetattr(keeper, TCSANOW, &t);
        LinkNode(n, ptsname(master));
        fds.insert(fds.end(), {master, keeper});
        return master;
    }
    // Makes <dev>/usb/lpN a link to `target`, a pty's slave that serves a device, say.
    void LinkNode(uint32_t n, const std::string& target) {
        const std::string node = dev + "/usb/lp" + std::to_string(n);
        std::filesystem::remove(node);
        std::filesystem::create_symlink(target, node);
    }
};
