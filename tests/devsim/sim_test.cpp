// One simulated device behind the simulated USB link, addressed by the exchange layer on
// virtual time: how its changes complete, and what it must not answer. Its answers and its
// misbehaviours, a device that vanishes among them, are read end to end by the fault matrix.
#include <gmock/gmock.h>

#include <functional>

#include "base/clock.h"
#include "devsim/device.h"
#include "protocol/transact.h"
#include "usb/device_table.h"
#include "usb/pipe.h"
#include "usb/sim/sim_link.h"

namespace {

using namespace devsim;
using namespace testing;
using Bytes = std::vector<uint8_t>;

class SimTest : public testing::Test {
protected:
    void SetUp() override {
        link.Attach(device, "0101");
        UsbSetLink(&link);
        ASSERT_EQ(UsbEnumDevices(), 1);
        CmdChannelInit(CMD_APP_HEADER, CMD_LETTER, 0);
    }
    void TearDown() override {
        UsbClose(0);
        UsbSetLink(nullptr);
    }

    // One exchange with a text payload sent with its NUL (none when empty); the status
    // bytes of the reply, empty on failure or an empty status.
    Bytes Send(int32_t id, const std::string& text = "") {
        uint8_t status[PKT_STATUS_MAX];
        uint32_t n = CmdTransact(id, status, text.empty() ? 0 : uint32_t(text.size() + 1),
                                 text.c_str(), 5000);
        return Bytes(status, status + n);
    }

    base::ScopedVirtualClock clock{1000};
    devsim::Device device;
    SimUsbLink link;
};

// A change takes effect when its delay has passed, and only then does the poll say done; a
// refused one never completes, so it changes nothing. The changes the tool makes are timed
// and read back by the fault matrix and netcfg-cli's tests; here the joins that fail and
// the texts the tool never sends.
TEST_F(SimTest, ChangesCompleteThroughThePollAfterTheirDelay) {
    using S = DeviceState;
    auto failed = [](uint32_t status) {  // a join that ended with this status word
        return [=](S& s) { return s.joined.empty() && s.wifiStatus == status; };
    };
    const struct {
        int32_t id;
        std::string text;
        uint32_t delayMs;  // 0: refused
        std::function<bool(S&)> done;
        std::function<void(S&)> setup = nullptr;
    } cases[] = {
        {kCmdConnectWifi, "0,09,10,Warehouse,forklift-7", 6000, failed(4),
         [](S& s) { FindNetwork(s, "Warehouse")->inRange = false; }},
        {kCmdConnectWifi, "0,09,10,Warehouse,forklift-7", 6000, failed(16),
         [](S& s) { FindNetwork(s, "Warehouse")->refusesJoin = true; }},
        {kCmdSetEthIpCfg, "2,10.0.0.5,255.0.0.0,10.0.0.1", 0, nullptr},
        {kCmdSetEthIpCfg, "0,10.0.0.256,255.0.0.0,10.0.0.1", 0, nullptr},
        {kCmdSetEthIpCfg, "0,10.0.0.5,255.0.0.0", 0, nullptr},
        {kCmdSetEthIpCfg, "0,10.0.5,255.0.0.0,10.0.0.1", 0, nullptr},
        {kCmdSetWifiIpCfg, "0,10.0.0.5,255.0.0.0,10.0.0.1", 0, nullptr,
         [](S& s) { s.wifi.flags = kIpLocked; }},
        {kCmdConnectWifi, "0,09,05,Warehous,wrong", 0, nullptr},  // the name one short
        {kCmdSetCountry, "XX", 0, nullptr},
        {kCmdConnectWifi, "2,07,00,HomeNet,", 0, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        device.State() = DefaultState();
        if (c.setup) c.setup(device.State());
        EXPECT_TRUE(Send(c.id, c.text).empty());
        clock.Advance(c.delayMs ? c.delayMs - 1 : 120000);
        EXPECT_EQ(Send(kCmdPollDone), Bytes{0});
        if (!c.done) continue;
        EXPECT_FALSE(c.done(device.State()));
        clock.Advance(1);
        EXPECT_EQ(Send(kCmdPollDone), Bytes{1});
        EXPECT_TRUE(c.done(device.State()));
    }
}

// A fresh checksum over what follows the six-byte text header, so that only the edit is wrong.
void Stamp(Bytes& r) {
    PutBE(&r[r.size() - 4], Crc32MsbUpdate(Crc32MsbInit(), &r[6], r.size() - 10), 4);
}

// A request for command 21 with a full payload is answered; spoiled in any one way, it is not.
TEST_F(SimTest, OnlyWellFormedRequestsAreAnswered) {
    auto build = [](uint32_t payloadLen) {
        Bytes out(CMD_REQUEST_CAPACITY + 8), payload(payloadLen, 'p');
        out.resize(PacketBuild(out.data(), kCmdGetEthIpCfg, payloadLen, payload.data()));
        return out;
    };
    Bytes r = build(CMD_PAYLOAD_MAX);
    EXPECT_EQ(device.Receive(r.data(), r.size()), Receipt::Taken);
    EXPECT_TRUE(device.TakeReply());
    const std::pair<const char*, std::function<void(Bytes&)>> spoils[] = {
        {"payload over the limit", [&](Bytes& r) { r = build(CMD_PAYLOAD_MAX + 1); }},
        {"lead", [](Bytes& r) { r[0] = 0x1B; }},
        {"letter", [](Bytes& r) { r[5] = r[14] = 'R', Stamp(r); }},  // the id field holds it too
        {"id field", [](Bytes& r) { r[13] = '2', Stamp(r); }},
        {"length field", [](Bytes& r) { r[7] += 1; }},
        {"payload length", [](Bytes& r) { r[17] -= 1; }},
        {"checksum", [](Bytes& r) { r.back() ^= 0x80; }},
        {"one byte short", [](Bytes& r) { r.pop_back(); }},
        {"one byte over", [](Bytes& r) { r.push_back(0); }},
        {"empty", [](Bytes& r) { r.clear(); }},
    };
    for (const auto& [what, spoil] : spoils) {
        r = build(CMD_PAYLOAD_MAX);
        spoil(r);
        EXPECT_EQ(device.Receive(r.data(), r.size()), Receipt::Refused) << what;
    }
    EXPECT_FALSE(device.TakeReply());
    ASSERT_EQ(device.Requests().size(), 1u);
    EXPECT_EQ(device.Requests()[0].payload.size(), CMD_PAYLOAD_MAX);
    r = build(0);  // unplugged with its reply on the way: back without it
    device.Receive(r.data(), r.size());
    device.SetPresent(false), device.SetPresent(true);
    EXPECT_FALSE(device.PeekReply());
}

// The link opens a device as the Linux driver does: once at a time, never one that is
// gone or that nothing answers behind; an unplug ends the pipes of the old attachment.
TEST(SimLink, OpensOnceAtATimeAndOnlyWhatIsThere) {
    devsim::Device a, b;
    SimUsbLink link;
    link.Attach(a);  // port 0: its position
    link.AttachForeign("abcd", "0001");
    link.Attach(b, "0002", 9);
    ASSERT_TRUE(link.BeginWalk());
    std::string path;
    uint32_t ports[2] = {};
    link.Interface(0, &path, &ports[0]);
    link.Interface(2, &path, &ports[1]);
    link.EndWalk();
    EXPECT_THAT(ports, ElementsAre(1u, 9u));
    auto open = [&](int i) { return link.Open((link.Path(i) + "\\pipe01").c_str()); };
    UsbHandle held = open(0);
    EXPECT_NE(held, USB_INVALID_HANDLE);
    EXPECT_EQ(open(0), USB_INVALID_HANDLE);
    a.SetPresent(false);
    a.SetPresent(true);
    UsbHandle again = open(0);
    EXPECT_NE(again, USB_INVALID_HANDLE);
    EXPECT_TRUE(link.Close(again));
    EXPECT_FALSE(link.Close(again));
    EXPECT_EQ(open(1), USB_INVALID_HANDLE);
    b.SetPresent(false);
    EXPECT_EQ(open(2), USB_INVALID_HANDLE);
}

}  // namespace
