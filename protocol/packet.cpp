#include "protocol/packet.h"

#include <cstdio>
#include <cstring>

#include "base/diag.h"

uint32_t g_cmdSeq = 0x12345678;
int32_t g_cmdLastId = 0;
uint32_t g_cmdAppHeader = 0;
char g_cmdLetter = 0;
namespace {

// Slicing by 8: t[k][b] is the checksum step for the byte b followed by k zero bytes, so
// eight bytes take eight independent look-ups instead of a chain of eight.
struct CrcTables {
    uint32_t t[8][256];
};

constexpr CrcTables MakeCrcTables() {
    CrcTables c{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t v = i << 24;
        for (int bit = 0; bit < 8; ++bit) v = (v << 1) ^ (v & 0x80000000u ? 0xEDB88320u : 0);
        c.t[0][i] = v;
    }
    for (int k = 1; k < 8; ++k)
        for (int i = 0; i < 256; ++i)
            c.t[k][i] = (c.t[k - 1][i] << 8) ^ c.t[0][c.t[k - 1][i] >> 24];
    return c;
}

alignas(64) constexpr CrcTables kCrc = MakeCrcTables();

uint32_t LoadBE32(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

}  // namespace

const uint32_t (&g_crcTable)[256] = kCrc.t[0];

uint32_t Crc32MsbInit() { return 0xFFFFFFFFu; }

uint32_t Crc32MsbUpdate(uint32_t crc, const void* bytes, size_t n) {
    const uint8_t* p = static_cast<const uint8_t*>(bytes);
    const auto& t = kCrc.t;
    for (; n >= 8; p += 8, n -= 8) {
        uint32_t a = crc ^ LoadBE32(p), b = LoadBE32(p + 4);
        crc = t[7][a >> 24] ^ t[6][(a >> 16) & 0xFF] ^ t[5][(a >> 8) & 0xFF] ^ t[4][a & 0xFF] ^
              t[3][b >> 24] ^ t[2][(b >> 16) & 0xFF] ^ t[1][(b >> 8) & 0xFF] ^ t[0][b & 0xFF];
    }
    for (; n; ++p, --n) crc = (crc << 8) ^ t[0][(crc >> 24) ^ *p];
    return crc;
}

void PutBE(uint8_t* dst, uint32_t value, int n) {
    for (int i = 0; i < n; ++i) dst[i] = static_cast<uint8_t>(value >> (8 * (n - 1 - i)));
}

uint32_t GetBE(const uint8_t* src, int n) {
    uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = (v << 8) | src[i];
    return v;
}

uint32_t PacketHeaderLength(int32_t cmdId) {
    char digits[16];
    return 4 + static_cast<uint32_t>(std::snprintf(digits, sizeof digits, "%d", cmdId));
}

uint32_t PacketBuild(uint8_t* out, int32_t cmdId, uint32_t payloadLen, const void* payload) {
    g_cmdLastId = cmdId;
    char header[PKT_HEADER_MAX + 1];
    int written = std::snprintf(header, sizeof header, "\x1a$i%d%c", cmdId, g_cmdLetter);
    uint32_t h = static_cast<uint32_t>(written);
    std::memcpy(out, header, h);

    uint8_t* f = out + h;
    PutBE(f, (payloadLen + 14) & 0xFFFF, 2);
    ++g_cmdSeq;
    PutBE(f + 2, g_cmdSeq, 4);
    uint32_t idBytes = h - 3 < 4 ? h - 3 : 4;
    std::memset(f + 6, 0, 4);
    std::memcpy(f + 6, out + 3, idBytes);
    PutBE(f + 10, payloadLen & 0xFFFF, 2);
    if (payloadLen) std::memcpy(f + 12, payload, payloadLen);
    uint32_t crc = Crc32MsbUpdate(Crc32MsbInit(), f, payloadLen + 12);
    PutBE(f + 12 + payloadLen, crc, 4);
    return h + payloadLen + PKT_REQUEST_OVERHEAD;
}

int PacketCheck(const uint8_t* reply) {
    if (reply[0] != PKT_REPLY_LEAD) {
        base::Diag("Pkt Header %02x != %02x Error!!!\n", reply[0], PKT_REPLY_LEAD);
        return 0;
    }
    int32_t len = static_cast<int32_t>(GetBE(reply + 1, 2));
    if (len > static_cast<int32_t>(PKT_REPLY_MAX)) {
        base::Diag("Pkt Len %d > %d Error!!!\n", len, static_cast<int>(PKT_REPLY_MAX));
        return 0;
    }
    uint32_t app = GetBE(reply + 3, 4);
    if (app != g_cmdAppHeader) {
        base::Diag("Pkt AppHeader %08x != %08x Error!!!\n", app, g_cmdAppHeader);
        return 0;
    }
    uint32_t seq = GetBE(reply + 7, 4);
    if (seq != g_cmdSeq) {
        base::Diag("Pkt CmdSeq %04x != %04x Error!!!\n", seq, g_cmdSeq);
        return 0;
    }
    if (reply[11] != g_cmdLastId) {
        base::Diag("Pkt CmdID %02x != %02x Error!!!\n", reply[11],
                   static_cast<unsigned>(g_cmdLastId));
        return 0;
    }
    int32_t status = static_cast<int32_t>(GetBE(reply + 12, 2));
    if (status != len - static_cast<int32_t>(PKT_REPLY_OVERHEAD)) {
        base::Diag("Status Len %d != %d Error!!!\n", status,
                   len - static_cast<int32_t>(PKT_REPLY_OVERHEAD));
        return 0;
    }
    // Here 18 <= len <= 1298, so the checksum and its field lie inside the buffer.
    uint32_t crc = Crc32MsbUpdate(Crc32MsbInit(), reply, static_cast<size_t>(len - 4));
    uint32_t got = GetBE(reply + 14 + status, 4);
    if (crc != got) {
        base::Diag("CRC %08x != %08x Error!!!\n", crc, got);
        return 0;
    }
    return 1;
}
