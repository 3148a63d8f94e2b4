// The Linux link's walk over sysfs and the neutral walk after it, on a fake tree whose
// names and texts come from the input: up to eight nodes, each a choice byte, its number
// (or a name of the input's), its bus-port path, vendor id, product id and serial, each a
// length byte then the bytes. Every interface the walk names has a path of the one shape
// the neutral code expects, no two the same, and each device it keeps opens its own node.
#include <filesystem>
#include <fstream>
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

// A file name of the input's: no separator, no NUL, never . or ..
std::string Name(FuzzInput& in) {
    std::vector<uint8_t> b = in.Bytes(in.Byte() % 48);
    std::string s(b.begin(), b.end());
    for (char& c : s)
        if (c == '/' || c == '\0') c = '_';
    return s.empty() || s == "." || s == ".." ? "_" + s : s;
}

std::string Text(FuzzInput& in) {
    std::vector<uint8_t> b = in.Bytes(in.Byte() % 160);
    return {b.begin(), b.end()};
}

bool LowerHex(const std::string& s) {
    return s.size() == 4 && s.find_first_not_of("0123456789abcdef") == std::string::npos;
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
        const std::string lp = choice & 1 ? Name(in) : "lp" + std::to_string(in.Word() % 300);
        const std::string busPort = Name(in);
        const fs::path usb = sys / "devices" / busPort;
        std::error_code ec;  // a name the input repeats may clash with what is there
        fs::create_directories(usb / (busPort + ":1.0"), ec);
        fs::create_directories(sys / "class/usbmisc" / lp, ec);
        if (!(choice & 2))
            fs::create_directory_symlink(usb / (busPort + ":1.0"),
                                         sys / "class/usbmisc" / lp / "device", ec);
        std::ofstream(usb / "idVendor") << Text(in);
        std::ofstream(usb / "idProduct") << Text(in);
        std::string serial = Text(in);
        if (!(choice & 4)) std::ofstream(usb / "serial") << serial;
        std::ofstream(dev / "usb" / lp).flush();
    }

    LinuxUsbLink link(sys.string(), dev.string());
    if (!link.BeginWalk()) __builtin_trap();
    std::set<std::string> paths;
    const std::string prefix = "\\\\?\\usb#vid_",
                      suffix = "#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
    for (int i = 0;; ++i) {
        std::string path;
        uint32_t port = 0;
        UsbIface kind = link.Interface(i, &path, &port);
        if (kind == UsbIface::End) break;
        if (i >= USB_MAX_INTERFACES) __builtin_trap();
        if (kind == UsbIface::Skip) continue;
        // \\?\usb#vid_vvvv&pid_pppp#<instance>#{class}
        const size_t fixed = prefix.size() + 4 + 5 + 4 + 1;
        if (path.size() <= fixed + suffix.size() || path.compare(0, prefix.size(), prefix) ||
            !LowerHex(path.substr(prefix.size(), 4)) ||
            path.compare(prefix.size() + 4, 5, "&pid_") ||
            !LowerHex(path.substr(prefix.size() + 9, 4)) || path[fixed - 1] != '#' ||
            path.compare(path.size() - suffix.size(), suffix.size(), suffix) ||
            !paths.insert(path).second)
            __builtin_trap();
        for (size_t c = fixed; c < path.size() - suffix.size(); ++c)
            if (path[c] <= 0x20 || path[c] >= 0x7F || path[c] == '#' || path[c] == '\\')
                __builtin_trap();
    }

    UsbSetLink(&link);
    const int count = UsbEnumDevices();
    for (int i = 0; i < count; ++i) {
        if (UsbOpenPipe(i, USB_PIPE_NAME) == USB_INVALID_HANDLE) __builtin_trap();
        UsbClose(i);
    }
    UsbSetLink(nullptr);
    return 0;
}
