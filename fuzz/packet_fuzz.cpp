// A request built, then a reply validated against it, on arbitrary bytes. The input gives
// a choice byte, the request's command id and payload, then the reply as the exchange
// hands it over (a zeroed full-size buffer with what was read at its start). The choices
// let the fuzzer past the checks it cannot forge: the request may echo the reply's
// sequence number and id, and the reply's checksum may be made right.
#include <cstring>

#include "fuzz/fuzz_input.h"
#include "protocol/transact.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static uint8_t request[CMD_REQUEST_CAPACITY];
    static uint8_t reply[PKT_REPLY_MAX];
    FuzzInput in(data, size);
    const uint8_t choice = in.Byte();
    const uint32_t high = in.Word();
    int32_t id = static_cast<int32_t>(high << 16 | in.Word());
    const std::vector<uint8_t> payload = in.Bytes(in.Byte());
    const std::vector<uint8_t> got = in.Bytes(PKT_REPLY_MAX);
    std::memset(reply, 0, sizeof reply);
    if (!got.empty()) std::memcpy(reply, got.data(), got.size());

    g_cmdAppHeader = CMD_APP_HEADER;
    g_cmdLetter = CMD_LETTER;
    if (choice & 1) {  // the request this reply answers
        id = reply[11];
        g_cmdSeq = GetBE(reply + 7, 4) - 1;
    }
    const uint32_t length =
        PacketBuild(request, id, static_cast<uint32_t>(payload.size()), payload.data());
    const uint32_t header = PacketHeaderLength(id);
    if (length != header + payload.size() + PKT_REQUEST_OVERHEAD || request[0] != 0x1A ||
        Crc32MsbUpdate(Crc32MsbInit(), request + header, length - header - 4) !=
            GetBE(request + length - 4, 4))
        __builtin_trap();

    const uint32_t total = GetBE(reply + 1, 2);
    if ((choice & 2) && total >= PKT_REPLY_OVERHEAD && total <= PKT_REPLY_MAX)
        PutBE(reply + total - 4, Crc32MsbUpdate(Crc32MsbInit(), reply, total - 4), 4);
    if (PacketCheck(reply) && GetBE(reply + 12, 2) + PKT_REPLY_OVERHEAD != total) __builtin_trap();
    return 0;
}
