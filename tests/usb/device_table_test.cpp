#include "usb/device_table.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>

#include "scripted_link.h"
#include "usb/pipe.h"

namespace {

using Kind = UsbIface;

const std::string kOurs = USB_VENDOR_MARKER;

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// A vendor marker that differs from ours in its first digit.
std::string Foreign() {
    std::string m = kOurs;
    m[4] = m[4] == '1' ? '2' : '1';
    return m;
}

// Our id spelt in upper case; an id without hexadecimal letters has no such spelling, and
// then a foreign id stands in (the build with an id that has letters runs the real case).
std::string UpperDigits() {
    std::string m = "vid_" + Upper(USB_VENDOR_ID);
    return m == kOurs ? Foreign() : m;
}

// One of our paths padded to exactly n characters.
std::string OursOfLength(size_t n) {
    std::string p = IfacePath(kOurs, "2222", "");
    return IfacePath(kOurs, "2222", std::string(n - p.size(), 'x').c_str());
}

class DeviceTableTest : public testing::Test {
protected:
    void SetUp() override { ResetLink(); }
};

TEST_F(DeviceTableTest, WalkKeepsTheMakersInterfacesInOrder) {
    struct Want {
        std::string path;
        const char* productId;
        uint8_t port;
    };
    const std::string a = IfacePath(kOurs, "0a1b", "a"), b = IfacePath(kOurs, "0002", "b"),
                      c = IfacePath(kOurs, "0003", "c");
    struct {
        const char* name;
        std::vector<ScriptedLink::Iface> ifaces;
        std::vector<Want> want;
    } cases[] = {
        {"a foreign device first",
         {{Kind::Found, IfacePath(Foreign(), "1111", "a-longer-one"), 5}, {Kind::Found, a, 7}},
         {{a, "0a1b", 7}}},
        {"upper case is not ours",
         {{Kind::Found, IfacePath(Upper(kOurs), "1111", "f"), 5},
          {Kind::Found, IfacePath(UpperDigits(), "1111", "f"), 5},
          {Kind::Found, a, 1}},
         {{a, "0a1b", 1}}},
        {"three of five",
         {{Kind::Found, a, 1},
          {Kind::Found, IfacePath(Foreign(), "1111", "f"), 2},
          {Kind::Found, b, 3},
          {Kind::Skip, c, 4},
          {Kind::Found, c, 260}},
         {{a, "0a1b", 1}, {b, "0002", 3}, {c, "0003", 4}}},  // port keeps its low byte
        {"no product id, no port number",
         {{Kind::Found, "\\\\?\\usb#" + kOurs + "&xxx_0001#a", 9}, {Kind::Found, a, 0}},
         {{a, "0a1b", 0}}},
        {"255 characters fit, 256 do not",
         {{Kind::Found, OursOfLength(256), 1}, {Kind::Found, OursOfLength(255), 2}},
         {{OursOfLength(255), "2222", 2}}},
        {"the walk stops at the end",
         {{Kind::Found, a, 1}, {Kind::End, b, 2}, {Kind::Found, c, 3}},
         {{a, "0a1b", 1}}},
    };
    for (const auto& t : cases) {
        g_link.ifaces = t.ifaces;
        ASSERT_EQ(UsbEnumDevices(), static_cast<int>(t.want.size())) << t.name;
        for (size_t i = 0; i < t.want.size(); ++i) {
            UsbDeviceEntry* e = UsbGetDevicePath(static_cast<int32_t>(i));
            ASSERT_TRUE(e) << t.name;
            EXPECT_EQ(e->path, t.want[i].path) << t.name << " " << i;
            EXPECT_STREQ(e->productId, t.want[i].productId) << t.name << " " << i;
            EXPECT_EQ(e->portNumber, t.want[i].port) << t.name << " " << i;
            EXPECT_EQ(e->handle, USB_INVALID_HANDLE);
        }
        EXPECT_EQ(UsbGetDevicePath(static_cast<int32_t>(t.want.size())), nullptr) << t.name;
        EXPECT_EQ(UsbGetDevicePath(-1), nullptr);
        EXPECT_EQ(g_link.log.back(), "end walk");
    }
    EXPECT_EQ(g_link.log.end()[-2], "iface 1");  // nothing asked after the end
}

TEST_F(DeviceTableTest, MoreThanEightStopAtEightWithNothingWrittenPastTheTable) {
    for (int i = 0; i < 10; ++i) g_link.ifaces.push_back({Kind::Found, OursOfLength(255), 1});
    const UsbGuid before = g_usbDevices.interfaceClass;
    EXPECT_EQ(UsbEnumDevices(), USB_MAX_DEVICES);
    EXPECT_EQ(g_usbDevices.count, USB_MAX_DEVICES);
    EXPECT_EQ(std::memcmp(&g_usbDevices.interfaceClass, &before, sizeof before), 0);
    EXPECT_EQ(g_link.log.end()[-2], "iface 7");
}

TEST_F(DeviceTableTest, AWalkClosesOpenPipesAndRestoresThePlainPaths) {
    const std::string a = IfacePath(kOurs, "0001", "a"), b = IfacePath(kOurs, "0002", "b");
    g_link.ifaces = {{Kind::Found, a, 1}, {Kind::Found, b, 2}};
    ASSERT_EQ(UsbEnumDevices(), 2);
    UsbOpenPipe(0, USB_PIPE_NAME);
    g_link.nextHandle = 101;
    UsbOpenPipe(1, "");
    g_link.log.clear();
    ASSERT_EQ(UsbEnumDevices(), 2);
    EXPECT_EQ(g_link.log[0], "close 100");
    EXPECT_EQ(g_link.log[1], "close 101");
    EXPECT_EQ(UsbGetDevicePath(0)->path, a);
    EXPECT_EQ(UsbGetDevicePath(1)->path, b);
    EXPECT_EQ(UsbGetDevicePath(1)->handle, USB_INVALID_HANDLE);

    g_link.walkOk = false;  // a walk that cannot start still clears the table
    EXPECT_EQ(UsbEnumDevices(), 0);
    EXPECT_EQ(UsbGetDevicePath(0), nullptr);
    EXPECT_EQ(g_usbDevices.entries[0].path[0], '\0');
}

}  // namespace
