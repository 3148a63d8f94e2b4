// One simulated device behind the simulated USB link, addressed by the exchange layer on
// virtual time: every command, the changes, the misbehaviours and what it must not answer.
#include <gmock/gmock.h>

#include <functional>
#include <regex>
#include <sstream>

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

// POSIX extended regular expressions on every platform: GoogleTest's own are a small subset
// on Windows.
MATCHER_P(MatchesRegex, pattern, "") {
    return std::regex_match(arg, std::regex(pattern, std::regex::extended));
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

uint32_t LE(const Bytes& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}

// The NUL-terminated strings after the header of a record; each must end.
std::vector<std::string> Strings(const Bytes& b, size_t header = 16) {
    EXPECT_TRUE(b.size() == header || b.back() == 0) << "the last string has no NUL";
    std::istringstream in(std::string(b.begin() + header, b.end()));
    std::vector<std::string> out;
    for (std::string s; std::getline(in, s, '\0');) out.push_back(s);
    return out;
}

TEST_F(SimTest, EveryQueryAnswersInItsFormatAndOnlyTheScanTakesTime) {
    // Room for one row more than a reply holds, with names cut to what the format allows;
    // one network out of range.
    Network many;
    many.name = std::string(200, 'n');
    device.State().networks.insert(device.State().networks.end(), 300, many);
    device.State().networks[1].inRange = false;
    device.State().wifiStatus = kStatusConnectError | kStatusPasswordMismatch | 4;
    const char* ip = "[0-9],[01](,[0-9]{1,3}(\\.[0-9]{1,3}){3}){6}";
    const std::pair<int32_t, const char*> texts[] = {
        {kCmdQueryInfo, ".+"},     {kCmdQueryExtra, ""},   {kCmdQueryExtraAlt, ".+"},
        {kCmdGetEthIpCfg, ip},     {kCmdGetWifiIpCfg, ip}, {kCmdGetSsid, "HomeNet"},
        {kCmdGetWifiStatus, "1c"},
    };
    const uint32_t start = clock.Now();
    for (auto [id, regex] : texts)
        EXPECT_THAT(Strings(Send(id), 0), ElementsAre(MatchesRegex(regex))) << id;

    Bytes b = Send(kCmdGetCountryList);  // count, current, 0, the codes' size, code and name each
    std::vector<std::string> s = Strings(b);
    ASSERT_EQ(s.size(), 2 * LE(b, 0));
    uint32_t codes = 0;
    for (size_t i = 0; i < s.size(); i += 2) codes += uint32_t(s[i].size() + 1);
    EXPECT_EQ(LE(b, 12), codes);
    EXPECT_EQ(s.at(2 * LE(b, 4)), "DE");

    // Words R and L, then the column count N, N widths, N titles, and R rows of a flag and
    // N cells; the receiver keeps exactly L + 20 bytes.
    b = Send(kCmdScanWifi);
    EXPECT_EQ(clock.Now() - start, device.State().timing.scanMs);
    EXPECT_EQ(LE(b, 8) + 20, b.size());
    EXPECT_GT(b.size(), PKT_STATUS_MAX - 150) << "filled up to the last row that fits";
    s = Strings(b);
    size_t n = std::stoul(s.at(0));
    ASSERT_EQ(s.size(), 1 + 2 * n + LE(b, 0) * (n + 1));
    EXPECT_EQ(s.at(3 + 3 * n), "Guest Lounge");  // Office-5G is out of range

    EXPECT_TRUE(Send(kCmdDeleteProfile, "Office-5G").empty());
    EXPECT_FALSE(FindNetwork(device.State(), "Office-5G")->hasProfile) << "at once";
}

// A change takes effect when its delay has passed, and only then does the poll say done; a
// refused one never completes, so it changes nothing.
TEST_F(SimTest, ChangesCompleteThroughThePollAfterTheirDelay) {
    using S = DeviceState;
    auto joined = [](std::string name, uint32_t status) {
        return [=](S& s) {
            return s.joined == name && s.wifiStatus == status &&
                   (name.empty() || FindNetwork(s, name)->hasProfile);
        };
    };
    const struct {
        int32_t id;
        std::string text;
        uint32_t delayMs;  // 0: refused
        std::function<bool(S&)> done;
        std::function<void(S&)> setup = nullptr;
    } cases[] = {
        {kCmdSetEthIpCfg, "0,10.0.0.5,255.0.0.0,10.0.0.1", 3000,
         [](S& s) { return s.eth.dhcp == 0 && s.eth.staticSet.gateway == "10.0.0.1"; }},
        {kCmdSetWifiIpCfg, "1,192.168.1.61,255.255.255.0,192.168.1.1", 3000,
         [](S& s) { return s.wifi.dhcp == 1 && s.wifi.staticSet.addr == "192.168.1.200"; }},
        {kCmdSetCountry, "JP", 2000, [](S& s) { return s.currentCountry == 9; }},
        {kCmdConnectWifi, "1,09,00,Office-5G,", 6000, joined("Office-5G", 0)},  // stored password
        {kCmdConnectWifi, "0,09,10,Warehouse,forklift-7", 6000, joined("Warehouse", 0)},
        {kCmdConnectWifi, "0,09,05,Warehouse,wrong", 6000, joined("", 8)},
        {kCmdConnectWifi, "0,09,10,Warehouse,forklift-7", 6000, joined("", 4),
         [](S& s) { FindNetwork(s, "Warehouse")->inRange = false; }},
        {kCmdConnectWifi, "0,09,10,Warehouse,forklift-7", 6000, joined("", 16),
         [](S& s) { FindNetwork(s, "Warehouse")->refusesJoin = true; }},
        {kCmdSetEthIpCfg, "2,10.0.0.5,255.0.0.0,10.0.0.1", 0, nullptr},
        {kCmdSetEthIpCfg, "0,10.0.0.256,255.0.0.0,10.0.0.1", 0, nullptr},
        {kCmdSetEthIpCfg, "0,10.0.0.5,255.0.0.0", 0, nullptr},
        {kCmdSetEthIpCfg, "0,10.0.5,255.0.0.0,10.0.0.1", 0, nullptr},
        {kCmdSetWifiIpCfg, "0,10.0.0.5,255.0.0.0,10.0.0.1", 0, nullptr,
         [](S& s) { s.wifi.flags = kIpLocked; }},
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
}

}  // namespace
