// The Windows walk behind the neutral layer, over a scripted SetupAPI and registry.
#include <gtest/gtest.h>

#include <cctype>

#include "usb/device_table.h"
#include "usb/pipe.h"
#include "usb/win32/win32_link.h"
#include "win32_fake_api.h"

namespace {

using Log = std::vector<std::string>;

const std::string kOurs = USB_VENDOR_MARKER;
const std::string kForeign = "vid_" + std::string(1, USB_VENDOR_ID[0] == '1' ? '2' : '1') +
                             (USB_VENDOR_ID + 1);  // differs from ours in the first digit

std::string Path(const std::string& marker, const char* pid, size_t pad = 0) {
    return "\\\\?\\usb#" + marker + "&pid_" + pid + "#" + std::string(pad, 'i') +
           "#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
}
std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}
const std::string a = Path(kOurs, "000a"), b = Path(kOurs, "000b"), c = Path(kOurs, "000c");
const std::string longest = Path(kOurs, "000d", 255 - a.size());

// Each walk leaves the table as "path productId port" lines.
class Win32WalkTest : public testing::Test {
protected:
    void SetUp() override { g_fake = &fake, UsbSetLink(&link); }
    void TearDown() override { UsbSetLink(nullptr), g_fake = nullptr; }
    Log Walk() {
        int n = UsbEnumDevices();
        Log entries;
        for (int32_t i = 0; UsbDeviceEntry* e = UsbGetDevicePath(i); ++i)
            entries.push_back(std::string(e->path) + " " + e->productId + " " +
                              std::to_string(e->portNumber));
        EXPECT_EQ(static_cast<int>(entries.size()), n);
        return entries;
    }
    FakeWin32 fake;
    Win32UsbLink link{FakeWin32Api()};
};

TEST_F(Win32WalkTest, FindsTheMakersInterfacesAsTheLinuxBackendDoes) {
    struct {
        const char* name;
        std::vector<FakeIface> ifaces;
        Log entries;
        bool noSet = false;
    } cases[] = {
        {"no interface", {}, {}},
        {"no interface set", {{a, 1}}, {}, true},
        {"another vendor's, then ours", {{Path(kForeign, "0001"), 5}, {a, 7}}, {a + " 000a 7"}},
        {"upper-case vendor", {{Path(Upper(kOurs), "0001"), 5}}, {}},
        {"three of ours among five",
         {{a, 1},
          {Path(kForeign, "0002"), 2},
          {b, 0x1203},
          {Path(Upper(kOurs), "0004"), 4},
          {c, 5}},
         {a + " 000a 1", b + " 000b 3", c + " 000c 5"}},
        {"no \"Port Number\"", {{a, std::nullopt}}, {a + " 000a 0"}},
        {"enumeration failures",
         {{a, 1, ERROR_INVALID_USER_BUFFER}, {b, 2, 0, true}, {c, 3}},
         {c + " 000c 3"}},
        {"no more items", {{a, 1}, {b, 2, ERROR_NO_MORE_ITEMS}, {c, 3}}, {a + " 000a 1"}},
        {"paths of 256 and 255 characters",
         {{longest + "x", 1}, {longest, 2}},
         {longest + " 000d 2"}},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.name);
        fake.ifaces = t.ifaces, fake.noSet = t.noSet;
        EXPECT_EQ(Walk(), t.entries);
        EXPECT_EQ(UsbGetDevicePath(static_cast<int32_t>(t.entries.size())), nullptr);
    }
    fake.ifaces.assign(10, {a, 1});
    EXPECT_EQ(Walk().size(), 8u);
}

TEST_F(Win32WalkTest, CallsSetupApiAndTheRegistryWithTheirSizesAndFlags) {
    const bool x86 = sizeof(void*) == 4;
    const std::string data = x86 ? "28" : std::to_string(sizeof(SP_DEVICE_INTERFACE_DATA)),
                      detail =
                          x86 ? "5" : std::to_string(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A));
    const std::string size =
        std::to_string(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) + a.size() + 1);
    fake.ifaces = {{a, 1}, {b, std::nullopt}};
    Walk();
    EXPECT_EQ(fake.log,
              (Log{"classdevs 12", "enum 0 " + data, "detail " + detail + " " + size, "key 20019",
                   "Port Number 8", "closekey", "enum 1 " + data, "detail " + detail + " " + size,
                   "key 20019", "Port Number 8", "closekey", "enum 2 " + data, "destroy"}));
}

}  // namespace
