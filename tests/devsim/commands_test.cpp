// Every command of the device through the real exchange layer and the simulated link.
#include <algorithm>
#include <cstdio>
#include <functional>

#include "sim_fixture.h"

namespace {

using namespace devsim;

const std::string kCafe = "Caf\xc3\xa9 Z\xc3\xbcrich";

uint32_t LE(const Bytes& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}

// The NUL-terminated strings from offset `from` to the end.
std::vector<std::string> Strings(const Bytes& b, size_t from) {
    std::vector<std::string> out(1);
    for (size_t i = from; i < b.size(); ++i) {
        if (b[i] == 0) {
            out.emplace_back();
        } else {
            out.back() += char(b[i]);
        }
    }
    EXPECT_TRUE(out.back().empty()) << "the last string has no NUL";
    out.pop_back();
    return out;
}

std::string ConnectText(int profile, const std::string& name, const std::string& password) {
    char text[256];
    std::snprintf(text, sizeof text, "%d,%02d,%02d,%s,%s", profile, int(name.size()),
                  int(password.size()), name.c_str(), password.c_str());
    return text;
}

// The rows of a scan reply as {flag, name, security}, after checking its layout.
std::vector<std::vector<std::string>> ScanRows(const Bytes& b) {
    std::vector<std::vector<std::string>> rows;
    if (b.size() < 20) return rows;
    EXPECT_EQ(LE(b, 8) + 20, b.size()) << "the receiver keeps exactly L + 20 bytes";
    std::vector<std::string> s = Strings(b, 16);
    size_t n = size_t(std::stoi(s.at(0)));
    int widest = 0;
    for (size_t i = 1; i <= n; ++i) widest = std::max(widest, std::stoi(s.at(i)));
    for (size_t i = n + 1; i <= 2 * n; ++i) EXPECT_LT(s.at(i).size(), size_t(widest));
    EXPECT_EQ(s.size(), 1 + 2 * n + LE(b, 0) * (n + 1));
    for (size_t at = 1 + 2 * n; at + n < s.size(); at += n + 1) {
        for (size_t j = 0; j <= n; ++j) EXPECT_LT(s[at + j].size(), 4u * widest);
        rows.push_back({s[at], s[at + 1], s[at + 6]});
    }
    return rows;
}

TEST_F(SimTest, ReadingCommandsAnswerInTheirFormats) {
    auto text = [](const char* want) {
        return [want](const Bytes& b) { EXPECT_EQ(AsText(b), want); };
    };
    const struct {
        int32_t id;
        std::function<void(const Bytes&)> check;
    } cases[] = {
        {kCmdQueryInfo, text("Quillo R7 Network Module")},
        {kCmdQueryExtra, text("")},
        {kCmdQueryExtraAlt, text("FW 1.01.02")},
        {kCmdGetEthIpCfg,
         text("0,1,192.168.1.57,255.255.255.0,192.168.1.1,192.168.1.100,255.255.255.0,"
              "192.168.1.1")},
        {kCmdGetWifiIpCfg,
         text("0,0,192.168.1.61,255.255.255.0,192.168.1.1,192.168.1.200,255.255.255.0,"
              "192.168.1.1")},
        {kCmdGetCountryList,
         [](const Bytes& b) {
             ASSERT_GE(b.size(), 16u);
             EXPECT_EQ(LE(b, 0), 12u);
             EXPECT_EQ(LE(b, 4), 5u);
             std::vector<std::string> s = Strings(b, 16);
             ASSERT_EQ(s.size(), 24u);
             uint32_t codes = 0;
             for (size_t i = 0; i < s.size(); i += 2) codes += uint32_t(s[i].size() + 1);
             EXPECT_EQ(LE(b, 12), codes);
             EXPECT_EQ(s[10] + "/" + s[11], "DE/Germany");
         }},
        {kCmdScanWifi,
         [](const Bytes& b) {
             const std::vector<std::vector<std::string>> want = {
                 {"3", "HomeNet", "WPA2-PSK"},    {"2", "Office-5G", "WPA2-PSK"},
                 {"4", "Guest Lounge", "--"},     {"0", kCafe, "WPA2-PSK"},
                 {"0", "Lab,Bench 2", "WPA-PSK"}, {"0", "NEIGHBOUR-2.4", "WPA2-PSK"},
                 {"0", "Warehouse", "WPA3-SAE"}};
             EXPECT_EQ(ScanRows(b), want);
         }},
        {kCmdGetSsid, text("HomeNet")},
        {kCmdPollDone, [](const Bytes& b) { EXPECT_EQ(b, Bytes{1}); }},
        {kCmdGetWifiStatus, text("0")},
    };
    uint32_t start = clock.Now();
    std::vector<int32_t> sent;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        c.check(Send(c.id, "", c.id == kCmdScanWifi ? 30000 : 500));
        sent.push_back(c.id);
    }
    EXPECT_EQ(clock.Now() - start, 2500u) << "only the scan takes time";
    EXPECT_EQ(device.CommandIds(), sent);

    device.State().wifiStatus = kStatusConnectError | kStatusPasswordMismatch | 4;
    EXPECT_EQ(Text(kCmdGetWifiStatus), "1c");
}

TEST_F(SimTest, ScanListsOnlyNetworksInRangeAndStaysWithinOneReply) {
    device.State().networks[1].inRange = false;
    EXPECT_EQ(ScanRows(Send(kCmdScanWifi, "", 30000)).size(), 6u);

    for (int i = 0; i < 300; ++i) {
        Network n;
        n.name = std::string(200, char('a' + i % 26));  // cut to what the format allows
        device.State().networks.push_back(n);
    }
    Bytes b = Send(kCmdScanWifi, "", 30000);
    EXPECT_GT(b.size(), PKT_STATUS_MAX - 150);  // filled up to the last row that fits
    EXPECT_GT(ScanRows(b).size(), 6u);
}

TEST_F(SimTest, ChangesTakeEffectAndCompleteAfterTheirDelay) {
    const struct {
        int32_t id;
        std::string text;
        uint32_t delayMs;
        std::function<bool(DeviceState&)> applied;
    } cases[] = {
        {kCmdSetEthIpCfg, "0,10.0.0.5,255.0.0.0,10.0.0.1", 3000,
         [](DeviceState& s) { return s.eth.dhcp == 0 && s.eth.staticSet.gateway == "10.0.0.1"; }},
        {kCmdSetWifiIpCfg, "1,192.168.1.61,255.255.255.0,192.168.1.1", 3000,
         [](DeviceState& s) {
             return s.wifi.dhcp == 1 && s.wifi.staticSet.addr == "192.168.1.200";
         }},
        {kCmdSetCountry, "JP", 2000, [](DeviceState& s) { return s.currentCountry == 9; }},
        {kCmdConnectWifi, ConnectText(0, kCafe, "espresso"), 6000,
         [](DeviceState& s) { return s.joined == kCafe && FindNetwork(s, kCafe)->hasProfile; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        device.State() = DefaultState();
        device.ClearRequests();
        uint32_t start = clock.Now();
        EXPECT_TRUE(Send(c.id, c.text).empty());
        EXPECT_EQ(clock.Now(), start) << "an empty reply, not a time-out";
        clock.Advance(c.delayMs - 1);
        EXPECT_EQ(Poll(), 0);
        EXPECT_FALSE(c.applied(device.State()));
        clock.Advance(1);
        EXPECT_EQ(Poll(), 1);
        EXPECT_TRUE(c.applied(device.State()));
        EXPECT_TRUE(device.Requests().at(0).Text() == c.text);  // no password in the output
    }
}

TEST_F(SimTest, RefusedChangesChangeNothingAndNeverComplete) {
    const struct {
        int32_t id;
        std::string text;
        bool lockWifi = false;
    } cases[] = {
        {kCmdSetEthIpCfg, "2,10.0.0.5,255.0.0.0,10.0.0.1"},
        {kCmdSetEthIpCfg, "0,10.0.0,255.0.0.0,10.0.0.1"},
        {kCmdSetEthIpCfg, "0,10.0.0.256,255.0.0.0,10.0.0.1"},
        {kCmdSetEthIpCfg, "0, 10.0.0.5,255.0.0.0,10.0.0.1"},
        {kCmdSetEthIpCfg, "0,10.0.0.5,255.0.0.0"},
        {kCmdSetEthIpCfg, "0,10.0.0.5,255.0.0.0,10.0.0.1,"},
        {kCmdSetWifiIpCfg, "0,10.0.0.5,255.0.0.0,10.0.0.1", true},
        {kCmdSetCountry, "XX"},
        {kCmdConnectWifi, "0,05,00,Guest Lounge,"},
        {kCmdConnectWifi, "2,07,00,HomeNet,"},
        {kCmdConnectWifi, "0,07,00HomeNet,"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        device.State() = DefaultState();
        device.State().wifi.flags = c.lockWifi ? kIpLocked : 0;
        const std::string before = Text(kCmdGetEthIpCfg) + Text(kCmdGetWifiIpCfg);
        EXPECT_TRUE(Send(c.id, c.text).empty());
        clock.Advance(120000);
        EXPECT_EQ(Poll(), 0);
        EXPECT_EQ(Text(kCmdGetEthIpCfg) + Text(kCmdGetWifiIpCfg), before);
        EXPECT_EQ(device.State().currentCountry, DefaultState().currentCountry);
        EXPECT_EQ(Text(kCmdGetSsid), "HomeNet");
    }
}

TEST_F(SimTest, JoinOutcomesShowInTheStatusWordAndTheJoinedName) {
    const struct {
        const char* what;
        std::string text;
        const char* status;
        const char* joined;
        std::function<void(DeviceState&)> setup = nullptr;
    } cases[] = {
        {"wrong password", ConnectText(0, "Office-5G", "nope"), "8", ""},
        {"stored profile", ConnectText(1, "Office-5G", ""), "0", "Office-5G"},
        {"open network", ConnectText(0, "Guest Lounge", ""), "0", "Guest Lounge"},
        {"comma in name", ConnectText(0, "Lab,Bench 2", "solder-fumes"), "0", "Lab,Bench 2"},
        {"not around", ConnectText(0, "Elsewhere", "x"), "4", ""},
        {"out of range", ConnectText(0, "Warehouse", "forklift-7"), "4", "",
         [](DeviceState& s) { FindNetwork(s, "Warehouse")->inRange = false; }},
        {"refused", ConnectText(0, "Warehouse", "forklift-7"), "10", "",
         [](DeviceState& s) { FindNetwork(s, "Warehouse")->refusesJoin = true; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        device.State() = DefaultState();
        if (c.setup) c.setup(device.State());
        Send(kCmdConnectWifi, c.text);
        clock.Advance(6000);
        EXPECT_EQ(Poll(), 1);
        EXPECT_EQ(Text(kCmdGetWifiStatus), c.status);
        EXPECT_EQ(Text(kCmdGetSsid), c.joined);
        if (*c.joined) {
            EXPECT_TRUE(FindNetwork(device.State(), c.joined)->hasProfile);
        }
    }
}

TEST_F(SimTest, DeletingAProfileIsImmediateAndForgetsThePassword) {
    EXPECT_TRUE(Send(kCmdDeleteProfile, "Office-5G").empty());
    EXPECT_TRUE(Send(kCmdDeleteProfile, "Nobody's").empty());
    EXPECT_EQ(Poll(), 1);
    EXPECT_EQ(ScanRows(Send(kCmdScanWifi, "", 30000)).at(1).at(0), "0");

    Send(kCmdConnectWifi, ConnectText(1, "Office-5G", ""));
    clock.Advance(6000);
    EXPECT_EQ(Poll(), 1);
    EXPECT_EQ(Text(kCmdGetWifiStatus), "8");
}

}  // namespace
