#include "devsim/state.h"

namespace devsim {

DeviceState DefaultState() {
    DeviceState s;
    s.info = "Quillo R7 Network Module";
    s.extra = "";  // this firmware answers its version on the alternative query
    s.extraAlt = "FW 1.01.02";

    s.eth.dhcp = 1;
    s.eth.dhcpSet = {"192.168.1.57", "255.255.255.0", "192.168.1.1"};
    s.eth.staticSet = {"192.168.1.100", "255.255.255.0", "192.168.1.1"};
    s.wifi.dhcp = 0;
    s.wifi.dhcpSet = {"192.168.1.61", "255.255.255.0", "192.168.1.1"};  // its last lease
    s.wifi.staticSet = {"192.168.1.200", "255.255.255.0", "192.168.1.1"};

    s.countries = {
        {"US", "United States"},  {"CA", "Canada"},  {"MX", "Mexico"}, {"BR", "Brazil"},
        {"GB", "United Kingdom"}, {"DE", "Germany"}, {"FR", "France"}, {"ES", "Spain"},
        {"IT", "Italy"},          {"JP", "Japan"},   {"KR", "Korea"},  {"AU", "Australia"},
    };
    s.currentCountry = 5;

    auto net = [](const char* name, const char* bssid, int32_t channel, int32_t signal,
                  const char* security, const char* cipher, const char* password) {
        Network n;
        n.name = name;
        n.bssid = bssid;
        n.channel = channel;
        n.signal = signal;
        n.mode = channel > 14 ? "11ac" : "11n";
        n.security = security;
        n.cipher = cipher;
        n.password = password;
        return n;
    };
    s.networks = {
        net("HomeNet", "a4:2b:b0:11:22:33", 6, 92, "WPA2-PSK", "AES", "correct-horse"),
        net("Office-5G", "a4:2b:b0:44:55:66", 36, 71, "WPA2-PSK", "AES", "paperjam-42"),
        net("Guest Lounge", "0c:80:63:0a:0b:0c", 11, 64, "--", "--", ""),
        net("Caf\xc3\xa9 Z\xc3\xbcrich", "3c:84:6a:de:ad:01", 1, 48, "WPA2-PSK", "AES", "espresso"),
        net("Lab,Bench 2", "f0:9f:c2:77:88:99", 3, 40, "WPA-PSK", "TKIP", "solder-fumes"),
        net("NEIGHBOUR-2.4", "18:e8:29:01:02:03", 9, 23, "WPA2-PSK", "AES", "not-yours"),
        net("Warehouse", "b8:27:eb:10:20:30", 149, 15, "WPA3-SAE", "AES", "forklift-7"),
    };
    s.networks[0].hasProfile = true;
    s.networks[0].profilePassword = s.networks[0].password;
    s.networks[1].hasProfile = true;
    s.networks[1].profilePassword = s.networks[1].password;
    s.joined = "HomeNet";
    return s;
}

Network* FindNetwork(DeviceState& state, const std::string& name) {
    for (Network& n : state.networks)
        if (n.name == name) return &n;
    return nullptr;
}

}  // namespace devsim
