#include "usb/pipe.h"

#include <gtest/gtest.h>

#include "scripted_link.h"
#include "usb/device_table.h"

namespace {

using Log = std::vector<std::string>;

class PipeTest : public testing::Test {
protected:
    // A walk that finds our device with the given path (and leaves a foreign one in entry 1).
    void Walk(const std::string& ours) {
        ResetLink();
        g_link.ifaces = {{UsbIface::Found, ours, 1},
                         {UsbIface::Found, IfacePath("vid_", "0000", "f"), 2}};
        ASSERT_EQ(UsbEnumDevices(), 1);
        g_link.log.clear();
    }
    void SetUp() override { Walk(a); }
    void TearDown() override { UsbSetReadTimeout(50); }
    const std::string kOurs = USB_VENDOR_MARKER;
    const std::string a = IfacePath(kOurs, "0001", "a");
    uint8_t buf[8] = {};
    uint32_t len = sizeof buf;
};

TEST_F(PipeTest, OpeningTwiceWithThePipeNameAppendsTwiceAndOpensThatPath) {
    EXPECT_EQ(UsbOpenPipe(0, USB_PIPE_NAME), 100);
    g_link.nextHandle = 101;
    EXPECT_EQ(UsbOpenPipe(0, USB_PIPE_NAME), 101);
    const std::string twice = a + "\\pipe01\\pipe01";
    EXPECT_EQ(UsbGetDevicePath(0)->path, twice);
    EXPECT_EQ(g_link.log, (Log{"open " + a + "\\pipe01", "close 100", "open " + twice}));
}

TEST_F(PipeTest, ReadsAndWritesOpenAClosedEntryOnDemandWithOneBackslash) {
    EXPECT_EQ(UsbRead(0, buf, &len), 1);
    EXPECT_EQ(UsbWrite(0, buf, &len), 1);
    UsbSetReadTimeout(5000);
    EXPECT_EQ(UsbRead(0, buf, &len), 1);
    EXPECT_EQ(UsbGetDevicePath(0)->path, a + "\\");
    EXPECT_EQ(g_link.log,
              (Log{"open " + a + "\\", "read 100 50", "write 100 30", "read 100 5000"}));

    // After UsbClose the next exchange opens again, one more backslash; a failed platform
    // close still leaves the entry closed.
    g_link.closeOk = false;
    EXPECT_EQ(UsbClose(0), 0);
    EXPECT_EQ(UsbGetDevicePath(0)->handle, USB_INVALID_HANDLE);
    EXPECT_EQ(UsbClose(0), 0);  // nothing left to close
    g_link.log.clear();
    EXPECT_EQ(UsbWrite(0, buf, &len), 1);
    g_link.closeOk = true;
    EXPECT_EQ(UsbClose(0), 1);
    EXPECT_EQ(g_link.log, (Log{"open " + a + "\\\\", "write 100 30", "close 100"}));

    // With the link gone, a pipe still marked open is neither used nor closed.
    UsbOpenPipe(0, "");
    UsbSetLink(nullptr);
    EXPECT_EQ(UsbRead(0, buf, &len), 0);
    EXPECT_EQ(UsbWrite(0, buf, &len), 0);
    EXPECT_EQ(UsbClose(0), 0);
    EXPECT_EQ(UsbGetDevicePath(0)->handle, USB_INVALID_HANDLE);
    UsbSetLink(&g_link);
}

TEST_F(PipeTest, EntriesThatAreNotOursAreNeverOpened) {
    // Entry 1 holds the rejected foreign path, 2 is empty, 8 and -1 lie outside the table.
    for (int32_t i : {1, 2, 8, -1}) {
        EXPECT_EQ(UsbRead(i, buf, &len), 0) << i;
        EXPECT_EQ(UsbWrite(i, buf, &len), 0) << i;
        EXPECT_EQ(UsbOpenPipe(i, USB_PIPE_NAME), USB_INVALID_HANDLE) << i;
    }
    // Ours by the walk's search, but the marker is not at characters 8 to 15.
    for (const std::string& p : {kOurs + "&pid_0001#a", kOurs + "&pid_01"}) {
        Walk(p);
        EXPECT_EQ(UsbRead(0, buf, &len), 0) << p;
        EXPECT_EQ(UsbWrite(0, buf, &len), 0) << p;
    }
    EXPECT_EQ(g_link.log, Log{});
}

TEST_F(PipeTest, AnAppendPastTheFieldIsRefusedAndChangesNothing) {
    const std::string p248 = a + std::string(248 - a.size(), 'x');
    Walk(p248);
    EXPECT_EQ(UsbOpenPipe(0, ""), 100);                            // 249 characters now
    EXPECT_EQ(UsbOpenPipe(0, USB_PIPE_NAME), USB_INVALID_HANDLE);  // 256 would not fit
    EXPECT_EQ(UsbGetDevicePath(0)->path, p248 + "\\");
    EXPECT_EQ(UsbGetDevicePath(0)->handle, 100);
    EXPECT_EQ(UsbOpenPipe(0, "pipe0"), 100);  // exactly 255
    EXPECT_EQ(std::string(UsbGetDevicePath(0)->path).size(), 255u);
    EXPECT_EQ(g_link.log, (Log{"open " + p248 + "\\", "close 100", "open " + p248 + "\\\\pipe0"}));
}

TEST_F(PipeTest, OnlyAWriteTimeOutShowsTheNoticeAndItIsCancelledBeforeTheNotice) {
    struct {
        bool write;
        UsbIo result;
        Log log;
    } cases[] = {
        {true, UsbIo::TimedOut, {"write 100 30", "cancel 100", "notice Write to USB Timeout"}},
        {true, UsbIo::Failed, {"write 100 30"}},
        {false, UsbIo::TimedOut, {"read 100 50"}},
        {false, UsbIo::Failed, {"read 100 50"}},
    };
    for (const auto& c : cases) {
        UsbOpenPipe(0, "");
        g_link.log.clear();
        (c.write ? g_link.writeResult : g_link.readResult) = c.result;
        EXPECT_EQ(c.write ? UsbWrite(0, buf, &len) : UsbRead(0, buf, &len), 0);
        EXPECT_EQ(g_link.log, c.log);
        g_link.writeResult = g_link.readResult = UsbIo::Done;
    }
}

}  // namespace
