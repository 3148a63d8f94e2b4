// The neutral walk and pipe rules over a scripted platform that logs what it is asked.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>

#include "usb/device_table.h"
#include "usb/pipe.h"

namespace {

using Log = std::vector<std::string>;
using enum UsbIface;

struct Iface {
    UsbIface kind;
    std::string path;
    uint32_t port;  // 0: the platform cannot tell, so it leaves the value alone
};
Iface I(UsbIface kind, const std::string& path, uint32_t port) { return {kind, path, port}; }

struct ScriptedLink : UsbLink {
    std::vector<Iface> ifaces;  // indexes past the end answer End
    bool walkOk = true, closeOk = true;
    UsbIo io = UsbIo::Done;  // what reads and writes answer
    Log log;

    bool Say(const std::string& what) { return log.push_back(what), true; }
    bool BeginWalk() override { return walkOk; }
    void EndWalk() override {}
    UsbIface Interface(int i, std::string* path, uint32_t* port) override {
        if (i >= static_cast<int>(ifaces.size())) return End;
        *path = ifaces[i].path;
        if (ifaces[i].port) *port = ifaces[i].port;
        return ifaces[i].kind;
    }
    UsbHandle Open(const char* path) override { return Say(std::string("open ") + path), 100; }
    bool Close(UsbHandle) override { return Say("close") && closeOk; }
    UsbIo Io(const std::string& what, uint32_t ms) { return Say(what + std::to_string(ms)), io; }
    UsbIo Read(UsbHandle, void*, uint32_t*, uint32_t ms) override { return Io("read ", ms); }
    UsbIo Write(UsbHandle, const void*, uint32_t*, uint32_t t) override { return Io("write ", t); }
    void CancelWrite(UsbHandle) override { Say("cancel"); }
} g_link;

const std::string kOurs = USB_VENDOR_MARKER;
const std::string kForeign = "vid_" + std::string(1, USB_VENDOR_ID[0] == '1' ? '2' : '1') +
                             (USB_VENDOR_ID + 1);  // differs from ours in the first digit

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// An interface path of the platform's shape, the marker at characters 8 to 15.
std::string Path(const std::string& marker, const char* pid, size_t pad = 0) {
    return "\\\\?\\usb#" + marker + "&pid_" + pid + "#" + std::string(pad, 'i') +
           "#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
}
std::string OursOfLength(size_t n) { return Path(kOurs, "2222", n - Path(kOurs, "2222").size()); }

class UsbTest : public testing::Test {
protected:
    void SetUp() override {
        g_link = ScriptedLink();
        UsbSetLink(&g_link);
        UsbEnumDevices();  // clears whatever an earlier test left in the table
        g_link.log.clear();
        UsbSetNoticeFn([](const char* text) { g_link.Say(std::string("notice ") + text); });
    }
    // A walk over these interfaces; the table it left as "path productId port" lines.
    Log Walk(std::vector<Iface> ifaces) {
        g_link.ifaces = std::move(ifaces);
        int n = UsbEnumDevices();
        Log entries;
        for (int32_t i = 0; UsbDeviceEntry* e = UsbGetDevicePath(i); ++i)
            entries.push_back(std::string(e->path) + " " + e->productId + " " +
                              std::to_string(e->portNumber));
        EXPECT_EQ(static_cast<int>(entries.size()), n);
        return entries;
    }
};

TEST_F(UsbTest, WalkCountsTheMakersInterfacesInOrder) {
    const std::string a = Path(kOurs, "0a1b"), b = Path(kOurs, "0002"), c = Path(kOurs, "0003");
    // Our id in upper case; without letters in the id a foreign one stands in (the
    // hexletters build runs the real case).
    std::string upperId = "vid_" + Upper(USB_VENDOR_ID);
    if (upperId == kOurs) upperId = kForeign;
    // A foreign one longer than the next (which must show no trace of it), ours, ours in
    // upper case twice, one that cannot be read, ours with no product id and then with no
    // port number, 256 and 255 characters (the port's low byte kept), and the end.
    EXPECT_EQ(Walk({I(Found, Path(kForeign, "1111", 9), 5), I(Found, a, 7),
                    I(Found, Path(Upper(kOurs), "1111"), 5), I(Found, Path(upperId, "1111"), 5),
                    I(Skip, c, 4), I(Found, "\\\\?\\usb#" + kOurs + "&xxx_0001#a", 9),
                    I(Found, b, 0), I(Found, OursOfLength(256), 1),
                    I(Found, OursOfLength(255), 260), I(End, c, 3), I(Found, c, 3)}),
              (Log{a + " 0a1b 7", b + " 0002 0", OursOfLength(255) + " 2222 4"}));
    EXPECT_EQ(UsbGetDevicePath(-1), nullptr);

    // Ten of ours: eight, and nothing written past them; a walk that cannot start clears.
    EXPECT_EQ(Walk(std::vector<Iface>(10, {Found, OursOfLength(255), 1})).size(), 8u);
    EXPECT_EQ(std::memcmp(&g_usbDevices.interfaceClass, &GUID_DEVINTERFACE_USBPRINT, 16), 0);
    g_link.walkOk = false;
    EXPECT_EQ(Walk({{Found, a, 1}}), Log{});
}

TEST_F(UsbTest, PipesOpenOnDemandOrByNameAndCloseAsTheTableSays) {
    const std::string a = Path(kOurs, "0001"), p = OursOfLength(248);
    // Entry 2 is ours by the walk's search, but without the marker at characters 8 to 15;
    // entry 3 keeps a rejected path that carries our marker (no product id): no device.
    const std::vector<Iface> ifaces = {I(Found, a, 1), I(Found, p, 1),
                                       I(Found, "\\\\?\\usb##" + kOurs + "&pid_0001#", 2),
                                       I(Found, "\\\\?\\usb#" + kOurs + "&xxx_0001#a", 3)};
    Walk(ifaces);
    uint8_t buf[8] = {};
    uint32_t len = sizeof buf;
    EXPECT_EQ(UsbOpenPipe(0, USB_PIPE_NAME), 100);
    EXPECT_EQ(UsbOpenPipe(0, USB_PIPE_NAME), 100);
    Walk(ifaces);  // closes the pipe and restores the plain path
    UsbSetReadTimeout(5000);
    EXPECT_EQ(UsbRead(0, buf, &len), 1);
    g_link.io = UsbIo::TimedOut;
    EXPECT_EQ(UsbRead(0, buf, &len), 0);
    EXPECT_EQ(UsbWrite(0, buf, &len), 0);
    // No notice for a write that failed at once; its pipe is dead and closed, even when
    // the platform's close fails, so the next exchange opens it again.
    g_link.io = UsbIo::Failed;
    g_link.closeOk = false;
    EXPECT_EQ(UsbWrite(0, buf, &len), 0);
    EXPECT_EQ(UsbGetDevicePath(0)->handle, USB_INVALID_HANDLE);
    EXPECT_EQ(UsbClose(0), 0);  // nothing left to close
    for (int32_t i : {2, 3, 4, 8, -1}) {
        EXPECT_EQ(UsbRead(i, buf, &len), 0);
        EXPECT_EQ(UsbWrite(i, buf, &len), 0);
        EXPECT_EQ(UsbOpenPipe(i, USB_PIPE_NAME), USB_INVALID_HANDLE);
    }
    EXPECT_EQ(UsbOpenPipe(1, ""), 100);                            // 249 characters
    EXPECT_EQ(UsbOpenPipe(1, USB_PIPE_NAME), USB_INVALID_HANDLE);  // 256 would not fit
    EXPECT_EQ(UsbGetDevicePath(1)->handle, 100);                   // the field after the path
    EXPECT_EQ(UsbOpenPipe(1, "pipe0"), 100);                       // exactly 255
    EXPECT_EQ(g_link.log, (Log{"open " + a + "\\pipe01", "close", "open " + a + "\\pipe01\\pipe01",
                               "close", "open " + a + "\\", "read 5000", "read 5000", "write 30",
                               "cancel", "notice Write to USB Timeout", "write 30", "close",
                               "open " + p + "\\", "close", "open " + p + "\\\\pipe0"}));

    // With the link gone, a pipe still marked open is not used.
    UsbSetLink(nullptr);
    EXPECT_EQ(UsbRead(1, buf, &len), 0);
    EXPECT_EQ(UsbWrite(1, buf, &len), 0);
}

}  // namespace
