#include "devsim/commands.h"

#include <cstdio>
#include <utility>

namespace devsim {

void Change::Start(uint32_t now, uint32_t delay, std::function<void(DeviceState&)> fn) {
    // A change sent while another still runs replaces it: the firmware abandons the
    // earlier one, as the tool only sends the next change after its wait gave up.
    phase = Phase::Running;
    startedAt = now;
    delayMs = delay;
    apply = std::move(fn);
}

void Change::Refuse() {
    phase = Phase::Refused;
    apply = nullptr;
}

void Change::Settle(DeviceState& state, uint32_t now) {
    if (phase != Phase::Running || now - startedAt < delayMs) return;
    phase = Phase::Idle;
    if (apply) apply(state);
    apply = nullptr;
}

namespace {

void QueryInfo(CommandContext& c) { c.status.PutText(c.state.info); }
void QueryExtra(CommandContext& c) { c.status.PutText(c.state.extra); }
void QueryExtraAlt(CommandContext& c) { c.status.PutText(c.state.extraAlt); }
void GetEthIpCfg(CommandContext& c) { c.status.PutText(IpConfigText(c.state.eth)); }
void GetWifiIpCfg(CommandContext& c) { c.status.PutText(IpConfigText(c.state.wifi)); }

// A locked interface or a text that does not check out is refused, and the completion
// poll then never reports done, so the tool tells the user the setting failed.
void SetIpCfg(CommandContext& c, IpConfig DeviceState::*which) {
    int32_t dhcp = 0;
    IpAddrs set;
    if (((c.state.*which).flags & kIpLocked) || !ParseIpSetText(c.text, &dhcp, &set)) {
        c.change.Refuse();
        return;
    }
    c.change.Start(c.now, c.state.timing.ipApplyMs, [which, dhcp, set](DeviceState& s) {
        IpConfig& cfg = s.*which;
        cfg.dhcp = dhcp;
        // With DHCP on the server decides the addresses; the ones sent are what the tool
        // showed of the lease.
        if (!dhcp) cfg.staticSet = set;
    });
}
void SetEthIpCfg(CommandContext& c) { SetIpCfg(c, &DeviceState::eth); }
void SetWifiIpCfg(CommandContext& c) { SetIpCfg(c, &DeviceState::wifi); }

void GetCountryList(CommandContext& c) {
    CountryRecord(c.state.countries, c.state.currentCountry, &c.status);
}

// An unknown code is refused like a bad IP text: no change, and no completion.
void SetCountry(CommandContext& c) {
    for (size_t i = 0; i < c.state.countries.size(); ++i) {
        if (c.state.countries[i].code != c.text) continue;
        int32_t index = static_cast<int32_t>(i);
        c.change.Start(c.now, c.state.timing.countryApplyMs,
                       [index](DeviceState& s) { s.currentCountry = index; });
        return;
    }
    c.change.Refuse();
}

void ScanWifi(CommandContext& c) {
    c.replyDelay = c.state.timing.scanMs;
    ScanReply(c.state, &c.status);
}

// The outcome of a join, decided when it completes, so that a test can still move the
// network out of range while the device is at it. A failed join leaves the device joined
// to nothing: it left its network to try the new one.
void Join(DeviceState& s, const JoinRequest& j) {
    Network* n = FindNetwork(s, j.name);
    s.joined.clear();
    if (!n || !n->inRange) {
        s.wifiStatus = kStatusSsidNotFound;
        return;
    }
    // A join that brings no password uses the stored one.
    const std::string& password =
        j.password.empty() && n->hasProfile ? n->profilePassword : j.password;
    if (n->refusesJoin) {
        s.wifiStatus = kStatusConnectError;
    } else if (n->security != "--" && password != n->password) {
        s.wifiStatus = kStatusPasswordMismatch;
    } else {
        n->hasProfile = true;
        n->profilePassword = password;
        s.joined = n->name;
    }
}

void ConnectWifi(CommandContext& c) {
    JoinRequest j;
    if (!ParseConnectText(c.text, &j)) {
        c.change.Refuse();
        return;
    }
    c.state.wifiStatus = 0;  // the status word speaks of the join under way
    c.change.Start(c.now, c.state.timing.connectMs, [j](DeviceState& s) { Join(s, j); });
}

void GetSsid(CommandContext& c) { c.status.PutText(c.state.joined); }

// Forgets the stored credentials at once; no completion to wait for. The association, if
// any, stays until the next join.
void DeleteProfile(CommandContext& c) {
    if (Network* n = FindNetwork(c.state, std::string(c.text))) {
        n->hasProfile = false;
        n->profilePassword.clear();
    }
}

void PollDone(CommandContext& c) {
    uint8_t done = c.change.phase == Change::Phase::Idle ? 1 : 0;
    c.status.Put(&done, 1);
}

void GetWifiStatus(CommandContext& c) {
    char text[16];
    std::snprintf(text, sizeof text, "%x", c.state.wifiStatus);
    c.status.PutText(text);
}

struct Command {
    int32_t id;
    CommandHandler run;
};

const Command kCommands[] = {
    {kCmdQueryInfo, QueryInfo},         {kCmdQueryExtraAlt, QueryExtraAlt},
    {kCmdQueryExtra, QueryExtra},       {kCmdGetEthIpCfg, GetEthIpCfg},
    {kCmdGetWifiIpCfg, GetWifiIpCfg},   {kCmdSetEthIpCfg, SetEthIpCfg},
    {kCmdSetWifiIpCfg, SetWifiIpCfg},   {kCmdGetCountryList, GetCountryList},
    {kCmdSetCountry, SetCountry},       {kCmdScanWifi, ScanWifi},
    {kCmdConnectWifi, ConnectWifi},     {kCmdGetSsid, GetSsid},
    {kCmdDeleteProfile, DeleteProfile}, {kCmdPollDone, PollDone},
    {kCmdGetWifiStatus, GetWifiStatus},
};

}  // namespace

CommandHandler FindCommand(int32_t cmdId) {
    for (const Command& c : kCommands)
        if (c.id == cmdId) return c.run;
    return nullptr;
}

}  // namespace devsim
