// The Windows backend over a Win32Api whose SetupAPI and registry are scripted from a list
// of interfaces, whose CreateFileA of an interface's paths opens the named pipe that serves
// it, and whose other functions are the real ones, watched where the cases look. The pipe
// cases run under Wine against the simulated device: real overlapped I/O on real time.
#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <cstring>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "devsim/device.h"
#include "devsim/pipe_server.h"
#include "protocol/commands.h"
#include "protocol/transact.h"
#include "usb/device_table.h"
#include "usb/pipe.h"
#include "usb/win32/win32_api.h"
#include "usb/win32/win32_link.h"

namespace {

using namespace devsim;

struct FakeIface {
    std::string path = {};
    std::optional<uint32_t> port = {};  // the "Port Number" value; none: missing
    DWORD enumError = 0;                // SetupDiEnumDeviceInterfaces fails with it
    bool noDetail = false;              // the detail record cannot be fetched
    std::string pipe = {};              // the named pipe behind its paths
    std::optional<DWORD> size = {};     // the detail size reported instead of the real one
};

struct FakeWin32 {
    std::vector<FakeIface> ifaces;   // past the last: ERROR_NO_MORE_ITEMS
    bool noSet = false;              // SetupDiGetClassDevsA fails
    int held = 0;                    // interface sets and registry keys not released yet
    std::vector<std::string> opens;  // every CreateFileA: the path and its arguments
    std::vector<DWORD> waits;        // the time-out of every WaitForSingleObject
    int cancels = 0;
    std::set<HANDLE> events;       // created and not closed yet
    std::function<void()> onWait;  // runs once, before the next wait
    std::function<void()> onOpen;  // runs after each pipe was opened
};

FakeWin32* g_fake = nullptr;

const HDEVINFO kSet = reinterpret_cast<HDEVINFO>(0x5E7);
// The size fields the 32-bit SetupAPI checks; a 64-bit one checks its records' own.
const DWORD kDataSize = sizeof(void*) == 4 ? 28 : sizeof(SP_DEVICE_INTERFACE_DATA);
const DWORD kDetailSize = sizeof(void*) == 4 ? 5 : sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);

BOOL Fail(DWORD error) { return SetLastError(error), FALSE; }

// The interface data carries the index in its reserved field, the key is index + 1.
const FakeIface& Of(ULONG_PTR index) { return g_fake->ifaces.at(index); }
bool IsUsbPrint(const GUID* g) { return !std::memcmp(g, &GUID_DEVINTERFACE_USBPRINT, 16); }

// SetupAPI and the registry refuse a call whose class, flags, size field or access is not
// the one the backend needs, as Windows would, so the walk's results show it.
Win32Api FakeWin32Api() {
    Win32Api api = RealWin32Api();
    api.SetupDiGetClassDevsA = [](const GUID* g, PCSTR enumerator, HWND window,
                                  DWORD flags) WINAPI {
        if (g_fake->noSet || !IsUsbPrint(g) || enumerator || window ||
            flags != (DIGCF_PRESENT | DIGCF_DEVICEINTERFACE))
            return INVALID_HANDLE_VALUE;
        return ++g_fake->held, kSet;
    };
    api.SetupDiEnumDeviceInterfaces = [](HDEVINFO set, PSP_DEVINFO_DATA dev, const GUID* g, DWORD i,
                                         PSP_DEVICE_INTERFACE_DATA data) WINAPI {
        if (set != kSet || dev || !IsUsbPrint(g) || data->cbSize != kDataSize)
            return Fail(ERROR_INVALID_PARAMETER);
        if (i >= g_fake->ifaces.size()) return Fail(ERROR_NO_MORE_ITEMS);
        data->Reserved = i;
        return Of(i).enumError ? Fail(Of(i).enumError) : TRUE;
    };
    api.SetupDiGetDeviceInterfaceDetailA = [](HDEVINFO, PSP_DEVICE_INTERFACE_DATA data,
                                              PSP_DEVICE_INTERFACE_DETAIL_DATA_A out, DWORD size,
                                              PDWORD needed, PSP_DEVINFO_DATA) WINAPI {
        const FakeIface& f = Of(data->Reserved);
        DWORD want = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) + f.path.size() + 1;
        if (!out) return *needed = f.size.value_or(want), Fail(ERROR_INSUFFICIENT_BUFFER);
        if (f.noDetail || out->cbSize != kDetailSize || size < want)
            return Fail(ERROR_INVALID_USER_BUFFER);
        std::memcpy(out->DevicePath, f.path.c_str(), f.path.size() + 1);
        return TRUE;
    };
    api.SetupDiOpenDeviceInterfaceRegKey = [](HDEVINFO, PSP_DEVICE_INTERFACE_DATA data,
                                              DWORD reserved, REGSAM sam) WINAPI {
        if (reserved || sam != KEY_READ) return reinterpret_cast<HKEY>(INVALID_HANDLE_VALUE);
        return ++g_fake->held, reinterpret_cast<HKEY>(data->Reserved + 1);
    };
    api.RegQueryValueExA = [](HKEY key, LPCSTR name, LPDWORD, LPDWORD, LPBYTE value, LPDWORD size)
                               WINAPI -> LSTATUS {
        const std::optional<uint32_t>& port = Of(reinterpret_cast<ULONG_PTR>(key) - 1).port;
        if (!port || std::string(name) != "Port Number") return ERROR_FILE_NOT_FOUND;
        if (*size < 4) return ERROR_MORE_DATA;
        std::memcpy(value, &*port, 4);
        return *size = 4, ERROR_SUCCESS;
    };
    api.RegCloseKey = [](HKEY) WINAPI -> LSTATUS { return --g_fake->held, ERROR_SUCCESS; };
    api.SetupDiDestroyDeviceInfoList = [](HDEVINFO s)
                                           WINAPI -> BOOL { return --g_fake->held, s == kSet; };
    api.CreateFileA = [](LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                         DWORD disposition, DWORD flags, HANDLE model) WINAPI {
        char args[64];
        std::snprintf(args, sizeof args, " %lx %lx %lx %lx%s", access, share, disposition, flags,
                      security || model ? " ?" : "");
        g_fake->opens.push_back(path + std::string(args));
        for (const FakeIface& f : g_fake->ifaces) {
            if (f.pipe.empty() || !std::string(path).starts_with(f.path)) continue;
            HANDLE pipe =
                CreateFileA(f.pipe.c_str(), access, share, security, disposition, flags, model);
            if (g_fake->onOpen) g_fake->onOpen();
            return pipe;
        }
        return SetLastError(ERROR_FILE_NOT_FOUND), INVALID_HANDLE_VALUE;
    };
    api.CreateEventA = [](LPSECURITY_ATTRIBUTES security, BOOL manual, BOOL set,
                          LPCSTR name) WINAPI {
        HANDLE event = manual && set && name && !*name && !security
                           ? CreateEventA(security, manual, set, name)
                           : nullptr;  // any other event would break the waits' rules
        if (event) g_fake->events.insert(event);
        return event;
    };
    api.WaitForSingleObject = [](HANDLE handle, DWORD ms) WINAPI {
        g_fake->waits.push_back(ms);
        if (auto before = std::exchange(g_fake->onWait, nullptr)) before();
        return WaitForSingleObject(handle, ms);
    };
    api.CancelIo = [](HANDLE file) WINAPI { return ++g_fake->cancels, CancelIo(file); };
    api.CloseHandle = [](HANDLE h) WINAPI { return g_fake->events.erase(h), CloseHandle(h); };
    return api;
}

using Log = std::vector<std::string>;

const std::string kOurs = USB_VENDOR_MARKER;
const std::string kForeign = "vid_" + std::string(1, USB_VENDOR_ID[0] == '1' ? '2' : '1') +
                             (USB_VENDOR_ID + 1);  // differs from ours in the first digit

std::string Path(const std::string& marker, const char* pid) {
    return "\\\\?\\usb#" + marker + "&pid_" + pid + "##{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
}
const std::string a = Path(kOurs, "000a"), b = Path(kOurs, "000b"), c = Path(kOurs, "000c");

// Each walk leaves the table as "path productId port" lines.
class Win32WalkTest : public testing::Test {
protected:
    void SetUp() override { g_fake = &fake, UsbSetLink(&link); }
    void TearDown() override { UsbSetLink(nullptr), g_fake = nullptr; }
    Log Walk() {
        UsbEnumDevices();
        Log entries;
        for (int32_t i = 0; UsbDeviceEntry* e = UsbGetDevicePath(i); ++i)
            entries.push_back(std::string(e->path) + " " + e->productId + " " +
                              std::to_string(e->portNumber));
        EXPECT_EQ(fake.held, 0) << "an interface set or key was not released";
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
        {"no interface set", {{a, 1}}, {}, true},
        {"three of ours around another vendor's",
         {{a, 1}, {Path(kForeign, "0002"), 2}, {b, 0x1203}, {c, 5}},
         {a + " 000a 1", b + " 000b 3", c + " 000c 5"}},
        {"no \"Port Number\"", {{a, std::nullopt}}, {a + " 000a 0"}},
        {"enumeration failures",
         {{a, 1, ERROR_INVALID_USER_BUFFER}, {b, 2, 0, true}, {c, 3}},
         {c + " 000c 3"}},
        {"detail sizes 0, past 4096 and 4096",
         {{a, 1, 0, false, "", 0}, {b, 2, 0, false, "", 4097}, {c, 3, 0, false, "", 4096}},
         {c + " 000c 3"}},
        {"no more items", {{a, 1}, {b, 2, ERROR_NO_MORE_ITEMS}, {c, 3}}, {a + " 000a 1"}},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.name);
        fake.ifaces = t.ifaces, fake.noSet = t.noSet;
        EXPECT_EQ(Walk(), t.entries);
    }
}

using Clock = std::chrono::steady_clock;
int g_notices = 0;

class Win32PipeTest : public Win32WalkTest {
protected:
    void SetUp() override {
        Win32WalkTest::SetUp();
        ASSERT_TRUE(server.Open());
        ASSERT_TRUE(server.Start());
        fake.ifaces = {{a, 1, 0, false, server.Name()}};
        // A device is ready for a request once its pipe is open; the server is by its next
        // round, and the cases that count waits must not see the first write wait for it.
        fake.onOpen = [this] { server.Sync(); };
        device.State().timing.scanMs = 0;
        UsbSetNoticeFn(
            [](const char* text) { g_notices += std::string(text) == "Write to USB Timeout"; });
        g_notices = 0;
        ASSERT_EQ(UsbEnumDevices(), 1);
        CmdChannelInit(CMD_APP_HEADER, CMD_LETTER, 0);
    }
    void TearDown() override {
        UsbClose(0);
        EXPECT_TRUE(fake.events.empty()) << "an event outlived its transfer";
        Win32WalkTest::TearDown();
    }
    uint32_t Ssid(int32_t ms) { return CmdTransact(CMD_GET_SSID, dst, 0, nullptr, ms); }
    static long Since(Clock::time_point start) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    }

    Device device;
    PipeServer server{device};
    uint8_t dst[PKT_STATUS_MAX] = {};
};

TEST_F(Win32PipeTest, ExchangesWholeRepliesOverThePathsThePipeLayerOpens) {
    ASSERT_EQ(Ssid(CMD_TIMEOUT_MS), 8u);  // on the pipe it opens on demand
    EXPECT_EQ(std::string(reinterpret_cast<char*>(dst)), "HomeNet");
    device.Inject(ReplyPayload(std::vector<uint8_t>(PKT_STATUS_MAX, 0x5A)));
    EXPECT_EQ(CmdTransact(CMD_SCAN_WIFI, dst, 0, nullptr, CMD_SCAN_TIMEOUT_MS), PKT_STATUS_MAX);
    EXPECT_EQ(dst[PKT_STATUS_MAX - 1], 0x5A);
    EXPECT_EQ(fake.opens, Log{a + "\\ c0000000 3 3 48000080"});

    // A write that completes at once and a reply that is already there cost no wait.
    fake.waits.clear();
    ASSERT_EQ(CmdSend(CMD_GET_SSID, 0, nullptr), 1);
    server.Sync();  // the server has taken the request and answered it
    EXPECT_EQ(CmdReceive(dst, CMD_TIMEOUT_MS), 8u);
    EXPECT_EQ(fake.waits, std::vector<DWORD>{});
}

// A missing reply costs the read's time-out and is cancelled, a late one its delay; a write
// the device does not take times out once, after 30 ms, with the notice, and is cancelled,
// so the device never gets it. The pipe is as good as before.
TEST_F(Win32PipeTest, WaitsEndByTheirTimeOutsAndWhatTimedOutIsCancelled) {
    const std::tuple<FaultRule, int32_t, long, DWORD> cases[] = {
        {NoReply(), 100, 100, 100},
        {LateReply(300), CMD_TIMEOUT_MS, 300, CMD_TIMEOUT_MS},
        {StallWrite(), CMD_TIMEOUT_MS, 0, 30}};
    for (const auto& [fault, timeoutMs, ms, wait] : cases) {
        const bool ok = ms == 300;  // only the late reply comes in time
        SCOPED_TRACE(wait);
        fake.waits.clear(), fake.cancels = 0, g_notices = 0;
        device.Inject(fault);
        server.Sync();  // the server knows the fault, and has seen a stalled write go
        const Clock::time_point start = Clock::now();
        EXPECT_EQ(Ssid(timeoutMs) != 0, ok);
        EXPECT_GE(Since(start), ms - 2);  // the clocks count whole milliseconds
        EXPECT_LT(Since(start), ms + 1000);
        EXPECT_EQ(fake.waits, std::vector<DWORD>{wait});
        EXPECT_EQ(fake.cancels, ok ? 0 : 1);
        EXPECT_EQ(g_notices, int(wait == 30));
    }
    server.Sync();
    EXPECT_EQ(Ssid(CMD_TIMEOUT_MS), 8u);
    EXPECT_EQ(device.CommandIds(), std::vector<int32_t>(3, CMD_GET_SSID));  // no stalled one
}

TEST_F(Win32PipeTest, APipeClosedDuringAnExchangeFailsItAndTheNextRefreshFindsTheDevice) {
    device.Inject(NoReply());
    fake.onWait = [this] { server.Close(); };  // the device goes while the read waits
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(Ssid(CMD_TIMEOUT_MS), 0u);
    EXPECT_LT(Since(start), 1000);  // at once, not by the time-out
    ASSERT_TRUE(server.Open());
    ASSERT_TRUE(server.Start());
    ASSERT_EQ(UsbEnumDevices(), 1);
    EXPECT_EQ(Ssid(CMD_TIMEOUT_MS), 8u);
}

}  // namespace
