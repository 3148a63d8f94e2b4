// One simulated device behind the simulated USB link, addressed by the exchange layer on
// virtual time: every command, the changes, the misbehaviours and what it must not answer.
#include <gmock/gmock.h>

#include <cstdio>
#include <functional>
#include <sstream>

#include "base/clock.h"
#include "devsim/device.h"
#include "protocol/transact.h"
#include "usb/device_table.h"
#include "usb/pipe.h"
#include "usb/sim/sim_link.h"

namespace {

using namespace devsim;
using testing::MatchesRegex;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;
using Bytes = std::vector<uint8_t>;

// A text reply without its NUL, which must travel inside the payload.
std::string AsText(const Bytes& b) {
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
        UsbClose(0);
        UsbSetLink(nullptr);
    }

    // One exchange with a text payload sent with its NUL (none when empty); the status
    // bytes of the reply, empty on failure or an empty status.
    Bytes Send(int32_t id, const std::string& text = "", int32_t timeoutMs = 5000) {
        uint8_t status[PKT_STATUS_MAX];
        uint32_t n = CmdTransact(id, status, text.empty() ? 0 : uint32_t(text.size() + 1),
                                 text.c_str(), timeoutMs);
        return Bytes(status, status + n);
    }
    uint8_t Poll() {
        Bytes b = Send(devsim::kCmdPollDone);
        return b.size() == 1 ? b[0] : 0xFF;
    }

    base::ScopedVirtualClock clock{1000};
    devsim::Device device;
    SimUsbLink link;
};

uint32_t LE(const Bytes& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}

// The NUL-terminated strings after the 16-byte header of a record; each must end.
std::vector<std::string> Strings(const Bytes& b) {
    EXPECT_TRUE(b.size() == 16 || b.back() == 0) << "the last string has no NUL";
    std::istringstream in(std::string(b.begin() + 16, b.end()));
    std::vector<std::string> out;
    for (std::string s; std::getline(in, s, '\0');) out.push_back(s);
    return out;
}

// The network names of a scan reply, after checking its layout: words R and L, then the
// column count N, N widths, N titles, and R rows of a flag and N cells.
std::vector<std::string> ScanNames(const Bytes& b) {
    EXPECT_EQ(LE(b, 8) + 20, b.size()) << "the receiver keeps exactly L + 20 bytes";
    std::vector<std::string> s = Strings(b), names;
    size_t n = std::stoul(s.at(0));
    EXPECT_EQ(s.size(), 1 + 2 * n + LE(b, 0) * (n + 1));
    for (size_t at = 2 + 2 * n; at < s.size(); at += n + 1) names.push_back(s[at]);
    return names;
}

TEST_F(SimTest, EveryCommandAnswersInItsFormat) {
    auto text = [](const char* regex) {
        return [regex](const Bytes& b) { EXPECT_THAT(AsText(b), MatchesRegex(regex)); };
    };
    auto none = [](const Bytes& b) { EXPECT_TRUE(b.empty()); };  // a change: done later
    const char* ip = "[0-9],[01](,[0-9]{1,3}(\\.[0-9]{1,3}){3}){6}";
    // Room for one row more than a reply holds; one network out of range.
    Network many;
    many.name = std::string(200, 'n');  // cut to what the format allows
    device.State().networks.insert(device.State().networks.end(), 300, many);
    device.State().networks[1].inRange = false;
    device.State().wifiStatus = kStatusConnectError | kStatusPasswordMismatch | 4;
    const struct {
        int32_t id;
        std::string payload;
        std::function<void(const Bytes&)> check;
    } cases[] = {
        {kCmdQueryInfo, "", text(".+")},
        {kCmdQueryExtra, "", text(".*")},
        {kCmdQueryExtraAlt, "", text(".+")},
        {kCmdGetEthIpCfg, "", text(ip)},
        {kCmdGetWifiIpCfg, "", text(ip)},
        {kCmdGetCountryList, "",
         [](const Bytes& b) {  // count, current, 0, the codes' size, then code and name each
             std::vector<std::string> s = Strings(b);
             ASSERT_EQ(s.size(), 2 * LE(b, 0));
             uint32_t codes = 0;
             for (size_t i = 0; i < s.size(); i += 2) codes += uint32_t(s[i].size() + 1);
             EXPECT_EQ(LE(b, 12), codes);
             EXPECT_EQ(s.at(2 * LE(b, 4)), "DE");
         }},
        {kCmdScanWifi, "",
         [](const Bytes& b) {
             std::vector<std::string> names = ScanNames(b);
             EXPECT_GT(b.size(), PKT_STATUS_MAX - 150) << "filled up to the last row that fits";
             EXPECT_GT(names.size(), 6u);
             EXPECT_EQ(names.at(1), "Guest Lounge");  // Office-5G is out of range
         }},
        {kCmdGetSsid, "", text("HomeNet")},
        {kCmdGetWifiStatus, "", text("1c")},
        {kCmdPollDone, "", [](const Bytes& b) { EXPECT_EQ(b, Bytes{1}); }},
        {kCmdSetEthIpCfg, "0,10.0.0.5,255.0.0.0,10.0.0.1", none},
        {kCmdSetWifiIpCfg, "1,192.168.1.61,255.255.255.0,192.168.1.1", none},
        {kCmdSetCountry, "JP", none},
        {kCmdConnectWifi, "0,12,00,Guest Lounge,", none},
        {kCmdDeleteProfile, "Office-5G",
         [this](const Bytes& b) {  // at once, no completion to wait for
             EXPECT_TRUE(b.empty());
             EXPECT_FALSE(FindNetwork(device.State(), "Office-5G")->hasProfile);
         }},
    };
    const uint32_t start = clock.Now();
    std::vector<int32_t> sent;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        c.check(Send(c.id, c.payload, c.id == kCmdScanWifi ? 30000 : 500));
        sent.push_back(c.id);
    }
    EXPECT_EQ(clock.Now() - start, device.State().timing.scanMs) << "only the scan takes time";
    EXPECT_EQ(device.CommandIds(), sent);
}

// A change takes effect when its delay has passed, and only then does the poll say done; a
// refused one changes nothing and never completes.
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
        {kCmdConnectWifi, "0,09,01,Elsewhere,x", 6000, joined("", 4)},
        {kCmdConnectWifi, "1,09,00,Office-5G,", 6000, joined("Office-5G", 0)},  // stored password
        {kCmdConnectWifi, "0,09,10,Warehouse,forklift-7", 6000, joined("", 4),
         [](S& s) { FindNetwork(s, "Warehouse")->inRange = false; }},
        {kCmdConnectWifi, "0,09,10,Warehouse,forklift-7", 6000, joined("", 16),
         [](S& s) { FindNetwork(s, "Warehouse")->refusesJoin = true; }},
        {kCmdSetEthIpCfg, "2,10.0.0.5,255.0.0.0,10.0.0.1", 0, nullptr},
        {kCmdSetEthIpCfg, "0,10.0.0.256,255.0.0.0,10.0.0.1", 0, nullptr},
        {kCmdSetEthIpCfg, "0,10.0.0.5,255.0.0.0", 0, nullptr},
        {kCmdSetWifiIpCfg, "0,10.0.0.5,255.0.0.0,10.0.0.1", 0, nullptr,
         [](S& s) { s.wifi.flags = kIpLocked; }},
        {kCmdSetCountry, "XX", 0, nullptr},
        {kCmdConnectWifi, "2,07,00,HomeNet,", 0, nullptr},
    };
    auto snapshot = [&] {
        return AsText(Send(kCmdGetEthIpCfg)) + AsText(Send(kCmdGetWifiIpCfg)) +
               AsText(Send(kCmdGetSsid)) + AsText(Send(kCmdGetWifiStatus)) +
               std::to_string(device.State().currentCountry);
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        device.State() = DefaultState();
        if (c.setup) c.setup(device.State());
        const std::string before = snapshot();
        EXPECT_TRUE(Send(c.id, c.text).empty());
        clock.Advance(c.delayMs ? c.delayMs - 1 : 120000);
        EXPECT_EQ(Poll(), 0);
        if (!c.done) {
            EXPECT_EQ(snapshot(), before);
            continue;
        }
        EXPECT_FALSE(c.done(device.State()));
        clock.Advance(1);
        EXPECT_EQ(Poll(), 1);
        EXPECT_TRUE(c.done(device.State()));
    }
}

std::string g_notices;
void RecordNotice(const char* text) { g_notices += text; }

const char kStale[] = "<the CmdSeq line for the first exchange>";

struct Outcome {
    bool ok = true;
    const char* line = "";  // a regular expression for what was printed, or kStale
    uint32_t costMs = 0;
};

TEST_F(SimTest, EachMisbehaviourFailsAsTheExchangeLayerSaysAndTheNextCleanOneSucceeds) {
    const struct {
        const char* what;
        FaultRule rule;
        Outcome first, second = {};  // the second succeeds unless told
        size_t recorded = 3;         // requests the device saw in the three exchanges
    } cases[] = {
        {"no reply", NoReply(), {false, "", 5000}},
        {"late in time", LateReply(1200), {true, "", 1200}},
        {"late after the time-out", LateReply(7000), {false, "", 5000}, {false, kStale, 2000}},
        {"stale", StaleReply(), {false, "", 5000}, {false, kStale, 0}},
        {"bad checksum", BadChecksum(), {false, "CRC [0-9a-f]{8} != [0-9a-f]{8} Error!!!\n", 0}},
        {"bad app header",
         BadAppHeader(),
         {false, "Pkt AppHeader 6462706b != 4442504b Error!!!\n", 0}},
        {"truncated", Truncated(), {false, "CRC [0-9a-f]{8} != 00000000 Error!!!\n", 0}},
        {"split", Split(50, 7), {true, "", 14}},  // 101 bytes: three pieces
        {"stalled write", StallWrite(), {false, "", 30}, {}, 2},
        // No rule: unplugged, then back, with the pipe opened before dead until a new walk.
        {"vanish and return", NoReply().Times(0), {false, "", 0}, {false, "", 0}, 1},
    };
    const Outcome clean;
    UsbSetNoticeFn(RecordNotice);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        g_notices.clear();
        device.ClearRequests();
        device.Inject(c.rule);
        const bool vanish = c.rule.times == 0;
        uint32_t firstSeq = g_cmdSeq + 1;
        for (const Outcome* o : {&c.first, &c.second, &clean}) {
            if (vanish) device.SetPresent(o != &c.first);
            if (vanish && o == &clean) UsbEnumDevices();
            uint32_t start = clock.Now();
            CaptureStdout();
            EXPECT_EQ(Send(kCmdGetEthIpCfg).empty(), !o->ok);
            std::string printed = GetCapturedStdout();
            EXPECT_EQ(clock.Now() - start, o->costMs);
            char stale[80];
            std::snprintf(stale, sizeof stale, "Pkt CmdSeq %04x != %04x Error!!!\n", firstSeq,
                          firstSeq + 1);
            EXPECT_THAT(printed, testing::MatchesRegex(o->line == kStale ? stale : o->line));
        }
        EXPECT_EQ(device.Requests().size(), c.recorded);
        EXPECT_EQ(g_notices, c.rule.fault == Fault::StallWrite ? "Write to USB Timeout" : "");
    }
    UsbSetNoticeFn(nullptr);
}

// A fresh checksum over what follows the six-byte text header, so that only the edit is wrong.
void Stamp(Bytes& r) {
    PutBE(&r[r.size() - 4], Crc32MsbUpdate(Crc32MsbInit(), &r[6], r.size() - 10), 4);
}

// A valid request for command 21 with payload, then the same with one thing wrong.
TEST_F(SimTest, OnlyWellFormedRequestsAreAnswered) {
    auto build = [](uint32_t payloadLen) {
        Bytes out(CMD_REQUEST_CAPACITY + 8), payload(payloadLen, 'p');
        out.resize(PacketBuild(out.data(), kCmdGetEthIpCfg, payloadLen, payload.data()));
        return out;
    };
    const struct {
        const char* what;
        std::function<void(Bytes&)> spoil;
        uint32_t payloadLen = 2;
        bool answered = false;
    } cases[] = {
        {"valid", [](Bytes&) {}, 2, true},
        {"full payload", [](Bytes&) {}, CMD_PAYLOAD_MAX, true},
        {"payload over the limit", [](Bytes&) {}, CMD_PAYLOAD_MAX + 1},
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
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes r = build(c.payloadLen);
        c.spoil(r);
        EXPECT_EQ(device.Receive(r.data(), r.size()),
                  c.answered ? Receipt::Taken : Receipt::Refused);
        EXPECT_EQ(device.TakeReply().has_value(), c.answered);
    }
    EXPECT_EQ(device.Requests().size(), 2u);
    EXPECT_EQ(device.Requests()[1].payload.size(), CMD_PAYLOAD_MAX);
}

}  // namespace
