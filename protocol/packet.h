// Request and reply framing, and the 32-bit checksum that protects both.
//
// Request: 1A '$' 'i' <id in decimal> <letter> | len16 seq32 idfield32 plen16 payload crc32
//          (len counts the bytes after itself; the checksum skips the text header)
// Reply:   1B len16 appHeader32 seq32 id8 slen16 status crc32
//          (len counts the whole packet; the checksum covers everything before it)
// All multi-byte framing fields are big-endian.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr uint8_t PKT_REQUEST_LEAD = 0x1A;
inline constexpr uint8_t PKT_REPLY_LEAD = 0x1B;
inline constexpr uint32_t PKT_REPLY_MAX = 1298;
inline constexpr uint32_t PKT_REPLY_OVERHEAD = 18;
inline constexpr uint32_t PKT_STATUS_MAX = PKT_REPLY_MAX - PKT_REPLY_OVERHEAD;  // 1280
inline constexpr uint32_t PKT_REQUEST_OVERHEAD = 16;    // besides the text header and payload
inline constexpr uint32_t PKT_HEADER_MAX = 3 + 11 + 1;  // "-2147483648" is the longest id

extern uint32_t g_cmdSeq;
extern int32_t g_cmdLastId;
extern uint32_t g_cmdAppHeader;
extern char g_cmdLetter;

// Checksum: MSB first, generator 0xEDB88320, start 0xFFFFFFFF, no final XOR. The tables
// are fixed at compile time, so any thread may checksum at any time.
// g_crcTable[b] is the step for one byte b.
extern const uint32_t (&g_crcTable)[256];
uint32_t Crc32MsbInit();
uint32_t Crc32MsbUpdate(uint32_t crc, const void* bytes, size_t n);

void PutBE(uint8_t* dst, uint32_t value, int n);
uint32_t GetBE(const uint8_t* src, int n);

// Length of the text header PacketBuild writes for cmdId.
uint32_t PacketHeaderLength(int32_t cmdId);

// Builds a request into out (the caller sizes it) and returns its length. Consumes one
// sequence number and records cmdId as the last id.
uint32_t PacketBuild(uint8_t* out, int32_t cmdId, uint32_t payloadLen, const void* payload);

// Validates a reply to the request built last; reply must have PKT_REPLY_MAX readable
// bytes. On failure prints one diagnostic line and returns 0.
int PacketCheck(const uint8_t* reply);
