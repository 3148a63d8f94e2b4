#include "protocol/packet.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "scripted_pipe.h"

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

uint32_t Crc(const std::string& s) { return Crc32MsbUpdate(Crc32MsbInit(), s.data(), s.size()); }

Bytes Build(int32_t id, const std::string& payload = "") {
    uint8_t out[64];
    uint32_t n = PacketBuild(out, id, static_cast<uint32_t>(payload.size()), payload.data());
    return Bytes(out, out + n);
}

class PacketTest : public testing::Test {
protected:
    void SetUp() override {
        g_cmdSeq = 0x12345678;
        g_cmdLetter = 'Q';
        g_cmdAppHeader = 0x4442504B;
    }
};

// The sliced checksum against one computed a bit at a time, on random bytes of every
// length up to more than a full packet, from every alignment and from a running value.
TEST_F(PacketTest, ChecksumAgainstABitwiseOneAtEveryLengthAndAlignment) {
    EXPECT_EQ(Crc("123456789"), 0x8B120840u);
    EXPECT_EQ(Crc(""), 0xFFFFFFFFu);
    EXPECT_EQ(g_crcTable[1], 0xEDB88320u);  // the exported table is the one-byte step
    EXPECT_EQ(g_crcTable[255], 0xEADF06A0u);
    std::mt19937 random(7);
    Bytes data(1400 + 8);
    for (uint8_t& b : data) b = static_cast<uint8_t>(random());
    for (size_t align = 0; align < 8; ++align) {
        const uint32_t start = random();
        uint32_t want = start;
        for (size_t n = 0; n <= 1400; ++n) {
            ASSERT_EQ(Crc32MsbUpdate(start, &data[align], n), want) << align << " " << n;
            want ^= uint32_t{data[align + n]} << 24;
            for (int bit = 0; bit < 8; ++bit) want = want << 1 ^ (want >> 31) * 0xEDB88320u;
        }
    }
}

// The id field holds the id's first four digits, zero-padded.
TEST_F(PacketTest, RequestsByteForByte) {
    EXPECT_EQ(Build(11), (Bytes{0x1A, 0x24, 0x69, 0x31, 0x31, 0x51, 0x00, 0x0E, 0x12, 0x34, 0x56,
                                0x79, 0x31, 0x31, 0x51, 0x00, 0x00, 0x00, 0x14, 0x9D, 0x44, 0xA0}));
    EXPECT_EQ(g_cmdLastId, 11);
    g_cmdSeq = 0;
    EXPECT_EQ(Build(21, "AB"),
              (Bytes{0x1A, 0x24, 0x69, 0x32, 0x31, 0x51, 0x00, 0x10, 0x00, 0x00, 0x00, 0x01,
                     0x32, 0x31, 0x51, 0x00, 0x00, 0x02, 0x41, 0x42, 0xC3, 0x78, 0xB4, 0x20}));
    const std::pair<int32_t, std::string> ids[] = {
        {5, {"5Q\0\0", 4}}, {123, "123Q"}, {12345, "1234"}};
    for (const auto& [id, field] : ids) {
        Bytes r = Build(id);
        ASSERT_EQ(r.size(), PacketHeaderLength(id) + 12 + field.size()) << id;
        EXPECT_EQ(std::string(r.end() - 10, r.end() - 6), field) << id;
    }
}

// The application header's line is the fault matrix's (a device with another header).
TEST_F(PacketTest, AGoodReplyPassesAndEachCheckFailsInItsOrderWithItsLine) {
    Build(11);  // seq 0x12345679, id 11
    struct {
        const char* name;
        void (*edit)(Bytes&);
        const char* line;  // "" when accepted
    } cases[] = {
        {"a known good reply", [](Bytes&) {}, ""},
        {"lead byte, and everything else wrong too",
         [](Bytes& r) { r[0] = 0x1A, r[3] = 0, r[7] = 0; }, "Pkt Header 1a != 1b Error!!!\n"},
        {"length", [](Bytes& r) { PutBE(&r[1], 1299, 2); }, "Pkt Len 1299 > 1298 Error!!!\n"},
        {"sequence, before id and checksum",
         [](Bytes& r) { PutBE(&r[7], 0x12345678, 4), r[11] = 0x0C, r[15] ^= 1; },
         "Pkt CmdSeq 12345678 != 12345679 Error!!!\n"},
        {"command id", [](Bytes& r) { r[11] = 0x0C; }, "Pkt CmdID 0c != 0b Error!!!\n"},
        {"status length one short, before the checksum", [](Bytes& r) { PutBE(&r[12], 1, 2); },
         "Status Len 1 != 2 Error!!!\n"},
        {"length below 18", [](Bytes& r) { PutBE(&r[1], 17, 2), PutBE(&r[12], 0, 2); },
         "Status Len 0 != -1 Error!!!\n"},
        {"checksum", [](Bytes& r) { r[14] = 'X'; }, "CRC f5af4a60 != 64e9c180 Error!!!\n"},
    };
    for (const auto& c : cases) {
        Bytes r = MakeReply({'O', 'K'});
        r.resize(PKT_REPLY_MAX);  // as an exchange hands it over: full-size, zero-padded
        c.edit(r);
        CaptureStdout();
        EXPECT_EQ(PacketCheck(r.data()), !*c.line) << c.name;
        EXPECT_EQ(GetCapturedStdout(), c.line) << c.name;
    }
}

}  // namespace
