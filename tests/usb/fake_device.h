// A sysfs and a /dev of our own in a temporary directory for the Linux backend; a link to a
// pty that serves a device can stand in for a device node.
#pragma once

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

struct FakeTree {
    std::string root, sys, dev;

    FakeTree() {
        std::string t = (std::filesystem::temp_directory_path() / "netcfg-usb-XXXXXX").string();
        root = mkdtemp(t.data()), sys = root + "/sys", dev = root + "/dev";
        std::filesystem::create_directories(sys + "/class/usbmisc");
        std::filesystem::create_directories(dev + "/usb");
    }
    ~FakeTree() { std::filesystem::remove_all(root); }
    // Node lpN of the USB device busPort: class/usbmisc/lpN/device is the interface, a
    // child of the device, which holds the ids (a null serial is left out). The node in
    // <dev>/usb is a plain file that holds its name.
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
        std::ofstream(dev + "/usb/" + lp) << lp;
    }
    // Makes <dev>/usb/lpN a link to `target`, a pty's slave that serves a device, say.
    void LinkNode(uint32_t n, const std::string& target) {
        const std::string node = dev + "/usb/lp" + std::to_string(n);
        std::filesystem::remove(node);
        std::filesystem::create_symlink(target, node);
    }
};
