#include "settings/ip_check.h"

namespace {

uint32_t Value(const IpEntry& e) {
    return static_cast<uint32_t>(e.field[0]) << 24 | static_cast<uint32_t>(e.field[1]) << 16 |
           static_cast<uint32_t>(e.field[2]) << 8 | e.field[3];
}

// One-bits from the top, then only zero-bits: inverted, it is one less than a power of two.
bool Contiguous(uint32_t mask) {
    uint32_t hosts = ~mask;
    return (hosts & (hosts + 1)) == 0;
}

// This network, loopback, multicast, and the limited broadcast.
bool Reserved(uint32_t addr) {
    uint32_t top = addr >> 24;
    return top == 0 || top == 127 || (top & 0xF0) == 224 || addr == 0xFFFFFFFF;
}

}  // namespace

const char* CheckStaticIpConfig(const IpEntry& addr, const IpEntry& mask, const IpEntry& gateway) {
    if (addr.filled < 4) return "IP Addr has an empty field!!!";
    if (mask.filled < 4) return "Mask has an empty field!!!";
    if (gateway.filled < 4) return "Gateway has an empty field!!!";
    uint32_t a = Value(addr);
    uint32_t m = Value(mask);
    uint32_t g = Value(gateway);
    if (m == 0 || !Contiguous(m)) return "Invalid Mask!!!";
    if (Reserved(a)) return "IP Addr is reserved!!!";
    // /31 and /32 have no network or broadcast address of their own.
    if (~m > 1u) {
        if ((a & ~m) == 0) return "IP Addr is the network address of its subnet!!!";
        if ((a & ~m) == ~m) return "IP Addr is the broadcast address of its subnet!!!";
    }
    if (g != 0) {
        if (g == a) return "Gateway is the IP Addr itself!!!";
        if ((g & m) != (a & m)) return "Gateway is outside the subnet!!!";
    }
    return nullptr;
}
