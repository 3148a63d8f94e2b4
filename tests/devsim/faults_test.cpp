// Misbehaviour on demand, and requests the device must not answer.
#include <gmock/gmock.h>

#include <cstdio>
#include <functional>
#include <random>

#include "sim_fixture.h"

namespace {

using namespace devsim;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

std::string g_notices;
void RecordNotice(const char* text) { g_notices += text; }

const char kStale[] = "<the CmdSeq line for the first exchange>";

struct Outcome {
    bool ok;
    const char* line;  // a regular expression for what was printed, or kStale
    uint32_t costMs;
};

TEST_F(SimTest, EachMisbehaviourFailsAsTheExchangeLayerSaysAndTheNextCleanOneSucceeds) {
    const struct {
        const char* what;
        FaultRule rule;
        Outcome first, second;
        size_t recorded = 3;  // requests the device saw in the three exchanges
    } cases[] = {
        {"no reply", NoReply(), {false, "", 5000}, {true, "", 0}},
        {"late in time", LateReply(1200), {true, "", 1200}, {true, "", 0}},
        {"late after the time-out", LateReply(7000), {false, "", 5000}, {false, kStale, 2000}},
        {"stale", StaleReply(), {false, "", 5000}, {false, kStale, 0}},
        {"bad checksum",
         BadChecksum(),
         {false, "CRC [0-9a-f]{8} != [0-9a-f]{8} Error!!!\n", 0},
         {true, "", 0}},
        {"bad app header",
         BadAppHeader(),
         {false, "Pkt AppHeader 6462706b != 4442504b Error!!!\n", 0},
         {true, "", 0}},
        {"truncated",
         Truncated(),
         {false, "CRC [0-9a-f]{8} != 00000000 Error!!!\n", 0},
         {true, "", 0}},
        {"split", Split(50, 7), {true, "", 14}, {true, "", 0}},  // 101 bytes: three pieces
        {"stalled write", StallWrite(), {false, "", 30}, {true, "", 0}, 2},
    };
    const Outcome clean{true, "", 0};
    UsbSetNoticeFn(RecordNotice);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        g_notices.clear();
        device.ClearRequests();
        device.Inject(c.rule);
        uint32_t firstSeq = g_cmdSeq + 1;
        for (const Outcome* o : {&c.first, &c.second, &clean}) {
            uint32_t start = clock.Now();
            CaptureStdout();
            Bytes reply = Send(kCmdGetEthIpCfg);
            std::string printed = GetCapturedStdout();
            std::string text(reply.begin(), reply.end());
            EXPECT_EQ(text.rfind("0,1,192.168.1.57,", 0) == 0, o->ok);
            EXPECT_EQ(clock.Now() - start, o->costMs);
            if (o->line == kStale) {
                char line[80];
                std::snprintf(line, sizeof line, "Pkt CmdSeq %04x != %04x Error!!!\n", firstSeq,
                              firstSeq + 1);
                EXPECT_EQ(printed, line);
            } else {
                EXPECT_THAT(printed, testing::MatchesRegex(o->line));
            }
        }
        EXPECT_EQ(device.Requests().size(), c.recorded);
        EXPECT_EQ(g_notices, c.rule.fault == Fault::StallWrite ? "Write to USB Timeout" : "");
    }
    UsbSetNoticeFn(nullptr);
}

TEST_F(SimTest, FaultRulesMatchTheirCommandAndCount) {
    device.Inject(NoReply().On(kCmdGetWifiIpCfg).Times(2));
    const std::pair<int32_t, bool> expected[] = {{kCmdGetEthIpCfg, true},
                                                 {kCmdGetWifiIpCfg, false},
                                                 {kCmdGetEthIpCfg, true},
                                                 {kCmdGetWifiIpCfg, false},
                                                 {kCmdGetWifiIpCfg, true}};
    for (auto [id, ok] : expected) EXPECT_EQ(!Send(id).empty(), ok) << id;

    device.Inject(NoReply().Times(kEveryTime));
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(Send(kCmdQueryInfo).empty());
    device.ClearFaults();
    EXPECT_FALSE(Send(kCmdQueryInfo).empty());
}

// A valid request for command 21 with payload, then the same with one thing wrong.
TEST(DevsimRequests, OnlyWellFormedRequestsAreAnswered) {
    base::ScopedVirtualClock clock;
    Device device;
    CmdChannelInit(CMD_APP_HEADER, CMD_LETTER, 0);
    auto build = [](uint32_t payloadLen) {
        Bytes out(CMD_REQUEST_CAPACITY + 8), payload(payloadLen, 'p');
        out.resize(PacketBuild(out.data(), kCmdGetEthIpCfg, payloadLen, payload.data()));
        return out;
    };
    const struct {
        const char* what;
        std::function<void(Bytes&)> spoil;
        uint32_t payloadLen = 2;
        bool answered = false;
    } cases[] = {
        {"valid", [](Bytes&) {}, 2, true},
        {"full payload", [](Bytes&) {}, CMD_PAYLOAD_MAX, true},
        {"payload over the limit", [](Bytes&) {}, CMD_PAYLOAD_MAX + 1},
        {"lead", [](Bytes& r) { r[0] = 0x1B; }},
        {"text header", [](Bytes& r) { r[1] = '#'; }},
        {"letter", [](Bytes& r) { r[5] = 'R'; }},
        {"id field", [](Bytes& r) { r[13] = '2'; }},
        {"length field", [](Bytes& r) { r[7] += 1; }},
        {"payload length", [](Bytes& r) { r[17] -= 1; }},
        {"checksum", [](Bytes& r) { r.back() ^= 0x80; }},
        {"one byte short", [](Bytes& r) { r.pop_back(); }},
        {"one byte over", [](Bytes& r) { r.push_back(0); }},
        {"empty", [](Bytes& r) { r.clear(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes r = build(c.payloadLen);
        c.spoil(r);
        EXPECT_EQ(device.Receive(r.data(), r.size()),
                  c.answered ? Receipt::Taken : Receipt::Refused);
        EXPECT_EQ(device.TakeReply().has_value(), c.answered);
    }
    EXPECT_EQ(device.Requests().size(), 2u);
    EXPECT_EQ(device.Requests()[1].payload.size(), CMD_PAYLOAD_MAX);

    // Any bytes at all: nothing breaks, and only a request that still checks out is answered.
    std::mt19937 random(7);
    for (int i = 0; i < 3000; ++i) {
        Bytes r = i % 2 ? build(random() % 40) : Bytes(random() % 1400);
        for (size_t k = 0, flips = 1 + random() % 3; k < flips && !r.empty(); ++k)
            r[random() % r.size()] = uint8_t(random());
        Receipt got = device.Receive(r.data(), r.size());
        EXPECT_EQ(device.TakeReply().has_value(), got == Receipt::Taken);
    }
}

}  // namespace
