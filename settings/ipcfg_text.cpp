#include "settings/ipcfg_text.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "base/diag.h"
#include "base/fixed_text.h"

namespace {

constexpr size_t kNumberFieldMax = 31;

}  // namespace

bool operator==(const IpAddrSet& a, const IpAddrSet& b) {
    return std::strcmp(a.addr, b.addr) == 0 && std::strcmp(a.mask, b.mask) == 0 &&
           std::strcmp(a.gateway, b.gateway) == 0;
}

bool operator==(const IpCfgState& a, const IpCfgState& b) {
    return a.dhcp == b.dhcp && a.sets[0] == b.sets[0] && a.sets[1] == b.sets[1];
}

bool ParseIpConfigText(const char* text, int32_t* flags, IpCfgState* device) {
    size_t length = base::TextLength(text, IPCFG_REPLY_CAPACITY);
    if (length >= IPCFG_REPLY_CAPACITY) {
        base::Diag("IP Cfg Text Len > %d Error!!!\n", static_cast<int>(IPCFG_REPLY_CAPACITY - 1));
        return false;
    }
    // Fields 3 to 8 in the order they stand in the text.
    IpCfgState parsed = *device;
    char* const slots[6] = {parsed.sets[1].addr, parsed.sets[1].mask, parsed.sets[1].gateway,
                            parsed.sets[0].addr, parsed.sets[0].mask, parsed.sets[0].gateway};
    long long numbers[2] = {0, 0};

    const char* p = text;
    int field = 1;
    for (; field <= 8; ++field) {
        const char* end = std::strchr(p, ',');
        size_t n = end ? static_cast<size_t>(end - p) : std::strlen(p);
        if (n == 0) {
            if (field <= 2) {
                base::Diag("IP Cfg Field %d Missing Error!!!\n", field);
                return false;
            }
            break;  // an empty field ends the parse; the rest keep their values
        }
        if (field <= 2) {
            if (n > kNumberFieldMax) {
                base::Diag("IP Cfg Field %d Len %d > %d Error!!!\n", field, static_cast<int>(n),
                           static_cast<int>(kNumberFieldMax));
                return false;
            }
            char number[kNumberFieldMax + 1];
            base::TextCopyN(number, sizeof number, p, n);
            // Checked as parsed, before anything narrows it: 4294967297 is not 1.
            numbers[field - 1] = std::strtoll(number, nullptr, 10);
        } else {
            if (n >= IPCFG_ADDR_CAPACITY) {
                base::Diag("IP Cfg Field %d Len %d > %d Error!!!\n", field, static_cast<int>(n),
                           static_cast<int>(IPCFG_ADDR_CAPACITY - 1));
                return false;
            }
            base::TextCopyN(slots[field - 3], IPCFG_ADDR_CAPACITY, p, n);
        }
        if (!end) break;
        p = end + 1;
    }
    if (field < 2) {
        base::Diag("IP Cfg Field 2 Missing Error!!!\n");
        return false;
    }
    if (numbers[0] < INT32_MIN || numbers[0] > INT32_MAX) {
        base::Diag("IP Cfg Flags %lld Error!!!\n", numbers[0]);
        return false;
    }
    if (numbers[1] != 0 && numbers[1] != 1) {
        base::Diag("IP Cfg DHCP %lld Error!!!\n", numbers[1]);
        return false;
    }
    parsed.dhcp = static_cast<int32_t>(numbers[1]);
    *flags = static_cast<int32_t>(numbers[0]);
    *device = parsed;
    return true;
}

void BuildIpSetText(char* out, int32_t dhcp, const IpAddrSet& set) {
    base::TextFormat(out, IPCFG_SET_CAPACITY, "%d,%s,%s,%s", dhcp, set.addr, set.mask, set.gateway);
}
