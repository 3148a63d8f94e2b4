#include "settings/ip_check.h"

#include <gtest/gtest.h>

#include <string>

namespace {

IpEntry E(int a, int b, int c, int d, int filled = 4) {
    return {{static_cast<uint8_t>(a), static_cast<uint8_t>(b), static_cast<uint8_t>(c),
             static_cast<uint8_t>(d)},
            filled};
}

TEST(IpCheck, EachRuleAtItsEdge) {
    const char* ok = "";
    struct {
        IpEntry addr, mask, gateway;
        const char* message;
    } cases[] = {
        {E(192, 168, 1, 200), E(255, 255, 255, 0), E(192, 168, 1, 1), ok},
        {E(192, 168, 1, 200), E(255, 255, 255, 0), E(0, 0, 0, 0), ok},  // no gateway
        {E(192, 168, 1, 0, 3), E(255, 255, 255, 0), E(0, 0, 0, 0), "IP Addr has an empty field!!!"},
        {E(192, 168, 1, 2), E(255, 255, 255, 0, 3), E(0, 0, 0, 0), "Mask has an empty field!!!"},
        {E(192, 168, 1, 2), E(255, 255, 255, 0), E(0, 0, 0, 0, 0), "Gateway has an empty field!!!"},
        {E(192, 168, 1, 2), E(0, 0, 0, 0), E(0, 0, 0, 0), "Invalid Mask!!!"},
        {E(192, 168, 1, 2), E(255, 0, 255, 0), E(0, 0, 0, 0), "Invalid Mask!!!"},
        {E(192, 168, 1, 2), E(255, 255, 255, 255), E(0, 0, 0, 0), ok},
        {E(0, 1, 2, 3), E(255, 0, 0, 0), E(0, 0, 0, 0), "IP Addr is reserved!!!"},
        {E(127, 0, 0, 5), E(255, 0, 0, 0), E(0, 0, 0, 0), "IP Addr is reserved!!!"},
        {E(224, 0, 0, 5), E(255, 0, 0, 0), E(0, 0, 0, 0), "IP Addr is reserved!!!"},
        {E(239, 9, 9, 9), E(255, 0, 0, 0), E(0, 0, 0, 0), "IP Addr is reserved!!!"},
        {E(255, 255, 255, 255), E(255, 255, 255, 255), E(0, 0, 0, 0), "IP Addr is reserved!!!"},
        {E(1, 0, 0, 1), E(255, 0, 0, 0), E(0, 0, 0, 0), ok},
        {E(223, 255, 255, 254), E(255, 255, 255, 0), E(0, 0, 0, 0), ok},
        {E(192, 168, 1, 0), E(255, 255, 255, 0), E(0, 0, 0, 0),
         "IP Addr is the network address of its subnet!!!"},
        {E(10, 1, 255, 255), E(255, 255, 0, 0), E(0, 0, 0, 0),
         "IP Addr is the broadcast address of its subnet!!!"},
        {E(10, 0, 0, 4), E(255, 255, 255, 252), E(0, 0, 0, 0),
         "IP Addr is the network address of its subnet!!!"},
        {E(10, 0, 0, 4), E(255, 255, 255, 254), E(10, 0, 0, 5), ok},  // /31: both are hosts
        {E(10, 0, 0, 5), E(255, 255, 255, 254), E(0, 0, 0, 0), ok},
        {E(192, 168, 1, 2), E(255, 255, 255, 0), E(192, 168, 1, 2),
         "Gateway is the IP Addr itself!!!"},
        {E(192, 168, 1, 2), E(255, 255, 255, 0), E(192, 168, 2, 1),
         "Gateway is outside the subnet!!!"},
    };
    for (const auto& c : cases) {
        const char* got = CheckStaticIpConfig(c.addr, c.mask, c.gateway);
        EXPECT_EQ(std::string(got ? got : ""), c.message)
            << int(c.addr.field[0]) << "." << int(c.addr.field[3]) << " mask "
            << int(c.mask.field[1]) << "." << int(c.mask.field[3]);
    }
}

}  // namespace
