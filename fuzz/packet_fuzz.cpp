// Reply validation on arbitrary bytes, as the exchange hands them over: a zeroed
// full-size buffer with whatever was read at its start.
#include <cstring>

#include "fuzz/seeds.h"
#include "protocol/packet.h"

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    return {
        {0x1B, 0x00, 0x12, 0x44, 0x42, 0x50, 0x4B, 0x12, 0x34, 0x56, 0x79, 0x0B, 0x00, 0x00, 0x99,
         0xC3, 0x25, 0xC0},
        {0x1B, 0x00, 0x14, 0x44, 0x42, 0x50, 0x4B, 0x12, 0x34, 0x56,
         0x79, 0x0B, 0x00, 0x02, 0x4F, 0x4B, 0x64, 0xE9, 0xC1, 0x80},
    };
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static uint8_t reply[PKT_REPLY_MAX];
    g_cmdAppHeader = 0x4442504B;
    g_cmdSeq = 0x12345679;
    g_cmdLastId = 11;
    std::memset(reply, 0, sizeof reply);
    if (size) std::memcpy(reply, data, size < sizeof reply ? size : sizeof reply);
    if (PacketCheck(reply)) {
        uint32_t status = GetBE(reply + 12, 2);
        if (status > PKT_STATUS_MAX) __builtin_trap();
    }
    return 0;
}
