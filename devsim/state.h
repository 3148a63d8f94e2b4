// What the simulated device knows: its identity, both IP configurations, the country
// table, the networks around it, and how long its work takes. Tests change any of it
// through Device::State(); DefaultState() is a believable device out of the box.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace devsim {

inline constexpr int32_t kIpLocked = 4;  // bit of IpConfig::flags: the tool may not change it

struct IpAddrs {
    std::string addr;
    std::string mask;
    std::string gateway;
};

struct IpConfig {
    int32_t flags = 0;
    int32_t dhcp = 0;   // 1 while the interface takes its address from a DHCP server
    IpAddrs dhcpSet;    // the lease, what the interface uses while DHCP is on
    IpAddrs staticSet;  // what it uses while DHCP is off
};

struct Country {
    std::string code;  // what the set command names it by
    std::string name;  // what the list shows
};

struct Network {
    std::string name;  // bytes as broadcast; UTF-8 allowed
    std::string bssid;
    int32_t channel = 1;
    int32_t signal = 50;  // percent
    std::string mode;
    std::string security;  // "--" for an open network
    std::string cipher;
    std::string password;         // what the access point accepts
    bool hasProfile = false;      // the device stored credentials for it
    std::string profilePassword;  // the stored password, used when a join brings none
    bool inRange = true;          // scans list it, joins can find it
    bool refusesJoin = false;     // association fails whatever the password
};

// Milliseconds the device takes; the reply or the completion comes this long after the
// request.
struct Timing {
    uint32_t replyMs = 0;  // every reply but the scan's
    uint32_t scanMs = 2500;
    uint32_t ipApplyMs = 3000;
    uint32_t countryApplyMs = 2000;
    uint32_t connectMs = 6000;
};

struct DeviceState {
    uint32_t appHeader = 0x4442504B;  // carried in every reply
    char letter = 'Q';                // requests with another letter are not for us

    std::string info;      // identity, command 11
    std::string extra;     // command 20; empty makes the tool ask 19
    std::string extraAlt;  // command 19

    IpConfig eth;
    IpConfig wifi;

    std::vector<Country> countries;
    int32_t currentCountry = 0;  // index into countries

    std::vector<Network> networks;
    std::string joined;       // name of the network the device is joined to, empty for none
    uint32_t wifiStatus = 0;  // bits of the last join's failure

    Timing timing;
};

// The bits of DeviceState::wifiStatus.
inline constexpr uint32_t kStatusSsidNotFound = 0x04;
inline constexpr uint32_t kStatusPasswordMismatch = 0x08;
inline constexpr uint32_t kStatusConnectError = 0x10;

DeviceState DefaultState();

// The network of that name (exact bytes), or nullptr.
Network* FindNetwork(DeviceState& state, const std::string& name);

}  // namespace devsim
