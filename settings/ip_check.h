// Whether a static IP configuration can work at all, before it is sent to a device. A
// device takes whatever it is sent (a cleared field went out as 0), so the tool refuses
// addresses no network could use.
#pragma once

#include <cstdint>

// An address as an IP address control reports it: its four fields (a blank one reads 0)
// and how many of them hold a value.
struct IpEntry {
    uint8_t field[4];
    int filled;
};

// The message that says why the address, mask and gateway cannot work together, or
// nullptr when they can. A gateway of 0.0.0.0 means none.
const char* CheckStaticIpConfig(const IpEntry& addr, const IpEntry& mask, const IpEntry& gateway);
