// One simulated device behind the simulated USB link, addressed by the exchange layer,
// on virtual time.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/clock.h"
#include "devsim/device.h"
#include "protocol/transact.h"
#include "usb/device_table.h"
#include "usb/pipe.h"
#include "usb/sim/sim_link.h"

using Bytes = std::vector<uint8_t>;

// A text reply without its NUL, which must travel inside the payload.
inline std::string AsText(const Bytes& b) {
    if (b.empty() || b.back() != 0) return "<no text>";
    return std::string(b.begin(), b.end() - 1);
}

class SimTest : public testing::Test {
protected:
    void SetUp() override {
        link.Attach(device, "0101");
        UsbSetLink(&link);
        ASSERT_EQ(UsbEnumDevices(), 1);
        CmdChannelInit(CMD_APP_HEADER, CMD_LETTER, 0);
    }
    void TearDown() override {
        for (int i = 0; i < USB_MAX_DEVICES; ++i) UsbClose(i);
        UsbSetLink(nullptr);
        UsbEnumDevices();
    }

    // One exchange with a text payload sent with its NUL (none when empty); the status
    // bytes of the reply, empty on failure or an empty status.
    Bytes Send(int32_t id, const std::string& text = "", int32_t timeoutMs = 5000) {
        uint8_t status[PKT_STATUS_MAX];
        uint32_t n = CmdTransact(id, status, text.empty() ? 0 : uint32_t(text.size() + 1),
                                 text.c_str(), timeoutMs);
        return Bytes(status, status + n);
    }
    std::string Text(int32_t id) { return AsText(Send(id)); }
    uint8_t Poll() {
        Bytes b = Send(devsim::kCmdPollDone);
        return b.size() == 1 ? b[0] : 0xFF;
    }

    base::ScopedVirtualClock clock{1000};
    devsim::Device device;
    SimUsbLink link;
};
