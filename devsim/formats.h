// The data the commands carry, from the device's side: the texts and records it answers
// and the texts it accepts. Everything received is bounded by its own length here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "devsim/state.h"
#include "devsim/wire.h"

namespace devsim {

// The status bytes of one reply; never grows past kPayloadMax.
class Status {
public:
    // Appends n bytes; false, with nothing written, when they would not fit.
    bool Put(const void* bytes, size_t n);
    // Appends the text and its NUL, cutting the text so that both fit.
    void PutText(std::string_view text);
    bool PutLE32(uint32_t value);
    void SetLE32(size_t offset, uint32_t value);  // inside what was put already
    const uint8_t* Data() const { return m_bytes.data(); }
    size_t Size() const { return m_bytes.size(); }

private:
    std::vector<uint8_t> m_bytes;
};

// A payload as text: its bytes up to the first NUL, or all of them when there is none.
std::string_view PayloadText(const uint8_t* payload, size_t n);

// "flags,dhcp,dhcpAddr,dhcpMask,dhcpGw,staticAddr,staticMask,staticGw"
std::string IpConfigText(const IpConfig& cfg);

// Four dotted decimal numbers of 0 to 255, one to three digits each.
bool IsDottedIpv4(std::string_view text);

// "dhcp,addr,mask,gateway": a state of 0 or 1 and three dotted addresses.
bool ParseIpSetText(std::string_view text, int32_t* dhcp, IpAddrs* set);

// count, current, 0, textSize (little-endian), then "code\0name\0" per entry; entries that
// would not fit the reply are left out.
void CountryRecord(const std::vector<Country>& countries, int32_t current, Status* out);

// The scan table over the networks in range (see formats.cpp for the layout).
void ScanReply(const DeviceState& state, Status* out);

// "hasProfile,nameLen,passwordLen,name,password"; the name is taken by its length, since it
// may hold commas.
struct JoinRequest {
    bool hasProfile = false;
    std::string name;
    std::string password;
};
bool ParseConnectText(std::string_view text, JoinRequest* out);

}  // namespace devsim
