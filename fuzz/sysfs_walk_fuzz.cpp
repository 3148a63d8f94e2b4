// The Linux link's walk over sysfs and the neutral walk after it, on a fake tree whose
// names and texts come from the input: up to eight nodes, each a choice byte, its number
// (or a name of the input's), its bus-port path, vendor id, product id and serial, each a
// length byte then the bytes. Every interface the walk names has a path of the one shape
// the neutral code expects, no two the same, and each device it keeps opens its own node.
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>

#include "fuzz/fuzz_input.h"
#include "usb/device_table.h"
#include "usb/linux/linux_link.h"
#include "usb/pipe.h"

namespace fs = std::filesystem;

namespace {

struct Tree {
    fs::path root;
    Tree() {
        // In memory where there is such a place: a tree per input is slow on a disk.
        const fs::path base = fs::is_directory("/dev/shm") ? "/dev/shm" : fs::temp_directory_path();
        std::string t = (base / "netcfg-fuzz-XXXXXX").string();
        root = mkdtemp(t.data());
    }
    ~Tree() { fs::remove_all(root); }
};

// Up to `max` bytes of the input; as a file name, with no separator or NUL, never . or ..
std::string Text(FuzzInput& in, size_t max, bool name = false) {
    std::vector<uint8_t> b = in.Bytes(in.Byte() % max);
    std::string s(b.begin(), b.end());
    if (!name) return s;
    std::replace(s.begin(), s.end(), '/', '_');
    std::replace(s.begin(), s.end(), '\0', '_');
    return s.empty() || s == "." || s == ".." ? "_" + s : s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Tree tree;
    const fs::path sys = tree.root / "sys", dev = tree.root / "dev";
    fs::remove_all(sys);
    fs::remove_all(dev);
    fs::create_directories(sys / "class/usbmisc");
    fs::create_directories(dev / "usb");

    FuzzInput in(data, size);
    for (int node = 0; node < 8 && !in.Empty(); ++node) {
        const uint8_t choice = in.Byte();
        const std::string lp =
            choice & 1 ? Text(in, 48, true) : "lp" + std::to_string(in.Word() % 300);
        const std::string busPort = Text(in, 48, true);
        const fs::path usb = sys / "devices" / busPort, interface = usb / (busPort + ":1.0");
        std::error_code ec;  // a name the input repeats may clash with what is there
        fs::create_directories(interface, ec);
        fs::create_directories(sys / "class/usbmisc" / lp, ec);
        if (!(choice & 2))
            fs::create_directory_symlink(interface, sys / "class/usbmisc" / lp / "device", ec);
        std::ofstream(usb / "idVendor") << Text(in, 160);
        std::ofstream(usb / "idProduct") << Text(in, 160);
        const std::string serial = Text(in, 160);
        if (choice & 8)  // an attribute that cannot be read
            fs::create_directory(usb / "serial", ec);
        else if (!(choice & 4))
            std::ofstream(usb / "serial") << serial;
        std::ofstream(dev / "usb" / lp).flush();
    }

    LinuxUsbLink link(sys.string(), dev.string());
    if (!link.BeginWalk()) __builtin_trap();
    static const std::regex kPath(
        R"(\\\\\?\\usb#vid_[0-9a-f]{4}&pid_[0-9a-f]{4}#[!-~]+#\{28d78fad-5a12-11d1-ae5b-0000f803a8c2\})");
    std::set<std::string> paths;
    std::string path;
    uint32_t port = 0;
    for (int i = 0; link.Interface(i, &path, &port) != UsbIface::End; ++i, path.clear()) {
        if (i >= USB_MAX_INTERFACES) __builtin_trap();
        // The instance between the second and the third '#' holds no separator.
        if (!path.empty() &&
            (!std::regex_match(path, kPath) || std::count(path.begin(), path.end(), '#') != 3 ||
             path.find('\\', 4) != std::string::npos || !paths.insert(path).second))
            __builtin_trap();
    }

    UsbSetLink(&link);
    for (int i = 0, n = UsbEnumDevices(); i < n; ++i) {
        if (UsbOpenPipe(i, USB_PIPE_NAME) == USB_INVALID_HANDLE) __builtin_trap();
        UsbClose(i);
    }
    UsbSetLink(nullptr);
    return 0;
}
