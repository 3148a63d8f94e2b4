#include "fake_device.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "protocol/packet.h"
#include "protocol/transact.h"

namespace fs = std::filesystem;

FakeTree::FakeTree() {
    std::string tmpl = (fs::temp_directory_path() / "netcfg-usb-XXXXXX").string();
    m_root = mkdtemp(tmpl.data());
    sys = m_root + "/sys";
    dev = m_root + "/dev";
    fs::create_directories(sys + "/class/usbmisc");
    fs::create_directories(dev + "/usb");
}

FakeTree::~FakeTree() {
    for (int fd : m_fds) close(fd);
    fs::remove_all(m_root);
}

void FakeTree::AddNode(uint32_t n, const std::string& busPort, const char* vid, const char* pid,
                       const char* serial) {
    // As the kernel lays it out: class/usbmisc/lpN -> the node under the interface, whose
    // `device` leads back up to the interface, a child of the USB device.
    const std::string lp = "lp" + std::to_string(n), usb = "devices/usb1/" + busPort,
                      iface = busPort + ":1.0", node = usb + "/" + iface + "/usbmisc/" + lp;
    fs::create_directories(sys + "/" + node);
    fs::create_directory_symlink("../../../" + iface, sys + "/" + node + "/device");
    fs::create_directory_symlink("../../" + node, sys + "/class/usbmisc/" + lp);
    std::ofstream(sys + "/" + usb + "/idVendor") << vid << "\n";
    std::ofstream(sys + "/" + usb + "/idProduct") << pid << "\n";
    if (serial) std::ofstream(sys + "/" + usb + "/serial") << serial << "\n";
    std::ofstream(dev + "/usb/" + lp).flush();
}

int FakeTree::AddPty(uint32_t n) {
    int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    EXPECT_GE(master, 0);
    EXPECT_EQ(grantpt(master), 0);
    EXPECT_EQ(unlockpt(master), 0);
    const std::string slave = ptsname(master);
    keeper = open(slave.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios t;
    EXPECT_EQ(tcgetattr(keeper, &t), 0);
    cfmakeraw(&t);
    t.c_cc[VMIN] = 0;  // a read with nothing there returns 0, as the driver's may
    t.c_cc[VTIME] = 0;
    EXPECT_EQ(tcsetattr(keeper, TCSANOW, &t), 0);
    const std::string node = dev + "/usb/lp" + std::to_string(n);
    fs::remove(node);
    fs::create_symlink(slave, node);
    m_fds.push_back(master);
    m_fds.push_back(keeper);
    return master;
}

void FakeTree::HangUp(int master) {
    std::erase(m_fds, master);
    close(master);
}

bool FakeDevice::NextRequest(uint32_t* seq, uint8_t* id) {
    uint8_t buf[4096];
    for (ssize_t n; (n = read(master, buf, sizeof buf)) > 0;)
        inbox.insert(inbox.end(), buf, buf + n);
    // 1A '$' 'i' <digits> <letter> | len16 seq32 ... crc32, len counting what follows it
    size_t h = 3;
    while (h < inbox.size() && inbox[h] >= '0' && inbox[h] <= '9') ++h;
    if (h + 1 + 2 > inbox.size()) return false;
    const uint8_t* f = &inbox[h + 1];
    size_t total = h + 1 + 2 + GetBE(f, 2);
    if (inbox.size() < total) return false;
    EXPECT_EQ(Bytes(inbox.begin(), inbox.begin() + 3), (Bytes{0x1A, '$', 'i'}));
    EXPECT_EQ(Crc32MsbUpdate(Crc32MsbInit(), f, total - h - 1 - 4), GetBE(&inbox[total - 4], 4));
    *seq = GetBE(f + 2, 4);
    *id =
        static_cast<uint8_t>(std::atoi(std::string(inbox.begin() + 3, inbox.begin() + h).c_str()));
    inbox.erase(inbox.begin(), inbox.begin() + total);
    return true;
}

void FakeDevice::Send(const Bytes& bytes) const {
    ASSERT_EQ(write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

Bytes MakeReply(uint32_t seq, uint8_t id, const Bytes& status, int lengthField) {
    uint32_t len = static_cast<uint32_t>(status.size()) + PKT_REPLY_OVERHEAD;
    Bytes r(len);
    r[0] = PKT_REPLY_LEAD;
    PutBE(&r[1], lengthField < 0 ? len : static_cast<uint32_t>(lengthField), 2);
    PutBE(&r[3], CMD_APP_HEADER, 4);
    PutBE(&r[7], seq, 4);
    r[11] = id;
    PutBE(&r[12], static_cast<uint32_t>(status.size()), 2);
    std::copy(status.begin(), status.end(), r.begin() + 14);
    PutBE(&r[len - 4], Crc32MsbUpdate(Crc32MsbInit(), r.data(), len - 4), 4);
    return r;
}
