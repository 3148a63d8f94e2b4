// The simulated backend under the neutral walk and pipe code.
#include <gmock/gmock.h>

#include "sim_fixture.h"

namespace {

using namespace devsim;

class SimLinkTest : public SimTest {
protected:
    void SetUp() override {
        link.AttachForeign("04b8", "0005");
        link.Attach(device, "0101");
        link.AttachUnreadable();
        link.Attach(second, "0102", 7);
        UsbSetLink(&link);
        ASSERT_EQ(UsbEnumDevices(), 2);
    }
    std::string Info(int32_t index) {
        CmdChannelInit(CMD_APP_HEADER, CMD_LETTER, index);
        return Text(kCmdQueryInfo);
    }
    Device second;
};

TEST_F(SimLinkTest, WalkShowsTheMakersInterfacesInThePlatformsShape) {
    const std::string expected[] = {link.Path(1), link.Path(3)};
    for (int i = 0; i < 2; ++i) {
        UsbDeviceEntry* e = UsbGetDevicePath(i);
        EXPECT_EQ(e->path, expected[i]);
        EXPECT_THAT(e->path,
                    testing::MatchesRegex(
                        std::string("\\\\\\\\\\?\\\\usb#vid_") + USB_VENDOR_ID +
                        "&pid_010[12]#[0-9a-f&]+#\\{28d78fad-5a12-11d1-ae5b-0000f803a8c2\\}"));
    }
    EXPECT_STREQ(UsbGetDevicePath(1)->productId, "0102");
    EXPECT_EQ(UsbGetDevicePath(0)->portNumber, 2);  // its position, from 1
    EXPECT_EQ(UsbGetDevicePath(1)->portNumber, 7);
}

TEST_F(SimLinkTest, OpenedPathsReachTheirOwnDevice) {
    second.State().info = "second";
    ASSERT_NE(UsbOpenPipe(1, USB_PIPE_NAME), USB_INVALID_HANDLE);  // "...\pipe01"
    EXPECT_EQ(Info(1), "second");
    UsbClose(1);
    EXPECT_EQ(link.OpenPipes(), 0);
    EXPECT_EQ(Info(1), "second");  // reopened on demand as "...\pipe01\"
    EXPECT_EQ(Info(0), "Quillo R7 Network Module");
    EXPECT_EQ(device.CommandIds().size(), 1u);
    EXPECT_EQ(second.CommandIds().size(), 2u);
    EXPECT_EQ(link.Open((link.Path(3) + "x").c_str()), USB_INVALID_HANDLE);  // not its path
}

TEST_F(SimLinkTest, AVanishedDeviceFailsAtOnceUntilTheNextWalkFindsItBack) {
    EXPECT_EQ(Info(0), "Quillo R7 Network Module");
    device.SetPresent(false);
    uint32_t start = clock.Now();
    EXPECT_EQ(Info(0), "<no text>");
    EXPECT_EQ(clock.Now(), start);
    EXPECT_EQ(UsbEnumDevices(), 1);  // only the second is there
    EXPECT_STREQ(UsbGetDevicePath(0)->productId, "0102");

    device.SetPresent(true);
    EXPECT_EQ(UsbEnumDevices(), 2);
    EXPECT_EQ(Info(0), "Quillo R7 Network Module");

    // A pipe opened before an unplug stays dead after the device comes back.
    device.SetPresent(false);
    device.SetPresent(true);
    EXPECT_EQ(Info(0), "<no text>");
    EXPECT_EQ(UsbEnumDevices(), 2);
    EXPECT_EQ(Info(0), "Quillo R7 Network Module");
}

}  // namespace
