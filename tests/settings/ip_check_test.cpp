#include "settings/ip_check.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// "a.b.c.d" as an IP address control reports it; an empty field is a blank one.
IpEntry Entry(const std::string& text) {
    IpEntry e{{0, 0, 0, 0}, 0};
    size_t pos = 0;
    for (int i = 0; i < 4; ++i) {
        size_t end = text.find('.', pos);
        std::string field = text.substr(pos, end - pos);
        if (!field.empty()) {
            e.field[i] = static_cast<uint8_t>(std::stoi(field));
            ++e.filled;
        }
        pos = end + 1;
    }
    return e;
}

TEST(IpCheck, EachRuleAtItsEdge) {
    struct {
        const char *addr, *mask, *gateway, *message;
    } cases[] = {
        {"192.168.1.200", "255.255.255.0", "192.168.1.1", ""},
        {"192.168.1.200", "255.255.255.0", "0.0.0.0", ""},  // no gateway
        {"192.168.1.", "255.255.255.0", "0.0.0.0", "IP Addr has an empty field!!!"},
        {"192.168.1.2", "255.255..0", "0.0.0.0", "Mask has an empty field!!!"},
        {"192.168.1.2", "255.255.255.0", "...", "Gateway has an empty field!!!"},
        {"192.168.1.2", "0.0.0.0", "0.0.0.0", "Invalid Mask!!!"},
        {"192.168.1.2", "255.0.255.0", "0.0.0.0", "Invalid Mask!!!"},
        {"0.1.2.3", "255.0.0.0", "0.0.0.0", "IP Addr is reserved!!!"},
        {"127.0.0.5", "255.0.0.0", "0.0.0.0", "IP Addr is reserved!!!"},
        {"224.0.0.5", "255.0.0.0", "0.0.0.0", "IP Addr is reserved!!!"},
        {"239.9.9.9", "255.0.0.0", "0.0.0.0", "IP Addr is reserved!!!"},
        {"255.255.255.255", "255.255.255.255", "0.0.0.0", "IP Addr is reserved!!!"},
        {"1.0.0.1", "255.0.0.0", "0.0.0.0", ""},
        {"223.255.255.254", "255.255.255.0", "0.0.0.0", ""},
        {"240.0.0.1", "255.0.0.0", "0.0.0.0", ""},  // not in any of the ranges refused
        {"192.168.1.0", "255.255.255.0", "0.0.0.0",
         "IP Addr is the network address of its subnet!!!"},
        {"10.0.0.7", "255.255.255.252", "0.0.0.0",
         "IP Addr is the broadcast address of its subnet!!!"},
        {"10.0.0.4", "255.255.255.254", "10.0.0.5", ""},  // /31: both are hosts
        {"10.0.0.5", "255.255.255.255", "0.0.0.0", ""},
        {"192.168.1.2", "255.255.255.0", "192.168.1.2", "Gateway is the IP Addr itself!!!"},
        {"192.168.1.2", "255.255.255.0", "192.168.2.1", "Gateway is outside the subnet!!!"},
    };
    for (const auto& c : cases) {
        const char* got = CheckStaticIpConfig(Entry(c.addr), Entry(c.mask), Entry(c.gateway));
        EXPECT_EQ(std::string(got ? got : ""), c.message) << c.addr << " " << c.mask;
    }
}

}  // namespace
