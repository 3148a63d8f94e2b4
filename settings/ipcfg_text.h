// The IP configuration texts the device exchanges for its Ethernet and WiFi interfaces.
//
// Reply: "flags,dhcp,onAddr,onMask,onGateway,staticAddr,staticMask,staticGateway"
//        (the set shown while DHCP is on comes first; at most 127 characters)
// Set:   "dhcp,addr,mask,gateway" for the set of the pending DHCP state
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr int32_t IPCFG_LOCKED = 4;  // bit of the flags field: the panel is read-only
inline constexpr size_t IPCFG_REPLY_CAPACITY = 128;
inline constexpr size_t IPCFG_SET_CAPACITY = 64;
inline constexpr size_t IPCFG_ADDR_CAPACITY = 16;  // dotted IPv4, at most 15 characters

struct IpAddrSet {
    char addr[IPCFG_ADDR_CAPACITY];
    char mask[IPCFG_ADDR_CAPACITY];
    char gateway[IPCFG_ADDR_CAPACITY];
};

struct IpCfgState {
    int32_t dhcp;       // 0 = static addresses, 1 = DHCP on
    IpAddrSet sets[2];  // indexed by the DHCP state in which the set is shown
};

bool operator==(const IpAddrSet& a, const IpAddrSet& b);
bool operator==(const IpCfgState& a, const IpCfgState& b);

// Parses a reply text into *flags and *device. An empty field ends the parse, and the
// fields after it keep the values they had; a ninth field is ignored. A text that breaks
// the format's limits (over 127 characters, an address over 15, field 1 or 2 over 31
// characters or missing, a DHCP state other than 0 or 1) is refused: false, one
// diagnostic line, and nothing changed.
bool ParseIpConfigText(const char* text, int32_t* flags, IpCfgState* device);

// Builds the set text for the pending state into out (IPCFG_SET_CAPACITY bytes).
void BuildIpSetText(char* out, int32_t dhcp, const IpAddrSet& set);
